#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

ModuleHandle LoadDriverLibrary() {
    return LoadLibraryA("IWEARDRV.DLL");
}

void* FindEntryPoint(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void FreeDriverLibrary(ModuleHandle module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace velmora::platform
