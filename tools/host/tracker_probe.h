#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::host {

// The tracker driver that the host preloads by full path, so that the plug-in's load by bare name
// finds it, and the window into it that the simulated driver offers through its test interface.
// A real driver has no such interface: the state then reads "loaded".
class TrackerProbe {
public:
    TrackerProbe() = default;
    TrackerProbe(const TrackerProbe&) = delete;
    TrackerProbe& operator=(const TrackerProbe&) = delete;

    // Sets the simulated tracker's variables first: it reads them once, when it is loaded.
    bool Load(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& environment);
    // "open", "failing" or "closed" from the test interface; "loaded" without one; "missing"
    // when nothing was preloaded.
    std::string State() const;
    // Short lines of the driver's counters for the live view, each well within a terminal's
    // width: the calls, and the failed ones. Empty without a test interface.
    std::string Detail() const;
    std::string Failures() const;
    // The same counters by name, for the summary.
    std::vector<std::pair<std::string, std::int64_t>> Counters() const;

private:
    void* library_ = nullptr;
    std::int32_t (*getState_)() = nullptr;
    void* getCounters_ = nullptr;  // SimTrackerGetCounters, typed where it is called
};

}  // namespace velmora::host
