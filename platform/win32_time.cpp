#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

void Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::uint32_t TickCount() {
    return GetTickCount();
}

std::uint64_t Microseconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
    const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    // In two parts: ticks * 1000000 overflows after a few weeks of uptime at 10 MHz.
    return ticks / perSecond * 1000000u + ticks % perSecond * 1000000u / perSecond;
}

LocalTime LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace velmora::platform
