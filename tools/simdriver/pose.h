#pragma once

#include <cmath>
#include <cstdint>

namespace velmora::sim {

// One reading in raw tracker units.
struct Pose {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;
};

// Into the tracker's range [-32768, 32767], 65536 units to the turn.
inline std::int32_t WrapRaw(std::int64_t units) {
    const std::int64_t shifted = ((units + 32768) % 65536 + 65536) % 65536;
    return static_cast<std::int32_t>(shifted - 32768);
}

inline std::int32_t DegreesToRaw(double degrees) {
    return WrapRaw(std::llround(degrees * 65536.0 / 360.0));
}

// `pose` seen from `zero`: each axis wrapped again, as the tracker reports it.
inline Pose Relative(const Pose& pose, const Pose& zero) {
    return {WrapRaw(std::int64_t{pose.yaw} - zero.yaw),
            WrapRaw(std::int64_t{pose.pitch} - zero.pitch),
            WrapRaw(std::int64_t{pose.roll} - zero.roll)};
}

}  // namespace velmora::sim
