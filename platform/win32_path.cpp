#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {

bool PluginDirectory(std::string& directory) {
    // With no module of that name loaded the handle is null and the path is the host's own
    // executable: the settings are then looked for beside the game.
    HMODULE module = GetModuleHandleA("Velmora.dll");
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
