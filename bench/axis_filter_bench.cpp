// AddSample runs about 300 times a second under the lock that the host's camera query waits for;
// its cost grows with the window, largest while the head is still.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tracking/axis_filter.h"

namespace {

using velmora::AxisFilter;

// A still head turned 30 degrees, with the tracker's one-unit jitter: the window stays at the
// whole ring.
void BM_AddSampleStillHead(benchmark::State& state) {
    AxisFilter filter(5, 250, 80.0f, 0);
    constexpr std::int32_t kTurned = 65536 * 30 / 360;
    for (int i = 0; i < 1000; ++i) {
        filter.AddSample(kTurned + (i & 1));
    }
    std::int32_t i = 0;
    for (auto _ : state) {
        filter.AddSample(kTurned + (++i & 1));
        benchmark::DoNotOptimize(filter.Output());
    }
    state.counters["window"] = filter.Inspect().Window;
}
BENCHMARK(BM_AddSampleStillHead);

// A head swinging 60 degrees to each side about once a second, sampled every 10 ms, with pauses
// at the turning points: the window shrinks and grows all the time.
void BM_AddSampleMovingHead(benchmark::State& state) {
    std::vector<std::int32_t> readings;
    for (int i = 0; i < 1000; ++i) {
        const double swing = std::sin(2.0 * 3.14159265358979 * i / 100.0);
        const double held = std::fabs(swing) > 0.9 ? (swing > 0 ? 0.9 : -0.9) : swing;
        readings.push_back(static_cast<std::int32_t>(held * 65536.0 / 6.0) + (i % 3));
    }
    AxisFilter filter(5, 250, 80.0f, 0);
    std::size_t next = 0;
    std::int64_t windowSum = 0;
    for (auto _ : state) {
        filter.AddSample(readings[next]);
        benchmark::DoNotOptimize(filter.Output());
        windowSum += filter.Inspect().Window;
        next = next + 1 == readings.size() ? 0 : next + 1;
    }
    state.counters["mean window"] =
        static_cast<double>(windowSum) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_AddSampleMovingHead);

}  // namespace
