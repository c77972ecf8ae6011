#include "polling_fixture.h"

namespace velmora::test {
namespace {

class WithoutZero : public PollingTest {
protected:
    WithoutZero() : PollingTest("driver-no-zero") {}
};

TEST_F(WithoutZero, ZeroingDoesNothingAndPollingGoesOnAsUsual) {
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 5; }));
    poller->ZeroSet();
    EXPECT_LT(StopPolling(), EndedByItself);
    const auto counters = Counters();
    EXPECT_EQ(counters.zeroSets, 0);
    EXPECT_EQ(counters.closes, 1);
}

}  // namespace
}  // namespace velmora::test
