// The polling thread against the simulated driver and its variants that each lack one entry point.
// A process binds the first variant it loads under the driver's name for good, so ctest runs this
// program once per variant, each run filtered to that variant's tests (see CMakeLists.txt).

#include <thread>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "simulated_driver.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"
#include "tracking/tracker_poller.h"
#include "wait_until.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

// A poller feeding a shared head from one variant of the simulated driver, as Start and Stop use
// it. The variant is loaded once per process and reset before each test.
class PollingTest : public testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    explicit PollingTest(const char* variant) {
        static const std::unique_ptr<SimulatedDriver> loaded =
            SimulatedDriver::Preload(variant, error_);  // one variant per process
        driver = loaded.get();
    }
    void SetUp() override {
        ASSERT_NE(driver, nullptr) << error_;
        driver->Reset();
    }
    void TearDown() override {
        if (poller) {
            poller->Stop();
        }
        driver->ReleaseHang();
        std::filesystem::remove(settingsPath_);
    }

    // Writes the settings file and reads it, as Start does before it polls.
    void UseSettings(const std::string& text) {
        std::ofstream(settingsPath_, std::ios::binary) << text;
        head.LoadSettings();
    }
    void StartPolling() { poller->Start(); }
    Clock::duration StopPolling() {
        const auto start = Clock::now();
        poller->Stop();
        return Clock::now() - start;
    }
    Reading Outputs() const {
        Reading outputs;
        head.Outputs(outputs);
        return outputs;
    }
    SimTrackerCounters Counters() const { return driver->Counters(); }

    // Unique per process: test runs of other checkouts share the temporary folder.
    const std::filesystem::path settingsPath_ =
        std::filesystem::temp_directory_path() /
        ("velmora-polling-" + std::to_string(std::random_device{}()) + ".cfg");
    std::string error_;
    Switches switches;
    SharedHead head{switches, settingsPath_.string()};
    std::unique_ptr<TrackerPoller> poller =
        std::make_unique<TrackerPoller>(head, switches, HostDriverFileName());
    SimulatedDriver* driver = nullptr;
};

// Well under the second after which Stop ends a thread by force, and well over one polling cycle
// (100 ms at most, plus one driver call) on a loaded machine.
constexpr auto kEndedByItself = 900ms;

struct Polling : PollingTest {
    Polling() : PollingTest("driver") {}
};

TEST_F(Polling, FeedsTheThreeAxesOfOneReadingIntoTheirOwnFiltersUnderOneHold) {
    driver->SetPose(1000, -2000, 3000);
    StartPolling();
    int mismatches = 0;
    while (Counters().reads < 60) {  // the shortest ring (200) is not yet full
        const HeadFilters filters = head.Filters();
        const auto yaw = filters.Yaw().Inspect().FrameCount;
        mismatches += filters.Pitch().Inspect().FrameCount != yaw ||
                      filters.Roll().Inspect().FrameCount != yaw;
    }
    StopPolling();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Outputs(), (Reading{1000, -2000, 3000}));
}

TEST_F(Polling, RetriesATrackerThatNeverOpensEveryTenthOfASecondAndStopsWithinOneCycle) {
    driver->SetOpenFailures(-1);
    const auto start = Clock::now();
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().opens >= 4; }));
    EXPECT_LE(Counters().opens, (Clock::now() - start) / 100ms + 1);
    EXPECT_LT(StopPolling(), kEndedByItself);
    EXPECT_EQ(driver->CallLog().find_first_not_of('o'), std::string::npos);
}

TEST_F(Polling, ReopensAfterAFailedReadWithoutClosingAndThenReadsAtTheFastPaceAgain) {
    driver->FailNextReads(1);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 3; }));
    const auto recovered = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 23; }));
    EXPECT_LT(Clock::now() - recovered, 1500ms);  // twenty reads 100 ms apart would take 2 s
    EXPECT_LT(StopPolling(), kEndedByItself);
    const std::string log = driver->CallLog();
    EXPECT_EQ(log.substr(0, 5), "OrORR");
    EXPECT_EQ(log.find('C'), log.size() - 1) << log;
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

