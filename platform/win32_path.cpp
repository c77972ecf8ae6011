#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

bool ModuleDirectory(const void* address, std::string& directory) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(address), &module)) {
        return false;
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    // A full buffer means a truncated path (and, before Vista, an unterminated one).
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    std::string full(path, length);
    std::size_t cut = full.rfind('\\');
    if (cut == std::string::npos) {
        cut = full.rfind('/');
    }
    directory = cut == std::string::npos ? std::string() : full.substr(0, cut);
    if (directory.empty() || directory.back() != '\\') {
        directory += '\\';
    }
    return true;
}

}  // namespace velmora::platform
