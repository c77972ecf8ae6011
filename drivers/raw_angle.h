#pragma once

#include <cmath>
#include <cstdint>

// The tracker's raw units, 65536 to the turn and reported within [-32768, 32767], and degrees:
// the one conversion the UDP bridge, the simulated tracker and the tuning bench share, so that a
// pose means the same reading to each of them.
namespace velmora::raw_angle {

inline constexpr double kUnitsPerDegree = 65536.0 / 360.0;

// Into [-180, 180). A NaN or an infinity, which no tracker reports, gives 0.
inline double WrapDegrees(double degrees) {
    if (!std::isfinite(degrees)) {
        return 0.0;
    }
    double wrapped = std::fmod(degrees, 360.0);  // exact, in (-360, 360)
    if (wrapped >= 180.0) {
        wrapped -= 360.0;
    } else if (wrapped < -180.0) {
        wrapped += 360.0;
    }
    return wrapped;
}

// Whole units into the tracker's range.
inline std::int32_t WrapRaw(std::int64_t units) {
    const std::int64_t shifted = ((units + 32768) % 65536 + 65536) % 65536;
    return static_cast<std::int32_t>(shifted - 32768);
}

// Degrees to the nearest unit, in the tracker's range: +180 and -180 both give -32768. Wrapping
// first keeps the product small, so a huge angle cannot overflow the conversion.
inline std::int32_t DegreesToRaw(double degrees) {
    return WrapRaw(std::llround(WrapDegrees(degrees) * kUnitsPerDegree));
}

constexpr double RawToDegrees(double raw) {
    return raw / kUnitsPerDegree;
}

}  // namespace velmora::raw_angle
