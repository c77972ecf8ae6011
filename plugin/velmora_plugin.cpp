#include "plugin/velmora_plugin.h"

#include <string>

#include "platform/platform.h"
#include "plugin/plugin_info.h"
#include "plugin/vehicle_list.h"

namespace velmora {

// The constructor reads no file, loads no library and starts no thread: all of that waits for
// Start. Fields Start sets hold safe values meanwhile, so a never-started object answers nothing.
VelmoraPlugin::VelmoraPlugin() = default;

VelmoraPlugin::~VelmoraPlugin() {
    // The host stops before deleting; if it did not, the polling thread must not outlive us.
    if (workerThread || driverHandle) {
        Stop();
    }
}

void VelmoraPlugin::Release() {
    Stop();
}

PluginObjectInfo* VelmoraPlugin::ObjectInfo() {
    return &g_pluginInfo;
}

void VelmoraPlugin::Start() {
    // A second Start without a Stop would orphan the running thread and the loaded driver.
    if (workerThread || driverHandle) {
        StopPollingAndUnloadDriver();
    }
    stopRequested = false;
    PrepareSession();
    // No polling thread exists yet, so the settings are read without the lock.
    LoadSettings();
    BindDriverAndStartPolling();
}

void VelmoraPlugin::PrepareSession() {
    pose = HeadPose{};
    enabled = true;
    for (std::atomic<bool>* flag : {&yawLeftEnabled, &yawRightEnabled, &pitchUpEnabled,
                                    &pitchDownEnabled, &rollLeftEnabled, &rollRightEnabled}) {
        flag->store(true);
    }
    try {
        RegisterControls();
    } catch (...) {
        // Without memory for the handlers the old bindings (if any) stay; queries answer false.
    }
}

void VelmoraPlugin::Stop() {
    enabled = false;
    StopPollingAndUnloadDriver();
    // A test-mode reload the thread was in the middle of may have applied "Use Tracker = true"
    // after the first clear; with the thread gone, nothing can undo this one.
    enabled = false;
}

void VelmoraPlugin::Reset() {
    {
        LockHold hold(lock);
        if (hold.Held()) {
            LoadSettings();
        }
    }
    // Never under the lock: the driver may take its time, and the polling thread needs the lock.
    if (driverHandle) {
        driverHandle->ZeroSet();
    }
}

void VelmoraPlugin::Enable() {
    enabled = true;
}

void VelmoraPlugin::Disable() {
    enabled = false;
}

bool VelmoraPlugin::QueryControl(const char* name, float* value) {
    if (!enabled.load(std::memory_order_relaxed) || name == nullptr || value == nullptr) {
        return false;
    }
    const auto handler = handlers.find(std::string_view(name));
    return handler != handlers.end() && handler->second->Evaluate(*this, value);
}

void VelmoraPlugin::UpdateVehicles(const VehicleListInfo* list) {
    std::string_view player;
    if (!FindPlayerVehicle(list, player) || player == currentVehicle) {
        return;
    }
    try {
        {
            LockHold hold(lock);
            if (!hold.Held()) {
                return;
            }
            ChangeVehicle(player);
        }
        // Shown without the lock: the box waits for the user while the polling thread goes on.
        if (testMode.load(std::memory_order_relaxed)) {
            const std::string notice = "Current Vehicle: " + currentVehicle;
            platform::ShowNotice("Velmora - TestMode", notice.c_str());
        }
    } catch (...) {
    }
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
