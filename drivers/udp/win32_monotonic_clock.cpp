#include <windows.h>

#include "drivers/udp/monotonic_clock.h"

namespace velmora::udp {

std::uint64_t MonotonicMilliseconds() {
    // The performance counter rather than GetTickCount64: it exists on every Windows the game
    // runs on, and it does not tick in steps of 10 to 16 ms.
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER value;
        // Never fails on the systems the game runs on; 1 only keeps a division by zero away.
        const bool known = QueryPerformanceFrequency(&value) && value.QuadPart > 0;
        return known ? static_cast<std::uint64_t>(value.QuadPart) : std::uint64_t{1};
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const auto ticks = static_cast<std::uint64_t>(now.QuadPart);
    // In two steps, so that ticks * 1000 cannot overflow after a long uptime.
    return ticks / frequency * 1000u + ticks % frequency * 1000u / frequency;
}

}  // namespace velmora::udp
