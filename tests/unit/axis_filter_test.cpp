#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "tracking/axis_filter.h"

namespace velmora {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kThirtyDegrees = 65536 * 30 / 360;

AxisFilter YawFilter() {
    return AxisFilter(5, 250, 80.0f, 0);
}

void Feed(AxisFilter& filter, std::vector<std::int32_t> readings) {
    for (const std::int32_t raw : readings) {
        filter.AddSample(raw);
    }
}

void FeedSame(AxisFilter& filter, std::int32_t raw, int count) {
    for (int i = 0; i < count; ++i) {
        filter.AddSample(raw);
    }
}

// The ring in storage order.
std::vector<std::int32_t> Ring(const AxisFilter& filter) {
    const auto frames = filter.Inspect().Frames;
    return {frames.begin(), frames.end()};
}

// The ring as the filter's walk back from the newest sample sees it.
std::vector<std::int32_t> NewestFirst(const AxisFilter& filter) {
    const auto view = filter.Inspect();
    const auto length = static_cast<std::int32_t>(view.Frames.size());
    std::vector<std::int32_t> samples;
    for (std::int32_t i = 1; i <= length; ++i) {
        samples.push_back(view.Frames[(view.WriteIndex - i + length) % length]);
    }
    return samples;
}

template <class Value>
void Set(AxisFilter& filter, Value FilterParameters::*parameter, Value value) {
    FilterParameters parameters = filter.Parameters();
    parameters.*parameter = value;
    filter.SetParameters(parameters);
}

TEST(AxisFilter, FollowsTheWorkedExampleStepByStep) {
    AxisFilter filter = YawFilter();
    FeedSame(filter, 0, 8);
    EXPECT_EQ(filter.Inspect().Window, 8);
    filter.AddSample(100);  // shrinks the window by one; every zero lies within the threshold
    EXPECT_EQ(filter.Inspect().FrameCount, 9);
    EXPECT_EQ(filter.Inspect().Window, 8);
    EXPECT_EQ(filter.Output(), 12);
    filter.AddSample(0);  // now the 100 lies 89 from the mean, beyond the threshold of 78
    EXPECT_EQ(filter.Inspect().Window, 9);
    EXPECT_EQ(filter.Output(), 0);
}

TEST(AxisFilter, UnwrapsAcrossTheEndsOfTheRangeAndSaturatesBeyondInt32) {
    struct Case {
        std::int32_t prev, raw, stored;
    };
    const Case cases[] = {
        {32500, -32700, 32836},  {-32000, 32000, -33536},
        {100, -100, -100},       {16384, -16384, -16384},
        {-16384, 16384, 16384},  {-16384, 16385, -49151},
        {16384, -16385, 49151},  {100000, -31000, 100072},
        {0, -60000, -60000},     {-60000, 0, 0},
        {kMax, -1, kMax},        {kMax, kMin, 0},
        {1, kMin, kMin + 65536}, {-2147450000, 1, -2147483647},
        {kMin, 1, kMin},  // 1 - 65536 - 2^31 lies below the range: held at its end
        {kMin, kMax, -65537}};
    for (const Case& c : cases) {
        // A ring of one sample outputs each stored sample unchanged.
        AxisFilter filter(1, 1, 80.0f, 0);
        Feed(filter, {c.prev, c.raw});
        EXPECT_EQ(filter.Inspect().Frames[0], c.stored) << c.prev << " then " << c.raw;
        EXPECT_EQ(filter.Output(), c.stored) << c.prev << " then " << c.raw;
    }
}

TEST(AxisFilter, ShrinksTheWindowByDistanceFromTheLastOutput) {
    struct Case {
        float decreaseFrame;
        std::int32_t offsetFrame, raw, window;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {80.0f, 0, 79, 21},
        {80.0f, 0, 159, 20},
        {80.0f, 0, 160, 19},
        {80.0f, 2, 160, 21},
        {80.0f, 0, kMax, 1},
        {80.0f, kMin, 0, 1},
        // Below 1.0, zero and NaN act as 1.0, the floor that the settings enforce.
        {1.0f, 0, 5, 16},
        {0.5f, 0, 5, 16},
        {0.0f, 0, 5, 16},
        {-3.0f, 0, 5, 16},
        {nan, 0, 5, 16}};
    for (const Case& c : cases) {
        AxisFilter filter(5, 250, c.decreaseFrame, c.offsetFrame);
        Set(filter, &FilterParameters::DecreaseFrame, 1e9f);  // let the window reach 20 first
        FeedSame(filter, 0, 20);
        Set(filter, &FilterParameters::DecreaseFrame, c.decreaseFrame);
        filter.AddSample(c.raw);
        EXPECT_EQ(filter.Inspect().Window, c.window)
            << c.decreaseFrame << ", " << c.offsetFrame << ", " << c.raw;
    }
}

TEST(AxisFilter, DividesTowardZeroAndLeavesOutTheSampleOffTheMean) {
    AxisFilter filter = YawFilter();
    Feed(filter, {-2, -1});  // mean -1, variance 0: the -2 is left out
    EXPECT_EQ(filter.Output(), -1);
}

TEST(AxisFilter, AveragesAStillHeadOverTheWholeRing) {
    AxisFilter filter = YawFilter();
    for (int i = 0; i < 500; ++i) {
        filter.AddSample(i % 2 == 0 ? 1000 : 1010);
    }
    EXPECT_EQ(filter.Inspect().Window, 250);
    EXPECT_EQ(filter.Output(), 1005);
}

TEST(AxisFilter, FollowsAStepWithoutOvershootAndThenSmoothsAgain) {
    AxisFilter filter = YawFilter();
    FeedSame(filter, 0, 250);
    std::int32_t last = 0;
    for (int i = 0; i < 10; ++i) {
        filter.AddSample(5000);
        EXPECT_GE(filter.Output(), last);
        EXPECT_LE(filter.Output(), 5000);
        last = filter.Output();
    }
    EXPECT_EQ(filter.Output(), 5000);
    const std::int32_t window = filter.Inspect().Window;
    filter.AddSample(5000);
    EXPECT_EQ(filter.Inspect().Window, window + 1);
}

TEST(AxisFilter, KeepsTheOutputContinuousAcrossTheEndsOfTheRange) {
    for (const int direction : {1, -1}) {
        AxisFilter filter = YawFilter();
        std::int32_t last = 32000 * direction;
        for (const std::int32_t raw : {32000, 32300, 32600, -32700, -32400, -32100}) {
            filter.AddSample(raw * direction);
            EXPECT_LT(std::abs(filter.Output() - last), 1000) << raw * direction;
            last = filter.Output();
        }
        EXPECT_GT(last * direction, 32768);
    }
}

TEST(AxisFilter, KeepsTheStatisticsExactForTheWidestSpreadOfSamples) {
    // Nine samples from INT32_MIN to INT32_MAX: the sum of squares leaves 64 bits. Exact, the
    // threshold (2.63e9) saturates to INT32_MAX, which keeps the INT32_MAX samples and drops the
    // INT32_MIN ones, 2^31 from the mean; a sum that wrapped would drop both.
    AxisFilter filter(9, 9, 1e10f, 0);
    Set(filter, &FilterParameters::SDSkipfactor, 1.5f);
    Feed(filter, {kMin, kMin, kMin, 0, kMax, kMax, kMax, 0, 0});
    EXPECT_EQ(filter.Output(), 1073741823);  // 3 x INT32_MAX over six counted samples
}

TEST(AxisFilter, SaturatesAHugeSkipFactorInsteadOfRejectingEverySample) {
    for (const float factor : {1e30f, std::numeric_limits<float>::infinity()}) {
        AxisFilter filter(5, 250, 80.0f, 0);
        Set(filter, &FilterParameters::SDSkipfactor, factor);
        Feed(filter, {0, 0, 0, 0, 100});
        EXPECT_EQ(filter.Output(), 20) << factor;  // every sample counts: 100 / 5
    }
}

TEST(AxisFilter, ShrinksTheRingToItsNewestSamplesOldestFirst) {
    AxisFilter filter(1, 5, 1e9f, 0);
    Feed(filter, {1, 2, 10, 20, 30, 50, 60});
    ASSERT_EQ(Ring(filter), (std::vector<std::int32_t>{50, 60, 10, 20, 30}));
    filter.SetMaxFrames(5);
    EXPECT_EQ(filter.Inspect().WriteIndex, 2);
    filter.SetMaxFrames(3);
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{30, 50, 60}));
    EXPECT_EQ(filter.Inspect().WriteIndex, 0);
    EXPECT_EQ(filter.Inspect().FrameCount, 3);
    EXPECT_EQ(filter.Inspect().Window, 5);
    filter.AddSample(70);
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{70, 50, 60}));
    filter.SetMaxFrames(0);  // below 1 counts as 1, here as in the constructor
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{70}));
    EXPECT_EQ(AxisFilter(5, -4, 80.0f, 0).MaxFrames(), 1);
}

