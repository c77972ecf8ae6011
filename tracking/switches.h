#pragma once

#include <array>
#include <atomic>

#include "config/overrides.h"
#include "config/settings_keys.h"

namespace velmora {

// The flags the host's thread reads without the lock while a reload on the polling thread (test
// mode) may rewrite them; every one is atomic. "enabled" has two writers by design: the host
// (Enable, Disable, Stop) and the settings ("Use Tracker"), and the later one wins.
//
// Before the first Start nothing is enabled, so a never-started object answers nothing.
class Switches {
public:
    using Direction = keys::Direction;

    bool Enabled() const { return enabled_.load(std::memory_order_relaxed); }
    void SetEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }
    bool TestMode() const { return testMode_.load(std::memory_order_relaxed); }
    bool UseFiltering() const { return useFiltering_.load(std::memory_order_relaxed); }
    // Read by the polling thread once per reading: a relaxed load is all a switched-off recorder
    // costs.
    bool RecordTrace() const { return recordTrace_.load(std::memory_order_relaxed); }
    bool Allows(Direction direction) const {
        return directions_[static_cast<std::size_t>(direction)].load(std::memory_order_relaxed);
    }

    // What Start does before it reads the settings: enabled, and every direction allowed.
    void BeginSession();
    // "Use Tracker", "TestMode", "Use Filtering" and "Record Trace", where the file sets them.
    void Apply(const SwitchOverrides& switches);
    // A profile section's direction flags, where it sets them.
    void ApplyDirections(const DirectionOverrides& directions);

private:
    std::atomic<bool> enabled_{false};
    std::atomic<bool> testMode_{false};
    std::atomic<bool> useFiltering_{true};
    std::atomic<bool> recordTrace_{false};
    std::array<std::atomic<bool>, 6> directions_{};
};

}  // namespace velmora
