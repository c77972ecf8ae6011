#include "common/plugin_library.h"

#include <cstdint>
#include <cstring>

#include "plugin/abi.h"

extern "C" {
#include "common/host_os.h"
}

// Every calling-convention detail of the host side lives in this file.
//
// The game's name for the descriptor's class, declared as the game declares it. Only the name
// matters: it makes the export's function type the one the library defines (a call through
// another type is undefined, and UBSan's function check says so).
class PluginObjectInfo;

namespace velmora::host {
namespace {

// A slot is a member function; called from outside a class it is a plain function whose first
// argument is the object. VELMORA_HOSTCALL turns that into MSVC's thiscall on i686 Windows (object
// in ECX, callee pops the rest); on x86_64 the object simply comes first, on Windows and Linux.
// G++ under -Wpedantic remarks that thiscall is meant for member functions, yet applies it to a
// plain function type all the same, which is exactly what a caller from outside the class needs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
using DeleteSlot = void*(VELMORA_HOSTCALL*)(void* object, std::uint32_t flags);
using VoidSlot = void(VELMORA_HOSTCALL*)(void* object);
using PointerSlot = void*(VELMORA_HOSTCALL*)(void* object);
using TextSlot = const char*(VELMORA_HOSTCALL*)(void* object);
using NumberSlot = std::int32_t(VELMORA_HOSTCALL*)(void* object);
using QuerySlot = bool(VELMORA_HOSTCALL*)(void* object, const char* name, float* value);
using VehiclesSlot = void(VELMORA_HOSTCALL*)(void* object, const void* list);
#pragma GCC diagnostic pop

// Positions in the descriptor's table.
enum DescriptorSlot : int {
    kInfoShortName = 1,
    kInfoLongName = 2,
    kInfoDescription = 3,
    kInfoTypeCode = 4,
    kInfoSubtypeName = 5,
    kInfoInterfaceVersion = 6,
    kInfoCreateInstance = 7,
};

// Positions in the plug-in object's table.
enum ObjectSlot : int {
    kObjectDelete = 0,
    kObjectRelease = 1,
    kObjectInfo = 2,
    kObjectStart = 6,
    kObjectStop = 7,
    kObjectReset = 8,
    kObjectEnable = 16,
    kObjectDisable = 17,
    kObjectQueryControl = 18,
    kObjectUpdateVehicles = 26,
};

// Reads slot `position` of the table whose address is the object's first word. memcpy keeps the
// data-to-function pointer conversion out of the language's grey zone.
template <class Slot>
Slot SlotOf(void* object, int position) {
    void* const* table = nullptr;
    std::memcpy(&table, object, sizeof table);
    Slot slot = nullptr;
    std::memcpy(&slot, &table[position], sizeof slot);
    return slot;
}

// The four exports use the platform's default convention for free functions.
using GetPluginNameExport = const char* (*)();
using GetPluginVersionExport = std::int32_t (*)();
using GetPluginObjectCountExport = std::int32_t (*)();
using GetPluginObjectInfoExport = PluginObjectInfo* (*)(std::uint32_t index);

template <class Export>
Export FindExport(void* library, const char* name) {
    void* symbol = HostFindSymbol(library, name);
    Export function = nullptr;
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

std::string TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

PluginLibrary::~PluginLibrary() {
    Close();
}

void PluginLibrary::Close() {
    if (library_ != nullptr) {
        HostFreeLibrary(library_);
        library_ = nullptr;
        descriptor_ = nullptr;
    }
}

bool PluginLibrary::Open(const std::string& path, std::string& error) {
    library_ = HostLoadLibrary(path.c_str());
    if (library_ == nullptr) {
        error = "cannot load the plug-in library " + path;
        return false;
    }
    auto getName = FindExport<GetPluginNameExport>(library_, "GetPluginName");
    auto getVersion = FindExport<GetPluginVersionExport>(library_, "GetPluginVersion");
    auto getCount = FindExport<GetPluginObjectCountExport>(library_, "GetPluginObjectCount");
    auto getInfo = FindExport<GetPluginObjectInfoExport>(library_, "GetPluginObjectInfo");
    if (getName == nullptr || getVersion == nullptr || getCount == nullptr || getInfo == nullptr) {
        error = path +
                " is not a plug-in: it lacks GetPluginName, GetPluginVersion, "
                "GetPluginObjectCount or GetPluginObjectInfo";
        return false;
    }
    identity_.name = TextOrEmpty(getName());
    identity_.version = getVersion();
    identity_.objectCount = getCount();
    if (identity_.objectCount < 1) {
        error = path + " offers no plug-in object";
        return false;
    }
    descriptor_ = getInfo(0);
    if (descriptor_ == nullptr) {
        error = path + " gives no descriptor for object 0";
        return false;
    }
    identity_.shortName = TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoShortName)(descriptor_));
    identity_.longName = TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoLongName)(descriptor_));
    identity_.typeCode = SlotOf<NumberSlot>(descriptor_, kInfoTypeCode)(descriptor_);
    identity_.subtypeName =
        TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoSubtypeName)(descriptor_));
    identity_.interfaceVersion =
        SlotOf<NumberSlot>(descriptor_, kInfoInterfaceVersion)(descriptor_);
    return true;
}

void* PluginLibrary::CreateInstance() const {
    return SlotOf<PointerSlot>(descriptor_, kInfoCreateInstance)(descriptor_);
}

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
