#pragma once

// The game's plug-in interface as the game's own compiler sees it, written from the slot table
// and not from the plug-in's sources: under the Microsoft i686 ABI the virtual destructor is one
// entry (the deleting destructor) and every member function is thiscall. The host calls the DLL
// through it; check_windows_dll.py compares its layout with the DLL's tables.

class PluginObjectInfo;

class PluginObject {
public:
    virtual ~PluginObject() {}                   // 0: `delete` passes flags 1
    virtual void Release() = 0;                  // 1: stops the object, as Stop does
    virtual PluginObjectInfo* ObjectInfo() = 0;  // 2: the descriptor that made it
    virtual int Slot3() = 0;
    virtual int Slot4(int) = 0;
    virtual int Slot5(int) = 0;
};

class PluginObjectInfo {
public:
    virtual ~PluginObjectInfo() {}  // 0: never called: the descriptor is static
    virtual const char* ShortName() = 0;
    virtual const char* LongName() = 0;
    virtual const char* Description() = 0;
    virtual int TypeCode() = 0;
    virtual const char* SubtypeName() = 0;
    virtual int InterfaceVersion() = 0;          // of the objects it makes
    virtual PluginObject* CreateInstance() = 0;  // a new object, deleted by the game
};

struct VehicleListInfo;

class InternalsPlugin : public PluginObject {
public:
    virtual void Start() = 0;  // 6
    virtual void Stop() = 0;   // 7
    virtual void Reset() = 0;  // 8: settings again, tracker re-zeroed
    virtual void Slot9() = 0;
    virtual bool Slot10() = 0;
    virtual void Slot11(int) = 0;
    virtual bool Slot12() = 0;
    virtual void Slot13(int) = 0;
};

class InternalsPluginV2 : public InternalsPlugin {
public:
    virtual bool Slot14() = 0;
    virtual void Slot15(float) = 0;
    virtual void Enable() = 0;                                      // 16
    virtual void Disable() = 0;                                     // 17
    virtual bool QueryControl(const char* name, float* value) = 0;  // 18: true when written
    virtual bool Slot19(int) = 0;
    virtual bool Slot20() = 0;
    virtual void Slot21(int) = 0;
};

class InternalsPluginV3 : public InternalsPluginV2 {
public:
    virtual void Slot22() = 0;
    virtual void Slot23() = 0;
    virtual void Slot24(int) = 0;
    virtual void Slot25(int) = 0;
    virtual void UpdateVehicles(const VehicleListInfo* list) = 0;  // 26
    virtual bool Slot27(int) = 0;
};
