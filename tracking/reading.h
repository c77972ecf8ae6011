#pragma once

#include <cstdint>

namespace velmora {

// One reading of the three axes in raw tracker units (65536 to the tracker's range), as the
// driver gives it and as the filters give it back smoothed.
struct Reading {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;

    friend bool operator==(const Reading&, const Reading&) = default;
};

}  // namespace velmora