// Stops landing before the thread has begun, in its first sleep, inside a driver call and between
// reads, after a second Start that must stop the first thread: ASan finds what leaks or outlives
// its owner, TSan what races.
TEST_F(Polling, EndsByItselfAndClosesWhatItOpenedInEveryOneOfManyStartStopCycles) {
    const std::chrono::microseconds pauses[] = {0us, 0us, 300us, 2ms, 11ms, 25ms};
    for (int cycle = 0; cycle < 300; ++cycle) {
        StartPolling();
        std::this_thread::sleep_for(pauses[cycle % std::size(pauses)]);
        if (cycle % 50 == 0) {
            ASSERT_TRUE(WaitUntil([&] { return Counters().isOpen != 0; }));
            StartPolling();  // on a thread that has the tracker open
        }
        ASSERT_LT(StopPolling(), kEndedByItself) << "cycle " << cycle;
    }
    const auto atStop = Counters();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Counters().reads, atStop.reads) << "a thread polls on after Stop";
    EXPECT_GT(atStop.reads, 0);
    EXPECT_EQ(atStop.opens, atStop.closes);
    EXPECT_EQ(atStop.callsInProgress, 0);
}

// A read that never returns by itself: the thread is ended by force (Win32) or given up (POSIX).
// On Win32 the driver's counters go on counting the cut-short call as in progress, so these runs
// are a process of their own.
struct HungRead : Polling {};

TEST_F(HungRead, IsEndedByForceAfterAboutASecondAndTheDriverIsNeverCalledAgain) {
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 3; }));
    driver->HangNextRead();
    ASSERT_TRUE(WaitUntil([&] { return Counters().hungReads > 0; }));
    const auto stopTime = StopPolling();
    EXPECT_GE(stopTime, 950ms);  // only after 100 waits of at least 10 ms
    EXPECT_LT(stopTime, 3s);
    const auto atStop = Counters();
    poller.reset();  // the host may delete the object as soon as Stop has returned
    driver->ReleaseHang();
    // Where the thread was let go rather than ended, its read returns now; it must go no further.
    WaitUntil([&] { return Counters().callsInProgress == 0; }, 2s);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Counters().opens, atStop.opens);
    EXPECT_EQ(Counters().reads, atStop.reads);
    EXPECT_EQ(Counters().closes, 0) << "a thread ended by force does not close the tracker";
}

// A library without an open or a read would be retried for ever: it counts as no driver.
struct WithoutOpen : PollingTest {
    WithoutOpen() : PollingTest("driver-no-open") {}
};
struct WithoutRead : PollingTest {
    WithoutRead() : PollingTest("driver-no-read") {}
};
void ExpectTakenForNoDriver(TrackerPoller& poller, const SimulatedDriver& driver) {
    poller.Start();
    EXPECT_FALSE(poller.Polling());
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(driver.CallLog(), "");
}
TEST_F(WithoutOpen, CountsAsNoDriver) {
    ExpectTakenForNoDriver(*poller, *driver);
}
TEST_F(WithoutRead, CountsAsNoDriver) {
    ExpectTakenForNoDriver(*poller, *driver);
}

struct WithoutClose : PollingTest {
    WithoutClose() : PollingTest("driver-no-close") {}
};
TEST_F(WithoutClose, ReadsAndStopsByItselfLeavingTheTrackerOpen) {
    driver->SetPose(100, 200, 300);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 5; }));
    EXPECT_LT(StopPolling(), kEndedByItself);
    EXPECT_EQ(Counters().isOpen, 1);
    EXPECT_EQ(Outputs().yaw, 100);
}

struct WithoutZero : PollingTest {
    WithoutZero() : PollingTest("driver-no-zero") {}
};
TEST_F(WithoutZero, ZeroingDoesNothingAndPollingGoesOnAsUsual) {
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 5; }));
    poller->ZeroSet();
    EXPECT_LT(StopPolling(), kEndedByItself);
    EXPECT_EQ(Counters().zeroSets, 0);
    EXPECT_EQ(Counters().closes, 1);
}

// No variant is loaded and none lies where the system would look for one.
TEST(MissingDriver, LeavesNoThreadAndNothingToUnload) {
    Switches switches;
    SharedHead head(switches, "");
    TrackerPoller poller(head, switches, HostDriverFileName());
    poller.Start();
    EXPECT_FALSE(poller.Polling());
    poller.ZeroSet();
    poller.Stop();
}

}  // namespace
}  // namespace velmora::test
