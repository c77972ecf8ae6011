#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::host {

// The tracker driver as the plug-in finds it, and the window into it that the simulated driver
// offers through its test interface.
//
// The host may preload a driver by full path before Start, so that the plug-in's load by bare
// name finds that copy. But the plug-in's load goes through the system's search, which may find a
// driver the host never loaded (in the game's folder, the program's own on Windows, or on the
// library path), or none: so what the host reports is what that search found, looked up by the
// same bare name once Start has loaded it. A real driver has no test interface, and its state
// cannot be read.
class TrackerProbe {
public:
    TrackerProbe() = default;
    TrackerProbe(const TrackerProbe&) = delete;
    TrackerProbe& operator=(const TrackerProbe&) = delete;

    // Sets the simulated tracker's variables first: it reads them once, when it is loaded.
    bool Preload(const std::string& path,
                 const std::vector<std::pair<std::string, std::string>>& environment);
    // After Start: takes the driver the plug-in's own load found, and keeps it loaded, so that its
    // counters can still be read after Stop.
    void FindPluginsDriver();

    // What was found where, in a line: "simulated tracker (<path>)", "a driver without the test
    // interface, loaded from <folder>", "none found: the camera will not move".
    std::string Found() const;
    // "open", "failing" or "closed" from the test interface; "loaded" without one; "none".
    std::string State() const;
    // Short lines of the driver's counters for the live view, each well within a terminal's
    // width: the calls, and the failed ones. Empty without a test interface.
    std::string Detail() const;
    std::string Failures() const;
    // The same counters by name, for the summary.
    std::vector<std::pair<std::string, std::int64_t>> Counters() const;

private:
    void Watch(void* library);

    void* library_ = nullptr;
    std::string path_;
    bool usable_ = false;  // has the two entry points without which the plug-in refuses it
    std::int32_t (*getState_)() = nullptr;
    void* getCounters_ = nullptr;  // SimTrackerGetCounters, typed where it is called
};

}  // namespace velmora::host
