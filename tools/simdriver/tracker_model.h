#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "simdriver/driving_motion.h"
#include "simdriver/handout_recording.h"
#include "simdriver/pose.h"
#include "simdriver/sensor_model.h"
#include "simdriver/sim_settings.h"
#include "simdriver/synthetic_motion.h"
#include "simdriver/trace_replay.h"

extern "C" {
#include "simdriver/simulated_tracker.h"
}

namespace velmora::sim {

// The simulated tracker behind the entry points and the test API: its open state, the motion it
// reports, the faults it has been told to show, and a count of everything done to it. One per
// process, never destroyed, so a read still hung when the process ends finds its mutex in place.
class TrackerModel {
public:
    static TrackerModel& Instance();

    std::int32_t Open();
    std::int32_t GetTracking(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll);
    std::int32_t Close();
    std::int32_t ZeroSet();

    void Reset();
    void SetPose(const Pose& pose);
    void PushReadings(const std::int32_t* values, std::int32_t count);
    void SetOpenFailures(std::int32_t count);
    void SetReadFailEvery(std::int32_t n);
    void FailNextReads(std::int32_t count);
    void HangNextRead();
    void ReleaseHang();
    void HangAfterReads(std::int32_t total);
    SimTrackerCounters Counters();
    std::int32_t State();
    std::int32_t CallLog(char* buffer, std::int32_t size);

private:
    using Clock = std::chrono::steady_clock;

    // A reading, and the head's true pose as it was handed out: the pose itself where the motion
    // has no noise (a still pose, pushed readings), or what the reading approaches (driving).
    struct Handout {
        Pose reading;
        PoseDegrees truth;
    };

    // Counts an entry-point call from its first instruction to its return.
    class CallInProgress {
    public:
        explicit CallInProgress(TrackerModel& model) : model_(model) { ++model_.callsInProgress_; }
        ~CallInProgress() { --model_.callsInProgress_; }
        CallInProgress(const CallInProgress&) = delete;
        CallInProgress& operator=(const CallInProgress&) = delete;

    private:
        TrackerModel& model_;
    };

    explicit TrackerModel(SimSettings settings);

    // The members below are guarded by mutex_; these helpers expect it held.
    void ApplySettings();
    bool ReadFailsNow();
    bool HangsNow() const;
    Handout NextReading();
    double Seconds() const;
    Pose MovingPose(double seconds);
    void Log(char letter);

    const SimSettings settings_;
    std::atomic<std::int32_t> callsInProgress_{0};
    // A hung read waits on these without the mutex: a thread ended by force in that wait (Win32)
    // must leave no lock held and nothing half-done behind it.
    std::atomic<std::uint64_t> releases_{0};
    std::atomic<std::int32_t> hungReads_{0};
    std::mutex mutex_;

    std::int32_t state_ = SimTrackerClosed;
    MotionKind motion_ = MotionKind::Synthetic;
    Pose stillPose_;
    Pose zero_;
    std::deque<Pose> queue_;
    SyntheticMotion synthetic_;
    DrivingMotion driving_;
    SensorModel sensor_;
    TraceReplay trace_;
    HandoutRecording recorder_;
    bool traceTried_ = false;
    std::optional<Clock::time_point> motionStart_;

    std::int32_t openFailures_ = 0;
    std::int32_t readFailEvery_ = 0;
    std::int32_t readsSinceFailEverySet_ = 0;
    std::int32_t failNextReads_ = 0;
    std::int32_t hangAfterReads_ = -1;
    bool hangNext_ = false;

    std::int32_t opens_ = 0;
    std::int32_t failedOpens_ = 0;
    std::int32_t reads_ = 0;
    std::int32_t failedReads_ = 0;
    std::int32_t goodReads_ = 0;
    std::int32_t closes_ = 0;
    std::int32_t zeroSets_ = 0;
    std::string log_;
};

}  // namespace velmora::sim
