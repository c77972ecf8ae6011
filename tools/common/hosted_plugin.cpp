#include "common/hosted_plugin.h"

#include "common/host_abi.h"

namespace velmora::host {

void* HostedPlugin::ObjectInfo() const {
    return SlotOf<PointerSlot>(object_, kObjectInfo)(object_);
}

void HostedPlugin::Start() const {
    SlotOf<VoidSlot>(object_, kObjectStart)(object_);
}

void HostedPlugin::Stop() const {
    SlotOf<VoidSlot>(object_, kObjectStop)(object_);
}

void HostedPlugin::Release() const {
    SlotOf<VoidSlot>(object_, kObjectRelease)(object_);
}

void HostedPlugin::Reset() const {
    SlotOf<VoidSlot>(object_, kObjectReset)(object_);
}

void HostedPlugin::Enable() const {
    SlotOf<VoidSlot>(object_, kObjectEnable)(object_);
}

void HostedPlugin::Disable() const {
    SlotOf<VoidSlot>(object_, kObjectDisable)(object_);
}

bool HostedPlugin::QueryControl(const char* name, float* value) const {
    return SlotOf<QuerySlot>(object_, kObjectQueryControl)(object_, name, value);
}

void HostedPlugin::UpdateVehicles(const void* list) const {
    SlotOf<VehiclesSlot>(object_, kObjectUpdateVehicles)(object_, list);
}

void HostedPlugin::Delete() {
    // MSVC's deleting destructor: bit 0 of the flags frees the memory on the plug-in's own heap.
    SlotOf<DeleteSlot>(object_, kObjectDelete)(object_, 1u);
    object_ = nullptr;
}

}  // namespace velmora::host
