#include <dlfcn.h>

#include "platform/platform.h"

namespace velmora::platform {

ModuleHandle LoadLibraryByName(const char* name) {
    return dlopen(name, RTLD_NOW);
}

void* FindEntryPoint(ModuleHandle module, const char* name) {
    return dlsym(module, name);
}

void UnloadLibrary(ModuleHandle module) {
    dlclose(module);
}

void PinThisLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PinThisLibrary), &info) != 0 && info.dli_fname != nullptr) {
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

}  // namespace velmora::platform
