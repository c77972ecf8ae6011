#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/plugin_library.h"
#include "common/vehicle_records.h"
#include "simulated_driver.h"
#include "wait_until.h"

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

    void Start() { object_->Start(); }
    void Stop() { object_->Stop(); }
    void Reset() { object_->Reset(); }
    void Enable() { object_->Enable(); }
    void Disable() { object_->Disable(); }
    void Release() { object_->Release(); }
    // The value of a control, or NaN when it answered false (and then wrote nothing).
    float Query(const char* name);
    bool Answers(const char* name);
    // Reports a field of vehicles with the named one as the player's.
    void DriveVehicle(const std::string& name);

private:
    std::filesystem::path directory_;
    host::PluginLibrary library_;
    std::unique_ptr<host::HostedPlugin> object_;
    host::VehicleRecords records_;
};

// A plug-in under test with the simulated tracker preloaded once per program and reset before
// every test.
class PluginWithTracker : public ::testing::Test {
protected:
    void SetUp() override {
        static std::unique_ptr<test::SimulatedDriver> loaded;
        if (!loaded) {
            std::string error;
            loaded = test::SimulatedDriver::Preload("driver", error);
            ASSERT_NE(loaded, nullptr) << error;
        }
        driver = loaded.get();
        driver->Reset();
        driver->SetPose(0, 0, 0);
    }

    void TearDown() override { driver->ReleaseHang(); }

    // Queries "Camera_YawLeft" (which refreshes the pose) until it answers `value`.
    bool SettlesAt(PluginUnderTest& plugin, const char* name, float value) {
        return test::WaitUntil([&] {
            plugin.Query("Camera_YawLeft");
            return plugin.Query(name) == value;
        });
    }

    test::SimulatedDriver* driver = nullptr;
};

}  // namespace velmora::testing
