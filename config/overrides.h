#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/filter_settings.h"

namespace velmora {

// What one section of Velmora.cfg says, as values. Every field is an override: nothing means the
// file does not set it (missing, empty or unreadable), and what it was stays.

// The switches of "Settings".
struct SwitchOverrides {
    std::optional<bool> useTracker;
    std::optional<bool> testMode;
    std::optional<bool> useFiltering;
    std::optional<bool> recordTrace;
};

// One axis's filter keys, with their floors already applied.
struct AxisOverrides {
    std::optional<std::int32_t> minFrames;    // at least 1
    std::optional<std::int32_t> offsetFrame;  // at least 0
    std::optional<float> decreaseFrame;       // at least 1.0
    // The ring length asked for, as read: an unreadable value asks for 0. The filter turns it into
    // a length with RingLength, against its MinFrames of the moment.
    std::optional<std::int32_t> maxFrames;
};

// One profile section's own keys, without its "Copy From".
struct ProfileOverrides {
    std::array<std::optional<bool>, 6> directions;  // in keys::Direction order
    std::array<AxisOverrides, 3> axes;              // yaw, pitch, roll
    // "SD Skipfactor" counts only in "Settings", whichever section is applied, and only as part of
    // applying a section.
    std::optional<float> sdSkipfactor;
};

}  // namespace velmora
