#include <dlfcn.h>

#include "drivers/udp/library_module.h"

namespace velmora::udp {

std::filesystem::path LibraryDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return std::filesystem::path(info.dli_fname).parent_path();
}

void KeepLibraryLoaded() {
    // Nothing to do at run time: the shared library is linked with -z nodelete.
}

}  // namespace velmora::udp
