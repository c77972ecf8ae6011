#include "plugin/plugin_info.h"

#include <cstdio>
#include <new>

#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

constexpr char kShortName[] = "HeadTracker";
constexpr char kDescription[] = "Plugin for using the head tracking ability of the Vuzix VR920 HMD";
constexpr char kSubtypeName[] = "Internals";
constexpr std::int32_t kTypeCode = 9;
// The object implements InternalsPluginV3.
constexpr std::int32_t kInterfaceVersion = 3;

}  // namespace

InternalsPluginInfo g_pluginInfo;

InternalsPluginInfo::InternalsPluginInfo() : fullName{} {
    std::snprintf(fullName, sizeof fullName, "%s - %s", kPluginDisplayName, kShortName);
}

const char* InternalsPluginInfo::ShortName() const {
    return kShortName;
}

const char* InternalsPluginInfo::LongName() const {
    return fullName;
}

const char* InternalsPluginInfo::Description() const {
    return kDescription;
}

std::int32_t InternalsPluginInfo::TypeCode() const {
    return kTypeCode;
}

const char* InternalsPluginInfo::SubtypeName() const {
    return kSubtypeName;
}

std::int32_t InternalsPluginInfo::InterfaceVersion() const {
    return kInterfaceVersion;
}

// The object comes from plain new, which is the C runtime's malloc: on 32-bit Windows (msvcrt)
// that aligns to 8, whatever GCC assumes of new. A member asking for more would be misaligned.
static_assert(alignof(VelmoraPlugin) <= 8);

PluginObject* InternalsPluginInfo::CreateInstance() const {
    // Nothing may escape into the host: without memory it receives null and no half-built object.
    try {
        return new VelmoraPlugin();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace velmora
