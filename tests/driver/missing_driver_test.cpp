#include <gtest/gtest.h>

#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

// This program loads no simulated driver, and none lies where the system would look for it.
TEST(MissingDriver, LeavesNoThreadAndNothingToUnload) {
    VelmoraPlugin plugin;
    plugin.BindDriverAndStartPolling();
    EXPECT_EQ(plugin.driverHandle, nullptr);
    EXPECT_EQ(plugin.workerThread, nullptr);
    plugin.StopPollingAndUnloadDriver();
    EXPECT_EQ(plugin.workerThread, nullptr);
}

}  // namespace
}  // namespace velmora
