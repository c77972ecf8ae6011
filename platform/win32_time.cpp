#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

void Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::uint32_t TickCount() {
    return GetTickCount();
}

}  // namespace velmora::platform
