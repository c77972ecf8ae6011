#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

ModuleHandle LoadLibraryByName(const char* name) {
    return LoadLibraryA(name);
}

void* FindEntryPoint(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadLibrary(ModuleHandle module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

void PinThisLibrary() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinThisLibrary), &self);
}

}  // namespace velmora::platform
