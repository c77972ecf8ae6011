#pragma once

#include <cstdint>

#include "controls/camera_controls.h"
#include "plugin/host_interface.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"
#include "tracking/tracker_poller.h"

namespace velmora {

// The one plug-in object: the host's 28 slots as glue over the components, which own all the
// state. The host calls every slot from one thread, one call at a time; the polling thread, from
// the end of a Start that found the driver until Stop, is the only other one (see TrackerPoller
// and SharedHead for what it touches and when the lock is held).
class VelmoraPlugin final : public InternalsPluginV3 {
public:
    VelmoraPlugin();
    ~VelmoraPlugin();
    VelmoraPlugin(const VelmoraPlugin&) = delete;
    VelmoraPlugin& operator=(const VelmoraPlugin&) = delete;

    // Slots 0 to 27, in table order.
    VELMORA_SLOT0_DELETES_HEAP_OBJECT
    void VELMORA_HOSTCALL Release() override;
    PluginObjectInfo* VELMORA_HOSTCALL ObjectInfo() override;
    std::int32_t VELMORA_HOSTCALL Slot3() override;
    std::int32_t VELMORA_HOSTCALL Slot4(std::int32_t) override;
    std::int32_t VELMORA_HOSTCALL Slot5(std::int32_t) override;
    void VELMORA_HOSTCALL Start() override;
    void VELMORA_HOSTCALL Stop() override;
    void VELMORA_HOSTCALL Reset() override;
    void VELMORA_HOSTCALL Slot9() override;
    bool VELMORA_HOSTCALL Slot10() override;
    void VELMORA_HOSTCALL Slot11(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot12() override;
    void VELMORA_HOSTCALL Slot13(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot14() override;
    void VELMORA_HOSTCALL Slot15(float) override;
    void VELMORA_HOSTCALL Enable() override;
    void VELMORA_HOSTCALL Disable() override;
    bool VELMORA_HOSTCALL QueryControl(const char* name, float* value) override;
    bool VELMORA_HOSTCALL Slot19(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot20() override;
    void VELMORA_HOSTCALL Slot21(std::int32_t) override;
    void VELMORA_HOSTCALL Slot22() override;
    void VELMORA_HOSTCALL Slot23() override;
    void VELMORA_HOSTCALL Slot24(std::int32_t) override;
    void VELMORA_HOSTCALL Slot25(std::int32_t) override;
    void VELMORA_HOSTCALL UpdateVehicles(const VehicleListInfo* list) override;
    bool VELMORA_HOSTCALL Slot27(std::int32_t) override;

private:
    // Declared in the order of construction; destroyed the other way round, so the poller ends
    // the polling thread before the lock inside the shared head is retired.
    Switches switches_;
    SharedHead head_;
    TrackerPoller poller_;
    CameraControls controls_;
};

}  // namespace velmora
