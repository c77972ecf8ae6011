#include <dlfcn.h>

#include "platform/platform.h"

namespace velmora::platform {

ModuleHandle LoadDriverLibrary() {
    return dlopen("libiweardrv.so", RTLD_NOW);
}

void* FindEntryPoint(ModuleHandle module, const char* name) {
    return dlsym(module, name);
}

void FreeDriverLibrary(ModuleHandle module) {
    dlclose(module);
}

}  // namespace velmora::platform
