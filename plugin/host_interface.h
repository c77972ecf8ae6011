#pragma once

// The host's plug-in interface. The host calls every operation by its position in the object's
// table, so the declaration order below is the contract: never reorder, never overload (MSVC
// groups overloads together in the table), never add data.

#include <cstdint>

#include "plugin/abi.h"

class PluginObjectInfo;

class PluginObject {
    VELMORA_SLOT0_DESTRUCTOR(PluginObject)                          // 0: delete the object
    virtual void VELMORA_HOSTCALL Release() = 0;                    // 1: end of use
    virtual PluginObjectInfo* VELMORA_HOSTCALL ObjectInfo() = 0;    // 2: the descriptor
    virtual std::int32_t VELMORA_HOSTCALL Slot3() = 0;              // 3: host-defined
    virtual std::int32_t VELMORA_HOSTCALL Slot4(std::int32_t) = 0;  // 4: host-defined
    virtual std::int32_t VELMORA_HOSTCALL Slot5(std::int32_t) = 0;  // 5: host-defined
};

class PluginObjectInfo {
    VELMORA_SLOT0_DESTRUCTOR(PluginObjectInfo)                           // 0: never used: static
    virtual const char* VELMORA_HOSTCALL ShortName() const = 0;          // 1
    virtual const char* VELMORA_HOSTCALL LongName() const = 0;           // 2
    virtual const char* VELMORA_HOSTCALL Description() const = 0;        // 3
    virtual std::int32_t VELMORA_HOSTCALL TypeCode() const = 0;          // 4: kind of plug-in
    virtual const char* VELMORA_HOSTCALL SubtypeName() const = 0;        // 5
    virtual std::int32_t VELMORA_HOSTCALL InterfaceVersion() const = 0;  // 6: of the object
    virtual PluginObject* VELMORA_HOSTCALL CreateInstance() const = 0;   // 7: a new object
};

// Option-type names of the host interface; the plug-in reads none of them.
inline constexpr char kPluginOptionTypeNames[3][64] = {"POPTYPE_INT", "POPTYPE_FLOAT",
                                                       "POPTYPE_STRING"};

struct VehicleListInfo;

class InternalsPlugin : public PluginObject {
public:
    virtual void VELMORA_HOSTCALL Start() = 0;               // 6: session begins
    virtual void VELMORA_HOSTCALL Stop() = 0;                // 7: session ends
    virtual void VELMORA_HOSTCALL Reset() = 0;               // 8: re-read, re-zero
    virtual void VELMORA_HOSTCALL Slot9() = 0;               // 9
    virtual bool VELMORA_HOSTCALL Slot10() = 0;              // 10
    virtual void VELMORA_HOSTCALL Slot11(std::int32_t) = 0;  // 11
    virtual bool VELMORA_HOSTCALL Slot12() = 0;              // 12
    virtual void VELMORA_HOSTCALL Slot13(std::int32_t) = 0;  // 13

protected:
    ~InternalsPlugin() = default;
};

class InternalsPluginV2 : public InternalsPlugin {
public:
    virtual bool VELMORA_HOSTCALL Slot14() = 0;       // 14
    virtual void VELMORA_HOSTCALL Slot15(float) = 0;  // 15
    virtual void VELMORA_HOSTCALL Enable() = 0;       // 16
    virtual void VELMORA_HOSTCALL Disable() = 0;      // 17
    // 18: true when a value for the named control was written through `value`.
    virtual bool VELMORA_HOSTCALL QueryControl(const char* name, float* value) = 0;
    virtual bool VELMORA_HOSTCALL Slot19(std::int32_t) = 0;  // 19
    virtual bool VELMORA_HOSTCALL Slot20() = 0;              // 20
    virtual void VELMORA_HOSTCALL Slot21(std::int32_t) = 0;  // 21

protected:
    ~InternalsPluginV2() = default;
};

class InternalsPluginV3 : public InternalsPluginV2 {
public:
    virtual void VELMORA_HOSTCALL Slot22() = 0;              // 22
    virtual void VELMORA_HOSTCALL Slot23() = 0;              // 23
    virtual void VELMORA_HOSTCALL Slot24(std::int32_t) = 0;  // 24
    virtual void VELMORA_HOSTCALL Slot25(std::int32_t) = 0;  // 25
    // 26: the vehicles the host simulates, read in place and never kept.
    virtual void VELMORA_HOSTCALL UpdateVehicles(const VehicleListInfo* list) = 0;
    virtual bool VELMORA_HOSTCALL Slot27(std::int32_t) = 0;  // 27

protected:
    ~InternalsPluginV3() = default;
};
