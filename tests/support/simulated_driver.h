#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

extern "C" {
#include "simdriver/simulated_tracker.h"
}

namespace velmora::test {

// A variant of the simulated tracker driver, loaded into the test program ahead of the plug-in so
// that the plug-in's own load by bare name finds it, with its test API at hand.
//
// The library stays loaded for the rest of the process: a polling thread may still be inside it.
class SimulatedDriver {
public:
    // Loads <program directory>/<variant>/<driver file> ("driver", "driver-no-open", ...). Null,
    // with the reason in `error`, when the library cannot be loaded or lacks the test API.
    static std::unique_ptr<SimulatedDriver> Preload(const std::string& variant, std::string& error);

    void Reset() const { reset_(); }
    void SetPose(std::int32_t yaw, std::int32_t pitch, std::int32_t roll) const {
        setPose_(yaw, pitch, roll);
    }
    // Yaw, pitch, roll triples, handed out one per successful read.
    void PushReadings(std::span<const std::int32_t> values) const;
    void PushReadings(std::initializer_list<std::int32_t> values) const {
        PushReadings(std::span<const std::int32_t>(values.begin(), values.size()));
    }
    void SetOpenFailures(std::int32_t count) const { setOpenFailures_(count); }
    void SetReadFailEvery(std::int32_t n) const { setReadFailEvery_(n); }
    void FailNextReads(std::int32_t count) const { failNextReads_(count); }
    void HangNextRead() const { hangNextRead_(); }
    void ReleaseHang() const { releaseHang_(); }
    void HangAfterReads(std::int32_t total) const { hangAfterReads_(total); }
    SimTrackerCounters Counters() const;
    std::string CallLog() const;

private:
    SimulatedDriver() = default;

    decltype(&SimTrackerReset) reset_ = nullptr;
    decltype(&SimTrackerSetPose) setPose_ = nullptr;
    decltype(&SimTrackerPushReadings) pushReadings_ = nullptr;
    decltype(&SimTrackerSetOpenFailures) setOpenFailures_ = nullptr;
    decltype(&SimTrackerSetReadFailEvery) setReadFailEvery_ = nullptr;
    decltype(&SimTrackerFailNextReads) failNextReads_ = nullptr;
    decltype(&SimTrackerHangNextRead) hangNextRead_ = nullptr;
    decltype(&SimTrackerReleaseHang) releaseHang_ = nullptr;
    decltype(&SimTrackerHangAfterReads) hangAfterReads_ = nullptr;
    decltype(&SimTrackerGetCounters) getCounters_ = nullptr;
    decltype(&SimTrackerGetCallLog) getCallLog_ = nullptr;
};

}  // namespace velmora::test
