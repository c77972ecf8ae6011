#include <dlfcn.h>

#include <cstring>

#include "platform/platform.h"

namespace velmora::platform {

bool ModuleDirectory(const void* address, std::string& directory) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return false;
    }
    // Same limit as the Windows build's 260-character buffer, so both treat long paths alike.
    const std::size_t length = std::strlen(info.dli_fname);
    if (length >= 260) {
        return false;
    }
    // A backslash is an ordinary file-name character here: only '/' separates directories.
    const std::string path(info.dli_fname, length);
    const std::size_t slash = path.rfind('/');
    directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
    directory += '/';
    return true;
}

}  // namespace velmora::platform
