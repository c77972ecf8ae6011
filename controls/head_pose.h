#pragma once

#include "tracking/reading.h"

namespace velmora {

// The normalised head pose the camera controls read, about -1 to +1 on each axis: the filters'
// outputs over 32768, each quotient taken in double precision and stored as a float. Yaw is
// negated after that (the tracker counts yaw positive to the left).
struct HeadPose {
    float yaw = 0.0f;
    float pitch = 0.0f;
    float roll = 0.0f;

    static HeadPose FromOutputs(const Reading& outputs) {
        return {-static_cast<float>(outputs.yaw / 32768.0),
                static_cast<float>(outputs.pitch / 32768.0),
                static_cast<float>(outputs.roll / 32768.0)};
    }
};

}  // namespace velmora
