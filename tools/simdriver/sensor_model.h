#pragma once

#include <cstdint>
#include <vector>

#include "simdriver/driving_motion.h"
#include "simdriver/pose.h"

namespace velmora::sim {

// How the simulated tracker measures the head. The defaults are a clean tracker at the VR920's
// 60 updates a second.
struct SensorOptions {
    double updateHz = 60.0;        // samples a second, above 0; the latest is held between them
    double noiseDegrees = 0.0;     // RMS of white Gaussian noise, on each axis independently
    double spikesPerSecond = 0.0;  // outliers: a sample with one axis off by spikeDegrees
    double spikeDegrees = 0.0;     // either way
    double quantumDegrees = 0.0;   // a step coarser than the raw unit (0.1 for the traces in
                                   // traces/); 0: the raw unit, 1/182 of a degree, alone
    std::uint64_t seed = 1;
};

// One sample of the tracker: what it reports until its next.
struct SensorSample {
    std::int64_t update = 0;  // its number: update 0 is the first at or after time 0
    double seconds = 0.0;     // when it was taken
    Pose reading;
    bool spike = false;
};

// The tracker between the head and the plug-in: it samples the head at its update rate, adds
// noise and, now and then, a spike, rounds to its step, and holds the sample until the next.
// Each sample is drawn from the seed and its number alone, so a sample read twice, or out of
// order, is the same sample, and a spike or a noise level changed leaves the other draws as they
// were: runs that differ in one option differ in nothing else.
class SensorModel {
public:
    explicit SensorModel(const SensorOptions& options);

    const SensorOptions& Options() const { return options_; }

    // The sample held `seconds` after the tracker began, taken from the motion at its own time.
    SensorSample Read(DrivingMotion& motion, double seconds) const;

    // The same in steps, for a head of the caller's own: the update in force at `seconds`, when
    // it was taken, and what it reports of a head at `truth` then.
    std::int64_t UpdateAt(double seconds) const;
    double UpdateSeconds(std::int64_t update) const;
    SensorSample Measure(std::int64_t update, const PoseDegrees& truth) const;

private:
    SensorOptions options_;
    // From time 0 to the first update: the tracker's clock does not tick in step with the polls.
    double phase_;
};

// One poll of the tracker: what the plug-in reads, beside the head's true pose at that moment.
struct DrivingPoll {
    double seconds = 0.0;
    Pose reading;
    PoseDegrees truth;
    double sampledAt = 0.0;  // when the tracker took the reading: up to one update earlier
    bool fresh = false;      // a sample the previous poll had not seen
    bool spike = false;      // the reading holds an outlier
};

// `seconds` of driving from time 0, polled every `pollSeconds` as the plug-in polls.
std::vector<DrivingPoll> PollDriving(DrivingMotion& motion, const SensorModel& sensor,
                                     double seconds, double pollSeconds = 0.01);

}  // namespace velmora::sim
