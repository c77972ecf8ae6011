#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora::testing {

// A private copy of the built plug-in library in a fresh directory, with its own Velmora.cfg,
// driven as the host drives it: by slot position only. Each copy is a separate load, so tests do
// not share a descriptor, a settings file or a polling thread.
class PluginUnderTest {
public:
    explicit PluginUnderTest(const std::string& config);
    ~PluginUnderTest();
    PluginUnderTest(const PluginUnderTest&) = delete;
    PluginUnderTest& operator=(const PluginUnderTest&) = delete;

    void WriteConfig(const std::string& config);
    std::filesystem::path ConfigPath() const { return directory_ / "Velmora.cfg"; }
    void RemoveConfig();

    void Start() { CallVoid(6); }
    void Stop() { CallVoid(7); }
    void Reset() { CallVoid(8); }
    void Enable() { CallVoid(16); }
    void Disable() { CallVoid(17); }
    void Release() { CallVoid(1); }
    // The value of a control, or NaN when it answered false (and then wrote nothing).
    float Query(const char* name);
    bool Answers(const char* name);
    // Reports a field of vehicles with the named one as the player's.
    void DriveVehicle(const std::string& name);

private:
    void CallVoid(int index);

    std::filesystem::path directory_;
    void* library_ = nullptr;
    void* object_ = nullptr;
};

}  // namespace velmora::testing
