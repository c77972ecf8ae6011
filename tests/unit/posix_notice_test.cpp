// On POSIX the test-mode notice is a line on standard error, which a test can read; the Windows
// build shows a message box instead.

#include <gtest/gtest.h>

#include <string>

#include "plugin/velmora_plugin.h"
#include "vehicle_list_builder.h"

namespace velmora {
namespace {

using test::VehicleList;

TEST(TestModeNotice, AnnouncesEachVehicleChangeOnce) {
    VelmoraPlugin plugin;
    plugin.config.LoadText("[General Filter]\nYaw MinFrames = 5\n");
    plugin.testMode = true;
    plugin.enabled = false;  // the vehicle is followed whether or not controls are answered
    ::testing::internal::CaptureStderr();
    plugin.UpdateVehicles(VehicleList({{"Pace Car", false}, {"abc", true}}).get());
    plugin.UpdateVehicles(VehicleList({{"abc", true}}).get());
    plugin.UpdateVehicles(VehicleList({{"", true}}).get());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Velmora - TestMode: Current Vehicle: abc\n"
              "Velmora - TestMode: Current Vehicle: \n");
    EXPECT_EQ(plugin.currentVehicle, "");
}

TEST(TestModeNotice, ANewObjectsEmptyFirstNameIsNoChange) {
    VelmoraPlugin plugin;
    plugin.testMode = true;
    ::testing::internal::CaptureStderr();
    plugin.UpdateVehicles(VehicleList({{"", true}}).get());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace velmora
