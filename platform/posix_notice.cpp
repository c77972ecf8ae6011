#include <cstdio>

#include "platform/platform.h"

namespace velmora::platform {

void ShowNotice(const char* caption, const char* text, const char* /*secondLine*/) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

}  // namespace velmora::platform