TEST(AxisFilter, GrowsTheRingWithAddedSlotsAsItsOldestEntries) {
    AxisFilter filter(1, 3, 1e9f, 0);
    Feed(filter, {30, 50, 60});
    filter.SetMaxFrames(5);
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{0, 0, 30, 50, 60}));
    EXPECT_EQ(filter.Inspect().FrameCount, 3);
    filter.AddSample(90);  // overwrites slot 0, the oldest added slot
    EXPECT_EQ(NewestFirst(filter), (std::vector<std::int32_t>{90, 60, 50, 30, 0}));
    EXPECT_EQ(filter.Output(), 57);  // (90 + 60 + 50 + 30) / 4: no added slot counts
}

TEST(AxisFilter, BoundsTheWindowByTheRingWhenMinFramesExceedsIt) {
    AxisFilter filter(1, 250, 1e9f, 0);
    Feed(filter, {10, 20, 30, 40, 50});
    filter.SetMaxFrames(3);
    Set(filter, &FilterParameters::MinFrames, 10);
    filter.AddSample(60);
    EXPECT_EQ(filter.Output(), 50);  // 60, 50 and 40 only
}

TEST(AxisFilter, LeavesSamplesCountAndOutputAsTheyWereAfterGrowingAndShrinkingBack) {
    for (const int fed : {0, 1, 50, 119, 120, 121, 301}) {
        AxisFilter filter(5, 120, 80.0f, 0);
        for (int i = 0; i < fed; ++i) {
            filter.AddSample(kThirtyDegrees + (i * 37) % 200);
        }
        AxisFilter reloaded = filter;
        reloaded.SetMaxFrames(250);
        reloaded.SetMaxFrames(120);
        EXPECT_EQ(NewestFirst(reloaded), NewestFirst(filter)) << fed;
        EXPECT_EQ(reloaded.Inspect().FrameCount, filter.Inspect().FrameCount) << fed;
        EXPECT_EQ(reloaded.Output(), filter.Output()) << fed;
    }
}

TEST(AxisFilter, HoldsAStillTurnedHeadWhileReloadsAlternateTheRingLength) {
    // Each reload applies "General Filter" (250) and then the car's section (120).
    AxisFilter untouched(5, 120, 80.0f, 0);
    AxisFilter reloaded(5, 120, 80.0f, 0);
    for (int i = 0; i < 600; ++i) {
        const std::int32_t raw = kThirtyDegrees + (i % 3) - 1;
        reloaded.SetMaxFrames(250);
        reloaded.SetMaxFrames(120);
        reloaded.AddSample(raw);
        untouched.AddSample(raw);
        ASSERT_EQ(reloaded.Output(), untouched.Output()) << "reading " << i;
    }
    EXPECT_NEAR(reloaded.Output(), kThirtyDegrees, 1);
}

}  // namespace
}  // namespace velmora
