// The polling thread against the simulated driver and its variants that each lack one entry point.
// A process binds the first variant it loads under the driver's name for good, so ctest runs this
// program once per variant, each run filtered to that variant's tests (see CMakeLists.txt).

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

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
#include "host_os.h"
}

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

// A poller feeding a shared head from one variant of the simulated driver, as Start and Stop use
// it. The variant is loaded once per process and reset before each test.
class PollingTest : public testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    explicit PollingTest(const char* variant)
        // Unique per process: test runs of other checkouts share the temporary folder.
        : settingsPath_(std::filesystem::temp_directory_path() /
                        ("velmora-polling-" + std::string(variant) + "-" +
                         std::to_string(std::random_device{}()) + ".cfg")),
          variant_(variant) {}

    void SetUp() override {
        static std::unique_ptr<SimulatedDriver> loaded;  // one variant per process
        std::string error;
        if (!loaded) {
            loaded = SimulatedDriver::Preload(variant_, error);
        }
        ASSERT_NE(loaded, nullptr) << error;
        driver = loaded.get();
        driver->Reset();
        driver->SetPose(0, 0, 0);
    }

    void TearDown() override {
        if (poller) {
            poller->Stop();
        }
        if (driver != nullptr) {
            driver->ReleaseHang();
        }
        std::error_code ignored;
        std::filesystem::remove(settingsPath_, ignored);
    }

    // Writes the settings file and reads it, as Start does before it polls.
    void UseSettings(const std::string& text) {
        std::ofstream(settingsPath_, std::ios::binary) << text;
        head.LoadSettings();
    }

    void StartPolling() { poller->Start(); }

    // Answers how long Stop took.
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

    // A library that cannot be opened or read would be retried for ever: no thread polls it, and
    // nothing in it is ever called.
    void ExpectTakenForNoDriver() {
        StartPolling();
        EXPECT_FALSE(poller->Polling());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(driver->CallLog(), "");
    }

private:
    const std::filesystem::path settingsPath_;  // before the head that reads it
    const std::string variant_;

protected:
    Switches switches;
    SharedHead head{switches, settingsPath_.string()};
    std::unique_ptr<TrackerPoller> poller =
        std::make_unique<TrackerPoller>(head, switches, HostDriverFileName());
    const SimulatedDriver* driver = nullptr;
};

// Well under the second after which Stop ends a thread by force, and well over one polling cycle
// (100 ms at most, plus one driver call) on a loaded machine.
constexpr auto EndedByItself = std::chrono::milliseconds(900);

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
    EXPECT_LT(StopPolling(), EndedByItself);
    EXPECT_EQ(driver->CallLog().find_first_not_of('o'), std::string::npos);
}

TEST_F(Polling, ReopensAfterAFailedReadWithoutClosingAndThenReadsAtTheFastPaceAgain) {
    driver->FailNextReads(1);
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 3; }));
    const auto recovered = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 23; }));
    EXPECT_LT(Clock::now() - recovered, 1500ms);  // twenty reads 100 ms apart would take 2 s
    EXPECT_LT(StopPolling(), EndedByItself);
    const std::string log = driver->CallLog();
    EXPECT_EQ(log.substr(0, 5), "OrORR");
    EXPECT_EQ(log.find('C'), log.size() - 1) << log;
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

TEST_F(Polling, StartedAgainWhilePollingLeavesOnlyOneThread) {
    StartPolling();
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 3; }));
    StopPolling();
    const int reads = Counters().reads;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Counters().reads, reads) << "a thread polls on after Stop";
    EXPECT_EQ(Counters().opens, Counters().closes);
}

// Stops landing before the thread has begun, in its first sleep, inside a driver call and between
// reads, many times over: ASan finds what leaks or outlives its owner, TSan what races.
TEST_F(Polling, EndsByItselfAndClosesWhatItOpenedInEveryOneOfManyStartStopCycles) {
    constexpr int kCycles = 400;
    const std::chrono::microseconds pauses[] = {0us, 0us, 300us, 2ms, 11ms, 25ms};
    std::vector<double> stops;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        StartPolling();
        std::this_thread::sleep_for(pauses[cycle % std::size(pauses)]);
        const auto stopTime = StopPolling();
        ASSERT_LT(stopTime, EndedByItself) << "cycle " << cycle;
        stops.push_back(std::chrono::duration<double, std::milli>(stopTime).count());
    }
    EXPECT_GT(Counters().reads, 0);
    EXPECT_EQ(Counters().opens, Counters().closes);
    EXPECT_EQ(Counters().callsInProgress, 0);
    std::sort(stops.begin(), stops.end());
    std::printf("Stop with a healthy tracker: median %.1f ms, worst %.1f ms\n", stops[kCycles / 2],
                stops.back());
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
TEST_F(WithoutOpen, CountsAsNoDriver) {
    ExpectTakenForNoDriver();
}
TEST_F(WithoutRead, CountsAsNoDriver) {
    ExpectTakenForNoDriver();
}

struct WithoutClose : PollingTest {
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

struct WithoutZero : PollingTest {
    WithoutZero() : PollingTest("driver-no-zero") {}
};
TEST_F(WithoutZero, ZeroingDoesNothingAndPollingGoesOnAsUsual) {
    StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return Counters().reads >= 5; }));
    poller->ZeroSet();
    EXPECT_LT(StopPolling(), EndedByItself);
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
