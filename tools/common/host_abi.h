#pragma once

// How this host reaches a plug-in: by table position only, like the game, which has no header of
// ours. Every calling-convention detail of the host side lives in this file.

#include <cstdint>
#include <cstring>

#include "plugin/abi.h"

// The game's name for the descriptor's class, declared as the game declares it. Only the name
// matters: it makes the export's function type the one the library defines (a call through
// another type is undefined, and UBSan's function check says so).
class PluginObjectInfo;

namespace velmora::host {

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

}  // namespace velmora::host
