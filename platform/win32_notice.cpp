#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

void ShowNotice(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, 0);
}

}  // namespace velmora::platform
