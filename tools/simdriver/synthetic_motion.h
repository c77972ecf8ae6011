#pragma once

#include <cstdint>

#include "simdriver/pose.h"

namespace velmora::sim {

// A driver's head over a ten-second loop: a turn to the left into a corner, a glance at the right
// mirror, a lean with the head tilted right, a look up and across, each eased in and out, on top
// of a slow sway and a little sensor noise.
class SyntheticMotion {
public:
    static constexpr double CycleSeconds = 10.0;

    // The pose `seconds` after the motion began. Each call draws fresh noise.
    Pose At(double seconds);

private:
    double Noise();

    std::uint32_t noiseState_ = 0x9E3779B9u;
};

}  // namespace velmora::sim
