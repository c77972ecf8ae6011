#include <gtest/gtest.h>

#include "tracking/tracker_poller.h"

extern "C" {
#include "host_os.h"
}

namespace velmora {
namespace {

// This program loads no simulated driver, and none lies where the system would look for it.
TEST(MissingDriver, LeavesNoThreadAndNothingToUnload) {
    Switches switches;
    SharedHead head(switches, "");
    TrackerPoller poller(head, switches, HostDriverFileName());
    poller.Start();
    EXPECT_FALSE(poller.Polling());
    poller.ZeroSet();
    poller.Stop();
    EXPECT_FALSE(poller.Polling());
}

}  // namespace
}  // namespace velmora
