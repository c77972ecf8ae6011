// What only the POSIX build lets a test observe: the test-mode notice is a line on standard error
// (a message box on Windows), and a settings file can be a pipe that holds a reload mid-read for
// as long as the test likes.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "plugin_under_test.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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

// From the next test-mode reload on, the settings are a pipe: the reload waits in its read until
// the test writes, as on a network share that dropped. Written while Stop waits, the reload
// applies and the thread ends by itself; never written, Stop gives the thread up, which must not
// apply what it reads later. Either way Stop leaves the controls silent, and the next session
// polls and stops as ever.
TEST_F(PluginWithTracker, AReloadHeldInItsReadNeitherHoldsUpStopNorOutlivesIt) {
    PluginUnderTest plugin("[Settings]\nTestMode = true\n");
    const std::string path = plugin.ConfigPath().string();
    for (const bool writtenInTime : {true, false}) {
        SCOPED_TRACE(writtenInTime ? "written while Stop waits" : "never written");
        plugin.Start();
        plugin.RemoveConfig();
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        int pipe = -1;  // a writer can open the pipe once a reload has it open for reading
        ASSERT_TRUE(test::WaitUntil(
            [&] { return (pipe = open(path.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));
        const auto send = [pipe] {
            const std::string text = "[Settings]\nUse Tracker = true\nTestMode = true\n";
            EXPECT_EQ(write(pipe, text.data(), text.size()), static_cast<ssize_t>(text.size()));
            close(pipe);
        };
        const auto start = Clock::now();
        std::thread host([&] { plugin.Stop(); });
        std::this_thread::sleep_for(200ms);  // Stop has begun to wait
        if (writtenInTime) {
            send();
        }
        host.join();
        EXPECT_LT(Clock::now() - start, 2s);
        if (!writtenInTime) {
            send();
            std::this_thread::sleep_for(100ms);
        }
        EXPECT_FALSE(plugin.Answers("Camera_MoveUp")) << "a reload's Use Tracker outlived Stop";
        plugin.RemoveConfig();
        plugin.WriteConfig("[Settings]\nTestMode = true\n");
    }
    plugin.Start();
    const int reads = driver->Counters().reads;
    EXPECT_TRUE(test::WaitUntil([&] { return driver->Counters().reads > reads + 5; }));
    EXPECT_TRUE(plugin.Answers("Camera_MoveUp"));
    const auto start = Clock::now();
    plugin.Stop();
    EXPECT_LT(Clock::now() - start, 900ms);
}

// Start reads the settings on the game's thread: a pipe that nobody writes, as a dropped network
// share, holds it a few seconds at most, with the settings as they stood; the next Reset that
// finds a file reads it.
TEST_F(PluginWithTracker, ASettingsReadThatNeverEndsHoldsStartUpAFewSecondsAtMost) {
    PluginUnderTest plugin("[Settings]\nUse Tracker = true\n");
    const std::string path = plugin.ConfigPath().string();
    plugin.RemoveConfig();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const auto start = Clock::now();
    plugin.Start();
    EXPECT_LT(Clock::now() - start, 4s);
    EXPECT_TRUE(plugin.Answers("Camera_MoveUp"));
    plugin.RemoveConfig();
    plugin.WriteConfig("[Settings]\nUse Tracker = false\n");
    plugin.Reset();
    EXPECT_FALSE(plugin.Answers("Camera_MoveUp")) << "Reset did not read the file";
    plugin.Stop();
}

}  // namespace
}  // namespace velmora::testing
