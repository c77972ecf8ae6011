#pragma once

#include <cstdint>

#include "drivers/raw_angle.h"

namespace velmora::sim {

// One reading in raw tracker units.
struct Pose {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;
};

// A head pose in degrees, counted as the readings are (yaw positive to the left, pitch up, roll
// tilted right): the simulated head as it truly is, which its readings only approach.
struct PoseDegrees {
    double yaw = 0.0;
    double pitch = 0.0;
    double roll = 0.0;
};

using raw_angle::DegreesToRaw;
using raw_angle::RawToDegrees;
using raw_angle::WrapRaw;

inline PoseDegrees InDegrees(const Pose& pose) {
    return {RawToDegrees(pose.yaw), RawToDegrees(pose.pitch), RawToDegrees(pose.roll)};
}

// `pose` seen from `zero`: each axis wrapped again, as the tracker reports it.
inline Pose Relative(const Pose& pose, const Pose& zero) {
    return {WrapRaw(std::int64_t{pose.yaw} - zero.yaw),
            WrapRaw(std::int64_t{pose.pitch} - zero.pitch),
            WrapRaw(std::int64_t{pose.roll} - zero.roll)};
}

}  // namespace velmora::sim
