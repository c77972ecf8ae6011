#include "polling_fixture.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

class WithoutRead : public PollingTest {
protected:
    WithoutRead() : PollingTest("driver-no-read") {}
};

// A library without IWRGetTracking counts as one whose every read fails: each open is followed
// by a failed read, the next open comes 100 ms later, and the tracker is never closed.
TEST_F(WithoutRead, OpensAboutEveryTenthOfASecondAndNeverCloses) {
    const auto start = Clock::now();
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().opens >= 3; }));
    const auto opens = Counters().opens;
    EXPECT_LE(opens, (Clock::now() - start) / 100ms + 1);
    EXPECT_LT(StopPolling(), EndedByItself);
    EXPECT_EQ(Counters().closes, 0);
    EXPECT_EQ(driver->CallLog().find_first_not_of('O'), std::string::npos);
}

}  // namespace
}  // namespace velmora::test
