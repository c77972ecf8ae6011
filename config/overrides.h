#pragma once

#include <array>
#include <optional>

namespace velmora {

// What a section of Velmora.cfg says about the switches, as values. Every field is an override:
// nothing means the file does not set it (missing, empty or unreadable), and what it was stays.

// The switches of "Settings".
struct SwitchOverrides {
    std::optional<bool> useTracker;
    std::optional<bool> testMode;
    std::optional<bool> useFiltering;
    std::optional<bool> recordTrace;
};

// One profile section's direction flags, in keys::Direction order.
using DirectionOverrides = std::array<std::optional<bool>, 6>;

}  // namespace velmora
