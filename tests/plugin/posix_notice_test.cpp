// On POSIX the test-mode notice is a line on standard error; the Windows build shows a message
// box instead.

#include "plugin_with_tracker.h"

namespace velmora::testing {
namespace {

TEST_F(PluginWithTracker, TestModeAnnouncesEachVehicleChangeOnceWhetherOrNotEnabled) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n[General Filter]\nYaw MinFrames = 5\n");
    plugin.Start();
    plugin.Disable();  // the vehicle is followed whether or not controls are answered
    ::testing::internal::CaptureStderr();
    plugin.DriveVehicle("abc");
    plugin.DriveVehicle("abc");
    plugin.DriveVehicle("");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Velmora - TestMode: Current Vehicle: abc\n"
              "Velmora - TestMode: Current Vehicle: \n");
    plugin.Stop();
}

TEST_F(PluginWithTracker, ANewObjectsEmptyFirstVehicleNameIsNoChange) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n");
    plugin.Start();
    ::testing::internal::CaptureStderr();
    plugin.DriveVehicle("");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    plugin.Stop();
}

}  // namespace
}  // namespace velmora::testing
