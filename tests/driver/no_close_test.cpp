#include "polling_fixture.h"

namespace velmora::test {
namespace {

class WithoutClose : public PollingTest {
protected:
    WithoutClose() : PollingTest("driver-no-close") {}
};

TEST_F(WithoutClose, ReadsAndStopsByItselfLeavingTheTrackerOpen) {
    driver->SetPose(100, 200, 300);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 5; }));
    EXPECT_LT(StopPolling(), EndedByItself);
    EXPECT_EQ(Counters().isOpen, 1);
    EXPECT_EQ(Outputs().yaw, 100);
}

}  // namespace
}  // namespace velmora::test
