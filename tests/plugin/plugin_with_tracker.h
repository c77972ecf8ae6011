#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plugin_under_test.h"
#include "simulated_driver.h"
#include "wait_until.h"

namespace velmora::testing {

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
