#pragma once

// A plug-in library and its objects, reached the way the game reaches them: by export name and
// table position only, since the game has no header of ours.

#include <cstdint>
#include <string>

namespace velmora::host {

// What the library says about itself through its exports and its descriptor.
struct PluginIdentity {
    std::string name;
    std::int32_t version = 0;
    std::int32_t objectCount = 0;
    std::string shortName;
    std::string longName;
    std::string subtypeName;
    std::int32_t typeCode = 0;
    std::int32_t interfaceVersion = 0;
};

// A plug-in library loaded by path and opened the way the game opens it: the four exports, then
// the descriptor of object 0. Unloaded when this object goes; every object made through it must
// have been deleted before.
class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // False with a message when the file cannot be loaded, lacks an export or offers no object.
    bool Open(const std::string& path, std::string& error);
    const PluginIdentity& Identity() const { return identity_; }
    void* Descriptor() const { return descriptor_; }
    // A new plug-in object through descriptor slot 7; null when the plug-in made none.
    void* CreateInstance() const;
    // Unloads the library (Windows keeps a loaded file from being removed).
    void Close();

private:
    void* library_ = nullptr;
    void* descriptor_ = nullptr;
    PluginIdentity identity_;
};

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
