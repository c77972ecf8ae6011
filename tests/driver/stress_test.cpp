#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

#include "polling_fixture.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

class StartStop : public PollingTest {
protected:
    StartStop() : PollingTest("driver") {}
};

// Stops that land before the thread has begun, in its first sleep, inside a driver call and
// between reads, many times over: ASan finds what leaks or outlives its owner, TSan what races.
TEST_F(StartStop, AThousandCyclesEachEndTheThreadByItselfAndCloseWhatTheyOpened) {
    constexpr int Cycles = 1000;
    const std::chrono::microseconds pauses[] = {0us, 0us, 300us, 2ms, 11ms, 25ms};
    std::vector<double> stopMilliseconds;
    stopMilliseconds.reserve(Cycles);
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        StartPolling();
        std::this_thread::sleep_for(pauses[cycle % std::size(pauses)]);
        const auto stopTime = StopPolling();
        ASSERT_LT(stopTime, EndedByItself) << "cycle " << cycle;
        stopMilliseconds.push_back(std::chrono::duration<double, std::milli>(stopTime).count());
    }
    const auto counters = Counters();
    EXPECT_GT(counters.reads, 0);
    EXPECT_EQ(counters.opens, counters.closes);
    EXPECT_EQ(counters.isOpen, 0);
    EXPECT_EQ(counters.callsInProgress, 0);

    std::sort(stopMilliseconds.begin(), stopMilliseconds.end());
    std::printf("Stop with a healthy tracker, %d stops: median %.1f ms, worst %.1f ms\n", Cycles,
                stopMilliseconds[Cycles / 2], stopMilliseconds.back());
}

}  // namespace
}  // namespace velmora::test
