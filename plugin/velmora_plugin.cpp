#include "plugin/velmora_plugin.h"

#include <string>

#include "config/settings_keys.h"
#include "config/shown_name.h"
#include "platform/platform.h"
#include "plugin/plugin_info.h"
#include "plugin/slot_guard.h"
#include "plugin/vehicle_list.h"

namespace velmora {
namespace {

// Velmora.cfg lives beside this library. Any address inside it names the library, whatever its
// file name: the file name's own will do. Empty when the folder cannot be found.
std::string SettingsPath() {
    std::string directory;
    if (!platform::ModuleDirectory(keys::kSettingsFile, directory)) {
        return {};
    }
    return directory + keys::kSettingsFile;
}

}  // namespace

// No file is read, no library loaded and no thread made before Start.
VelmoraPlugin::VelmoraPlugin()
    : head_(switches_, SettingsPath()),
      poller_(head_, switches_, VELMORA_DRIVER_LIBRARY),
      controls_(head_, switches_) {}

// The host stops before it deletes; if it did not, the poller's destructor stops the thread.
VelmoraPlugin::~VelmoraPlugin() = default;

void VelmoraPlugin::Release() {
    Stop();
}

PluginObjectInfo* VelmoraPlugin::ObjectInfo() {
    return &g_pluginInfo;
}

void VelmoraPlugin::Start() {
    Guarded([&] {
        head_.BeginSession();
        controls_.Bind();
        poller_.Start();
    });
}

void VelmoraPlugin::Stop() {
    switches_.SetEnabled(false);
    Guarded([&] { poller_.Stop(); });
    // A test-mode reload the thread was in the middle of may have applied "Use Tracker = true"
    // after the first clear; with the thread gone, nothing can undo this one.
    switches_.SetEnabled(false);
}

void VelmoraPlugin::Reset() {
    Guarded([&] {
        head_.LoadSettings();
        poller_.ZeroSet();
    });
}

void VelmoraPlugin::Enable() {
    switches_.SetEnabled(true);
}

void VelmoraPlugin::Disable() {
    switches_.SetEnabled(false);
}

bool VelmoraPlugin::QueryControl(const char* name, float* value) {
    if (name == nullptr || value == nullptr) {
        return false;
    }
    return Guarded(false, [&] { return controls_.Query(name, value); });
}

void VelmoraPlugin::UpdateVehicles(const VehicleListInfo* list) {
    Guarded([&] {
        std::string_view player;
        if (!FindPlayerVehicle(list, player) || !head_.ChangeVehicle(player)) {
            return;
        }
        // The box waits for the user; the lock is long given back, so the polling thread goes on.
        // The name is the section to write, byte for byte: when it hides something (a space at
        // an end, a tab), the box says so below it.
        if (switches_.TestMode()) {
            const std::string notice = "Current Vehicle: " + std::string(player);
            platform::ShowNotice("Velmora - TestMode", notice.c_str(), NameNote(player).c_str());
        }
    });
}

// The slots the host defines and Velmora has no use for: fixed answers.
std::int32_t VelmoraPlugin::Slot3() {
    return 0;
}
std::int32_t VelmoraPlugin::Slot4(std::int32_t) {
    return 0;
}
std::int32_t VelmoraPlugin::Slot5(std::int32_t) {
    return 0;
}
void VelmoraPlugin::Slot9() {}
bool VelmoraPlugin::Slot10() {
    return false;
}
void VelmoraPlugin::Slot11(std::int32_t) {}
bool VelmoraPlugin::Slot12() {
    return false;
}
void VelmoraPlugin::Slot13(std::int32_t) {}
bool VelmoraPlugin::Slot14() {
    return true;
}
void VelmoraPlugin::Slot15(float) {}
bool VelmoraPlugin::Slot19(std::int32_t) {
    return false;
}
bool VelmoraPlugin::Slot20() {
    return true;
}
void VelmoraPlugin::Slot21(std::int32_t) {}
void VelmoraPlugin::Slot22() {}
void VelmoraPlugin::Slot23() {}
void VelmoraPlugin::Slot24(std::int32_t) {}
void VelmoraPlugin::Slot25(std::int32_t) {}
bool VelmoraPlugin::Slot27(std::int32_t) {
    return false;
}

}  // namespace velmora
