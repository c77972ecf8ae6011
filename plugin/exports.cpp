// The library's outer face: the four exports the host reads first, and the DLL entry point.

#include <cstdint>

#include "plugin/abi.h"
#include "plugin/plugin_info.h"

VELMORA_EXPORT const char* GetPluginName() {
    return velmora::kPluginDisplayName;
}

VELMORA_EXPORT std::int32_t GetPluginVersion() {
    return velmora::kPluginVersion;
}

VELMORA_EXPORT std::int32_t GetPluginObjectCount() {
    return velmora::kPluginObjectCount;
}

VELMORA_EXPORT PluginObjectInfo* GetPluginObjectInfo(std::uint32_t index) {
    return index == 0 ? &velmora::g_pluginInfo : nullptr;
}
