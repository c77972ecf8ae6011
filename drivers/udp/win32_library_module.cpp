#include <windows.h>

#include <string>

#include "drivers/udp/library_module.h"

namespace velmora::udp {
namespace {

HMODULE ThisModule(DWORD flags) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | flags,
                            reinterpret_cast<LPCWSTR>(&ThisModule), &module)) {
        return nullptr;
    }
    return module;
}

}  // namespace

std::filesystem::path LibraryDirectory() {
    const HMODULE module = ThisModule(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT);
    if (module == nullptr) {
        return {};
    }
    // Wide, so that a game installed under a name outside the ANSI code page is found too.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer means the path was cut short: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

void KeepLibraryLoaded() {
    ThisModule(GET_MODULE_HANDLE_EX_FLAG_PIN);
}

}  // namespace velmora::udp
