// The whole plug-in as the game sees it: a private copy of the library driven by slot position,
// the simulated tracker preloaded under the driver's name, a Velmora.cfg beside the copy.

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/control_names.h"
#include "plugin_with_tracker.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using test::WaitUntil;

constexpr char kExampleConfig[] =
    "[Settings]\nUse Tracker = true\nTestMode = false\nUse Filtering = true\n"
    "SD Skipfactor = 2.5\n"
    "[General Filter]\nYaw MinFrames = 5\nYaw MaxFrames = 250\nYaw DecreaseFrame = 80\n"
    "Pitch MinFrames = 5\nPitch MaxFrames = 200\nRoll DecreaseFrame = 90\n"
    "[Example Car]\nCopy From = General Filter\nYaw MaxFrames = 120\n"
    "Roll Left Enabled = false\nRoll Right Enabled = false\n"
    "[Blind Car]\nYaw Left Enabled = false\n";

// 4.2 as a float, widened, times the pose of a head turned a quarter turn to the left.
const float kQuarterTurnLeft = std::bit_cast<float>(0x40066666u);  // 2.0999999046325684

TEST_F(PluginWithTracker, AStillHeadTurnedLeftSettlesOnTheExactYawValue) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(16384, 0, 0);
    plugin.Start();
    EXPECT_TRUE(SettlesAt(plugin, "Camera_YawLeft", kQuarterTurnLeft));
    EXPECT_FALSE(plugin.Answers("Camera_YawRight"));
    EXPECT_EQ(plugin.Query("Camera_MoveUp"), 0.5f);
    plugin.Stop();
}

TEST_F(PluginWithTracker, EveryAxisFollowsTheHeadWithItsSign) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(-8192, -8192, 16384);  // right, down, tilted right
    plugin.Start();
    EXPECT_TRUE(SettlesAt(plugin, "Camera_PitchDown", 1.875f));
    EXPECT_FALSE(plugin.Answers("Camera_YawLeft"));
    EXPECT_GT(plugin.Query("Camera_YawRight"), 0.0f);
    EXPECT_EQ(plugin.Query("Camera_RollRight"), 2.0f);
    EXPECT_NEAR(plugin.Query("Camera_MoveRight"), 2.351141f, 1e-6f);
    EXPECT_NEAR(plugin.Query("Camera_MoveUp"), 1.118034f, 1e-6f);
    EXPECT_FALSE(plugin.Answers("Camera_RollLeft"));
    plugin.Stop();
}

TEST_F(PluginWithTracker, AVehicleChangeSwitchesToItsProfile) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(16384, 0, 16384);
    plugin.Start();
    ASSERT_TRUE(SettlesAt(plugin, "Camera_YawLeft", kQuarterTurnLeft));
    EXPECT_TRUE(plugin.Answers("Camera_RollRight"));

    plugin.DriveVehicle("Example Car");  // no roll for this car
    EXPECT_FALSE(plugin.Answers("Camera_RollRight"));
    EXPECT_EQ(plugin.Query("Camera_MoveUp"), 0.5f);
    plugin.DriveVehicle("Blind Car");  // "General Filter" again, then no yaw to the left
    EXPECT_FALSE(plugin.Answers("Camera_YawLeft"));
    plugin.Stop();
}

TEST_F(PluginWithTracker, WithoutUseTrackerNothingAnswersUntilEnabled) {
    PluginUnderTest plugin("[Settings]\nUse Tracker = false\n");
    plugin.Start();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp"));
    plugin.Enable();
    EXPECT_EQ(plugin.Query("Camera_MoveUp"), 0.5f);
    plugin.Disable();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp"));
    plugin.Stop();
}

TEST_F(PluginWithTracker, ARenamedLibraryReadsTheSettingsBesideItself) {
    PluginUnderTest plugin("[Settings]\nUse Tracker = false\n",
                           std::string("Renamed-") + HostPluginFileName());
    plugin.Start();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp"));
    plugin.Stop();
}

TEST_F(PluginWithTracker, ResetRereadsTheFileAndRecentresTheTracker) {
    PluginUnderTest plugin(kExampleConfig);
    driver->SetPose(16384, 0, 0);
    plugin.Start();
    ASSERT_TRUE(SettlesAt(plugin, "Camera_YawLeft", kQuarterTurnLeft));

    plugin.WriteConfig("[General Filter]\nYaw Left Enabled = false\n");
    EXPECT_TRUE(plugin.Answers("Camera_YawLeft")) << "read the file outside Start or Reset";
    plugin.Reset();
    EXPECT_FALSE(plugin.Answers("Camera_YawLeft"));
    EXPECT_EQ(driver->Counters().zeroSets, 1);

    plugin.Stop();
    plugin.Reset();  // after Stop: re-reads, calls nothing in the unloaded driver
    EXPECT_EQ(driver->Counters().zeroSets, 1);
}

TEST_F(PluginWithTracker, TestModeReloadsKeepAStillHeadWhereItIs) {
    // Every reload grows the yaw ring to 250 ("General Filter") and shrinks it to 120 (the car):
    // the camera must not move.
    std::string config = kExampleConfig;
    config.replace(config.find("TestMode = false"), 16, "TestMode = true");
    PluginUnderTest plugin(config);
    ::testing::internal::CaptureStderr();
    plugin.DriveVehicle("Example Car");
    driver->SetPose(5461, 0, 0);  // 30 degrees to the left
    plugin.Start();
    const float pose = -static_cast<float>(5461 / 32768.0);
    const float settled = static_cast<float>(pose * -static_cast<double>(4.2f));
    ASSERT_TRUE(SettlesAt(plugin, "Camera_YawLeft", settled));
    const auto end = std::chrono::steady_clock::now() + 3500ms;  // three reloads or more
    while (std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(plugin.Query("Camera_YawLeft"), settled);
        std::this_thread::sleep_for(5ms);
    }
    plugin.Stop();
    ::testing::internal::GetCapturedStderr();
}

TEST_F(PluginWithTracker, StopReturnsWithinAboutASecondWhenTheDriverHangs) {
    PluginUnderTest plugin(kExampleConfig);
    plugin.Start();
    ASSERT_TRUE(WaitUntil([&] { return driver->Counters().reads > 0; }));
    driver->HangNextRead();
    ASSERT_TRUE(WaitUntil([&] { return driver->Counters().hungReads == 1; }));
    const auto start = std::chrono::steady_clock::now();
    plugin.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp"));
    const int reads = driver->Counters().reads;
    driver->ReleaseHang();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(driver->Counters().reads, reads) << "the abandoned thread went on polling";
    EXPECT_EQ(driver->Counters().closes, 0);
}

TEST_F(PluginWithTracker, DeletingARunningObjectEndsItsThread) {
    // A thread ended by force in an earlier test never left its call: count from here.
    const int inProgress = driver->Counters().callsInProgress;
    {
        PluginUnderTest plugin(kExampleConfig);
        plugin.Start();
        ASSERT_TRUE(WaitUntil([&] { return driver->Counters().reads > 0; }));
    }
    const auto counters = driver->Counters();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(driver->Counters().reads, counters.reads);
    EXPECT_EQ(counters.callsInProgress, inProgress);
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
    for (int cycle = 0; cycle < 4000; ++cycle) {
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
    EXPECT_GT(answered, 4000);  // at least the eye height in every cycle
}

}  // namespace
}  // namespace velmora::testing
