#include <dlfcn.h>

#include "platform/platform.h"

namespace velmora::platform {

bool ModuleDirectory(const void* address, std::string& directory) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return false;
    }
    // A backslash is an ordinary file-name character here: only '/' separates directories.
    const std::string path(info.dli_fname);
    const std::size_t slash = path.rfind('/');
    directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
    directory += '/';
    return true;
}

}  // namespace velmora::platform
