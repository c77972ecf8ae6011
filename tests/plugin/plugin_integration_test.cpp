// The whole plug-in as the game sees it: a private copy of the library driven by slot position,
// the simulated tracker preloaded under the driver's name, a Velmora.cfg beside the copy.

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <string>
#include <thread>

#include "controls/control_names.h"
#include "plugin_under_test.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using test::WaitUntil;

constexpr char kExampleConfig[] =
    "[Settings]\nUse Tracker = true\nTestMode = false\n"
    "[General Filter]\nYaw MinFrames = 5\nYaw MaxFrames = 250\n"
    "[Example Car]\nCopy From = General Filter\nYaw MaxFrames = 120\n";

// 4.2 as a float, widened, times the pose of a head turned a quarter turn: 2.0999999046325684.
const float kQuarterTurn = std::bit_cast<float>(0x40066666u);

TEST_F(PluginWithTracker, AStillHeadSettlesOnTheExactValuesOnEveryAxisWithItsSign) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(16384, -8192, 16384);  // left, down, tilted right
    plugin.Start();
    EXPECT_TRUE(SettlesAt(plugin, "Camera_YawLeft", kQuarterTurn));
    EXPECT_EQ(plugin.Query("Camera_PitchDown"), 1.875f);
    EXPECT_EQ(plugin.Query("Camera_RollRight"), 2.0f);
    for (const char* silent : {"Camera_YawRight", "Camera_PitchUp", "Camera_RollLeft"}) {
        EXPECT_FALSE(plugin.Answers(silent)) << silent;
    }
    driver->SetPose(-16384, 0, 0);
    EXPECT_TRUE(SettlesAt(plugin, "Camera_YawRight", kQuarterTurn));
    plugin.Stop();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp"));
    plugin.Enable();  // the filters frozen at their last samples
    EXPECT_EQ(plugin.Query("Camera_YawRight"), kQuarterTurn);
}

TEST_F(PluginWithTracker, ResetRereadsTheFileAndRecentresTheTracker) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(16384, 0, 0);
    plugin.Start();
    ASSERT_TRUE(SettlesAt(plugin, "Camera_YawLeft", kQuarterTurn));
    plugin.WriteConfig("[General Filter]\nYaw Left Enabled = false\n");
    EXPECT_TRUE(plugin.Answers("Camera_YawLeft")) << "read the file outside Start or Reset";
    plugin.Reset();
    EXPECT_FALSE(plugin.Answers("Camera_YawLeft"));
    EXPECT_EQ(driver->Counters().zeroSets, 1);
    plugin.Stop();
    plugin.Reset();  // after Stop: re-reads, calls nothing in the unloaded driver
    EXPECT_EQ(driver->Counters().zeroSets, 1);
}

TEST_F(PluginWithTracker, DeletingARunningObjectEndsItsThread) {
    {
        PluginUnderTest plugin(kExampleConfig);
        plugin.Start();
        ASSERT_TRUE(WaitUntil([&] { return driver->Counters().reads > 0; }));
    }
    const int reads = driver->Counters().reads;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(driver->Counters().reads, reads);
}

// The host's thread queries every control and switches vehicles while the polling thread feeds
// readings and reloads the file in test mode, across restarts. Meant for ThreadSanitizer.
TEST_F(PluginWithTracker, QueriesVehicleChangesAndReloadsRunSideBySide) {
    PluginUnderTest plugin(
        "[Settings]\nTestMode = true\n[General Filter]\nYaw MaxFrames = 250\n"
        "[Car A]\nYaw MaxFrames = 120\nRoll Left Enabled = false\n"
        "[Car B]\nCopy From = General Filter\nPitch MaxFrames = 50\n");
    ::testing::internal::CaptureStderr();
    driver->SetReadFailEvery(17);
    int answered = 0;
    for (int cycle = 0; cycle < 3000; ++cycle) {
        if (cycle % 1000 == 0) {
            plugin.Start();
        }
        driver->SetPose((cycle % 64 - 32) * 500, (cycle % 16 - 8) * 300, (cycle % 8 - 4) * 900);
        for (const char* name : kControlNames) {
            answered += plugin.Answers(name) ? 1 : 0;
        }
        if (cycle % 50 == 0) {
            plugin.DriveVehicle(cycle % 100 == 0 ? "Car A" : "Car B");
        }
        if (cycle % 700 == 0) {
            plugin.Reset();
        }
        if (cycle % 1000 == 999) {
            plugin.Stop();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ::testing::internal::GetCapturedStderr();
    EXPECT_GT(answered, 3000);  // at least the eye height in every cycle
}

}  // namespace
}  // namespace velmora::testing
