#include <thread>

#include "polling_fixture.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

class WithoutOpen : public PollingTest {
protected:
    WithoutOpen() : PollingTest("driver-no-open") {}
};

// A library without IWROpenTracker counts as a tracker that never opens: the thread runs and
// retries, and nothing is read or closed.
TEST_F(WithoutOpen, PollsWithoutEverReadingOrClosingAndStopsWithinOneCycle) {
    StartPolling();
    ASSERT_NE(plugin->workerThread, nullptr);
    std::this_thread::sleep_for(350ms);
    EXPECT_TRUE(plugin->workerThread->Running());
    EXPECT_LT(StopPolling(), EndedByItself);
    const auto counters = Counters();
    EXPECT_EQ(counters.reads, 0);
    EXPECT_EQ(counters.closes, 0);
}

TEST_F(WithoutOpen, StillZeroesTheTracker) {
    auto bound = TrackerDriver::Load();
    ASSERT_NE(bound, nullptr);
    EXPECT_NE(bound->Open(), 0);
    bound->ZeroSet();
    EXPECT_EQ(driver->CallLog(), "Z");
}

}  // namespace
}  // namespace velmora::test
