#pragma once

#include <cstdint>

#include "plugin/host_interface.h"

namespace velmora {

inline constexpr char kPluginDisplayName[] = "Velmora Plugin - 2008.5.11";
inline constexpr std::int32_t kPluginVersion = 1;
inline constexpr std::int32_t kPluginObjectCount = 1;

// The one descriptor the library offers. It is static: the host never deletes it.
class InternalsPluginInfo final : public PluginObjectInfo {
public:
    InternalsPluginInfo();

    VELMORA_SLOT0_STATIC_OBJECT
    const char* VELMORA_HOSTCALL ShortName() const override;
    const char* VELMORA_HOSTCALL LongName() const override;
    const char* VELMORA_HOSTCALL Description() const override;
    std::int32_t VELMORA_HOSTCALL TypeCode() const override;
    const char* VELMORA_HOSTCALL SubtypeName() const override;
    std::int32_t VELMORA_HOSTCALL InterfaceVersion() const override;
    PluginObject* VELMORA_HOSTCALL CreateInstance() const override;

    char fullName[128];
};

// The descriptor, composed during static initialisation, before the host can call an export.
extern InternalsPluginInfo g_pluginInfo;

}  // namespace velmora
