#include "polling_fixture.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

class Polling : public PollingTest {
protected:
    Polling() : PollingTest("driver") {}
};

TEST_F(Polling, RetriesATrackerThatNeverOpensEveryTenthOfASecondAndStopsWithinOneCycle) {
    driver->SetOpenFailures(-1);
    const auto start = Clock::now();
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().opens >= 4; }));
    const auto counters = Counters();
    const auto elapsed = Clock::now() - start;
    // Each retry follows a sleep of at least 100 ms.
    EXPECT_LE(counters.opens, elapsed / 100ms + 1);

    EXPECT_LT(StopPolling(), EndedByItself);
    const auto after = Counters();
    EXPECT_EQ(after.reads, 0);
    EXPECT_EQ(after.closes, 0);
    EXPECT_EQ(after.callsInProgress, 0);
}

TEST_F(Polling, ReopensAfterAFailedReadWithoutClosingAndThenReadsAtTheFastPaceAgain) {
    driver->FailNextReads(1);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 3; }));
    const auto recovered = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 23; }));
    // Twenty reads 100 ms apart would take two seconds.
    EXPECT_LT(Clock::now() - recovered, 1500ms);

    EXPECT_LT(StopPolling(), EndedByItself);
    const std::string log = driver->CallLog();
    EXPECT_EQ(log.substr(0, 5), "OrORR");
    EXPECT_EQ(log.find('C'), log.size() - 1) << log;
}

TEST_F(Polling, FeedsYawPitchAndRollIntoTheirOwnFilters) {
    driver->SetPose(1000, -2000, 3000);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 10; }));
    StopPolling();
    EXPECT_EQ(Outputs(), (Reading{1000, -2000, 3000}));
}

TEST_F(Polling, FeedsTheThreeValuesOfOneReadingUnderOneHoldOfTheLock) {
    StartPolling();
    // The pitch ring is the shortest; until it is full every filter counts every sample.
    const int readsToWatch = 60;
    int mismatches = 0;
    while (Counters().reads < readsToWatch) {
        const HeadFilters filters = head.Filters();
        const auto yaw = filters.Yaw().Inspect().FrameCount;
        if (filters.Pitch().Inspect().FrameCount != yaw ||
            filters.Roll().Inspect().FrameCount != yaw) {
            ++mismatches;
        }
    }
    StopPolling();
    EXPECT_EQ(mismatches, 0);
}

TEST_F(Polling, StopsWithinOneCycleWhenAReadFailsJustBeforeTheStopWithoutClosing) {
    driver->SetReadFailEvery(1);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().failedReads >= 2; }));
    EXPECT_LT(StopPolling(), EndedByItself);
    EXPECT_EQ(Counters().closes, 0);
}

// A host's Disable lasts until a reload applies "Use Tracker = true" again.
TEST_F(Polling, InTestModeReloadsTheSettingsInItsFirstCycleAndThenOnceASecond) {
    UseSettings("[Settings]\nUse Tracker = true\nTestMode = true\n");
    switches.SetEnabled(false);
    driver->SetOpenFailures(-1);  // cycles 100 ms apart
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return switches.Enabled(); }));
    EXPECT_LE(Counters().opens, 1) << "the first reload comes before the second cycle's open";

    switches.SetEnabled(false);
    const auto disabled = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return switches.Enabled(); }));
    EXPECT_GE(Clock::now() - disabled, 900ms);
}

TEST_F(Polling, BindsAllFourEntryPointsOfTheDriver) {
    auto bound = TrackerDriver::Load(HostDriverFileName());
    ASSERT_NE(bound, nullptr);
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;
    EXPECT_EQ(bound->Open(), 0);
    EXPECT_EQ(bound->GetTracking(&yaw, &pitch, &roll), 0);
    bound->ZeroSet();
    bound->Close();
    EXPECT_EQ(driver->CallLog(), "ORZC");
}

}  // namespace
}  // namespace velmora::test
