#pragma once

#include <cstdint>

namespace velmora {

// What one axis's filter is set to: the parameters it reads from its next sample on, and the
// length of its ring. The profile keys name these fields (settings_keys.h), a load computes them
// section by section, the filter takes them as they are, and the tools read a filter as this one
// value. A default value passes the readings through.
struct FilterSettings {
    std::int32_t MinFrames = 1;    // the fewest samples averaged
    std::int32_t MaxFrames = 1;    // the ring's length: the most samples averaged
    float DecreaseFrame = 1.0f;    // tracker units of distance per sample of shrink
    std::int32_t OffsetFrame = 0;  // subtracted from the window's shrink
    float SDSkipfactor = 2.5f;     // outliers lie beyond this many standard deviations
    float Trend = 0.0f;            // 0 to 1: how far the output leads the mean along its line

    friend bool operator==(const FilterSettings&, const FilterSettings&) = default;
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
