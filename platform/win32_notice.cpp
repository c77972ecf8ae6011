#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace velmora::platform {

void ShowNotice(const char* caption, const char* text, const char* secondLine) {
    std::string message = text;
    if (secondLine[0] != '\0') {
        message = message + "\n" + secondLine;
    }
    MessageBoxA(nullptr, message.c_str(), caption, 0);
}

}  // namespace velmora::platform
