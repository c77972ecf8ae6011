#pragma once

#include <cstdint>

namespace velmora::udp {

// An angle in degrees brought into [-180, 180). A NaN or an infinity gives 0.
double WrapDegrees(double degrees);

// An angle in degrees in the tracker's raw units: degrees * 65536 / 360, rounded to the nearest
// unit and wrapped into [-32768, 32767], so that +180 and -180 both give -32768. A NaN or an
// infinity gives 0.
std::int32_t DegreesToRaw(double degrees);

}  // namespace velmora::udp
