// On POSIX the test-mode notice is a line on standard error; the Windows build shows a message
// box instead.

#include "plugin_with_tracker.h"

namespace velmora::testing {
namespace {

TEST_F(PluginWithTracker, TestModeAnnouncesTheVehicleOnStandardError) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n");
    plugin.Start();
    ::testing::internal::CaptureStderr();
    plugin.DriveVehicle("abc");
    plugin.DriveVehicle("abc");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Velmora - TestMode: Current Vehicle: abc\n");
    plugin.Stop();
}

}  // namespace
}  // namespace velmora::testing
