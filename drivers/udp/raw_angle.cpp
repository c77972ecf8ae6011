#include "drivers/udp/raw_angle.h"

#include <cmath>

namespace velmora::udp {

double WrapDegrees(double degrees) {
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

std::int32_t DegreesToRaw(double degrees) {
    // Wrapping first keeps the product small: a huge angle would overflow the integer conversion.
    const long long units = std::llround(WrapDegrees(degrees) * 65536.0 / 360.0);
    // Rounding can land on +32768 (just below +180 degrees), which is the same direction as -32768.
    return static_cast<std::int32_t>(units >= 32768 ? units - 65536 : units);
}

}  // namespace velmora::udp
