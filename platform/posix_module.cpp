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

}  // namespace velmora::platform
