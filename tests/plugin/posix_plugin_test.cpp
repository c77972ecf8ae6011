// What only the POSIX build lets a test observe: the test-mode notice is a line on standard error
// (a message box on Windows), and a settings file can be a pipe that holds a reload mid-read.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "plugin_under_test.h"

namespace velmora::testing {
namespace {

// A new object's vehicle name is empty, so a first empty name is no change. The line keeps the
// name as it is, with no note on its trailing space (the Windows box adds that).
TEST_F(PluginWithTracker, TestModeAnnouncesEachVehicleChangeOnceWhetherOrNotEnabled) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n[General Filter]\nYaw MinFrames = 5\n");
    plugin.Start();
    plugin.Disable();  // the vehicle is followed whether or not controls are answered
    ::testing::internal::CaptureStderr();
    for (const char* vehicle : {"", "abc ", "abc ", ""}) {
        plugin.DriveVehicle(vehicle);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Velmora - TestMode: Current Vehicle: abc \n"
              "Velmora - TestMode: Current Vehicle: \n");
    plugin.Stop();
}

TEST_F(PluginWithTracker, AReloadUnderWayAtStopCannotLeaveTheControlsAnswering) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n");
    plugin.Start();
    // From here the settings are a pipe: the next test-mode reload waits in its read until the
    // test writes. A writer can open the pipe once that reload has it open for reading.
    plugin.RemoveConfig();
    const std::string path = plugin.ConfigPath().string();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    int pipe = -1;
    ASSERT_TRUE(
        test::WaitUntil([&] { return (pipe = open(path.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));

    std::thread host([&] { plugin.Stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // Stop has begun to wait
    const std::string text = "[Settings]\nUse Tracker = true\nTestMode = true\n";
    ASSERT_EQ(write(pipe, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(pipe);
    host.join();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp")) << "the reload's Use Tracker outlived Stop";
}

}  // namespace
}  // namespace velmora::testing
