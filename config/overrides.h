#pragma once

#include <array>
#include <cstdint>
#include <optional>

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

// A ring longer than 100 s of readings smooths nothing more, and each reading's cost (paid under
// the lock the game's camera query waits for) grows with the ring.
inline constexpr std::int32_t kLongestRing = 10000;

// The ring length a profile's MaxFrames asks for: never below MinFrames, never above kLongestRing.
inline std::int32_t RingLength(std::int32_t requested, std::int32_t minFrames) {
    const std::int32_t atLeast = requested > minFrames ? requested : minFrames;
    return atLeast < kLongestRing ? atLeast : kLongestRing;
}

}  // namespace velmora
