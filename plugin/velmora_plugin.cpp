#include "plugin/velmora_plugin.h"

#include "plugin/plugin_info.h"

namespace velmora {

VelmoraPlugin::VelmoraPlugin() = default;

VelmoraPlugin::~VelmoraPlugin() = default;

void VelmoraPlugin::Release() { Stop(); }

PluginObjectInfo* VelmoraPlugin::ObjectInfo() { return &g_pluginInfo; }

void VelmoraPlugin::Start() { enabled = true; }

void VelmoraPlugin::Stop() { enabled = false; }

void VelmoraPlugin::Reset() {}

void VelmoraPlugin::Enable() { enabled = true; }

void VelmoraPlugin::Disable() { enabled = false; }

bool VelmoraPlugin::QueryControl(const char*, float*) { return false; }

void VelmoraPlugin::UpdateVehicles(const VehicleListInfo*) {}

// The slots the host defines and Velmora has no use for: fixed answers.
std::int32_t VelmoraPlugin::Slot3() { return 0; }
std::int32_t VelmoraPlugin::Slot4(std::int32_t) { return 0; }
std::int32_t VelmoraPlugin::Slot5(std::int32_t) { return 0; }
void VelmoraPlugin::Slot9() {}
bool VelmoraPlugin::Slot10() { return false; }
void VelmoraPlugin::Slot11(std::int32_t) {}
bool VelmoraPlugin::Slot12() { return false; }
void VelmoraPlugin::Slot13(std::int32_t) {}
bool VelmoraPlugin::Slot14() { return true; }
void VelmoraPlugin::Slot15(float) {}
bool VelmoraPlugin::Slot19(std::int32_t) { return false; }
bool VelmoraPlugin::Slot20() { return true; }
void VelmoraPlugin::Slot21(std::int32_t) {}
void VelmoraPlugin::Slot22() {}
void VelmoraPlugin::Slot23() {}
void VelmoraPlugin::Slot24(std::int32_t) {}
void VelmoraPlugin::Slot25(std::int32_t) {}
bool VelmoraPlugin::Slot27(std::int32_t) { return false; }

}  // namespace velmora
