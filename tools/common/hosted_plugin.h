#pragma once

namespace velmora::host {

// One plug-in object as the game holds it: an address whose first word is its table. Every
// operation is a call through a slot position; nothing here knows the plug-in's classes.
class HostedPlugin {
public:
    explicit HostedPlugin(void* object) : object_(object) {}

    void* ObjectInfo() const;
    void Start() const;
    void Stop() const;
    void Release() const;
    void Reset() const;
    void Enable() const;
    void Disable() const;
    bool QueryControl(const char* name, float* value) const;
    void UpdateVehicles(const void* list) const;
    // Slot 0 with flags 1: destroy and free. The object is gone afterwards.
    void Delete();

private:
    void* object_;
};

}  // namespace velmora::host
