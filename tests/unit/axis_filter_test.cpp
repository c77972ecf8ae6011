#include "tracking/axis_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace velmora {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::vector<std::int32_t> Outputs(AxisFilter& filter, const std::vector<std::int32_t>& readings) {
    std::vector<std::int32_t> outputs;
    for (const std::int32_t raw : readings) {
        filter.AddSample(raw);
        outputs.push_back(filter.Output());
    }
    return outputs;
}

std::vector<std::int32_t> Ring(const AxisFilter& filter) {
    const auto frames = filter.Inspect().Frames;
    return {frames.begin(), frames.end()};
}

FilterSettings With(FilterSettings settings, float sdSkipfactor) {
    settings.SDSkipfactor = sdSkipfactor;
    return settings;
}

AxisFilter FilterOf(const FilterSettings& settings) {
    AxisFilter filter(settings.MinFrames, settings.MaxFrames, settings.DecreaseFrame,
                      settings.OffsetFrame);
    filter.Set(settings);
    return filter;
}

TEST(AxisFilter, FollowsTheWorkedExample) {
    AxisFilter filter(5, 250, 80.0f, 0);
    Outputs(filter, std::vector<std::int32_t>(8, 0));
    filter.AddSample(100);  // window 9 shrinks to 8; every zero lies within the threshold of 82
    EXPECT_EQ(filter.Inspect().Window, 8);
    EXPECT_EQ(filter.Output(), 12);
    filter.AddSample(0);  // the 100 lies 89 from the mean, beyond the threshold of 78
    EXPECT_EQ(filter.Inspect().Window, 9);
    EXPECT_EQ(filter.Output(), 0);
    AxisFilter truncating(5, 250, 80.0f, 0);
    EXPECT_EQ(Outputs(truncating, {-2, -1}),
              (std::vector<std::int32_t>{-2, -1}));  // mean -3/2 = -1
}

// A head sweeping right, pausing, sweeping back, with the tracker's noise and two spikes. The
// outputs were computed apart from this code, step by step from the filter's definition.
TEST(AxisFilter, MatchesIndependentlyComputedOutputsOnAMovingNoisyHead) {
    const std::vector<std::int32_t> head = {
        558,  505,  467,  420,  374,  334,  282,  241,  193,  155,  105,  316,
        17,   -31,  -27,  -32,  -27,  -35,  -28,  -30,  -76,  -116, -168, -209,
        -257, -295, -345, -394, -433, -481, -447, -422, -387, -605, -328, -300,
        -271, -236, -213, -179, -152, -115, -90,  -64,  -28,  -1,   33,   58};
    AxisFilter byDefault(5, 250, 80.0f, 0);
    EXPECT_EQ(Outputs(byDefault, head),
              (std::vector<std::int32_t>{558,  531,  510,  487,  464,  420,  375,  330,  284,  241,
                                         195,  202,  157,  112,  76,   48,   -20,  -30,  -29,  -30,
                                         -38,  -49,  -68,  -94,  -142, -186, -231, -300, -344, -389,
                                         -399, -402, -400, -452, -443, -424, -394, -364, -334, -304,
                                         -239, -209, -179, -149, -120, -89,  -59,  -29}));
    // A short ring that wraps, an offset and a stricter outlier factor.
    AxisFilter tuned(3, 12, 40.0f, 1);
    tuned.Set(With(tuned.Settings(), 1.5f));
    EXPECT_EQ(Outputs(tuned, head),
              (std::vector<std::int32_t>{558,  531,  510,  464,  420,  376,  330,  285,  238,  196,
                                         151,  192,  146,  100,  -13,  -30,  -27,  -30,  -28,  -28,
                                         -36,  -49,  -68,  -104, -165, -232, -276, -322, -366, -413,
                                         -438, -435, -416, -468, -379, -359, -321, -283, -269, -254,
                                         -225, -194, -164, -120, -104, -59,  -44,  -15}));
}

TEST(AxisFilter, UnwrapsAcrossTheEndsOfTheRangeAndSaturatesBeyondInt32) {
    struct Case {
        std::int32_t prev, raw, stored;
    };
    const Case cases[] = {{32500, -32700, 32836},   {-32000, 32000, -33536}, {100, -100, -100},
                          {16384, -16384, -16384},  {-16384, 16384, 16384},  {16384, -16385, 49151},
                          {100000, -31000, 100072}, {0, -60000, -60000},     {-60000, 0, 0},
                          {kMin, 1, kMin}};  // 1 - 65536 - 2^31 is held at the range's end
    for (const Case& c : cases) {
        AxisFilter passThrough(1, 1, 80.0f, 0);  // outputs each stored sample unchanged
        EXPECT_EQ(Outputs(passThrough, {c.prev, c.raw}).back(), c.stored)
            << c.prev << " then " << c.raw;
    }
}

TEST(AxisFilter, ShrinksTheWindowByDistanceOverDecreaseFrameLessOffset) {
    struct Case {
        float decreaseFrame;
        std::int32_t offsetFrame, raw, window;
    };
    const Case cases[] = {
        {80.0f, 0, 159, 20},
        {80.0f, 0, 160, 19},
        {80.0f, 2, 160, 21},
        {80.0f, 0, kMax, 1},
        // Below 1.0, zero and NaN act as 1.0, the floor that the settings enforce.
        {0.5f, 0, 5, 16},
        {0.0f, 0, 5, 16},
        {std::numeric_limits<float>::quiet_NaN(), 0, 5, 16}};
    for (const Case& c : cases) {
        AxisFilter filter(5, 250, 1e9f, c.offsetFrame);  // the window reaches 20 first
        Outputs(filter, std::vector<std::int32_t>(20, 0));
        filter.Set({5, 250, c.decreaseFrame, c.offsetFrame});
        filter.AddSample(c.raw);
        EXPECT_EQ(filter.Inspect().Window, c.window) << c.decreaseFrame << ", " << c.raw;
    }
}

// The sum of squares of nine samples from INT32_MIN to INT32_MAX leaves 64 bits. Exact, the
// threshold saturates to INT32_MAX: the INT32_MAX samples count, the INT32_MIN ones (2^31 from the
// mean) do not.
TEST(AxisFilter, KeepsItsStatisticsExactAtTheExtremes) {
    AxisFilter widest(9, 9, 1e10f, 0);
    widest.Set(With(widest.Settings(), 1.5f));
    EXPECT_EQ(Outputs(widest, {kMin, kMin, kMin, 0, kMax, kMax, kMax, 0, 0}).back(), 1073741823);
}

TEST(AxisFilter, ChangesItsRingLengthKeepingTheNewestSamples) {
    AxisFilter filter(1, 5, 1e9f, 0);
    Outputs(filter, {1, 2, 10, 20, 30, 50, 60});
    ASSERT_EQ(Ring(filter), (std::vector<std::int32_t>{50, 60, 10, 20, 30}));
    filter.SetMaxFrames(3);  // the newest three, oldest first; the next sample replaces the oldest
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{30, 50, 60}));
    filter.SetMaxFrames(5);  // added slots are the oldest: no zero passes for recent history
    filter.AddSample(90);
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{90, 0, 30, 50, 60}));
    EXPECT_EQ(filter.Output(), 57);  // (90 + 60 + 50 + 30) / 4
    filter.SetMaxFrames(0);          // below 1 counts as 1
    EXPECT_EQ(Ring(filter), (std::vector<std::int32_t>{90}));
}

TEST(AxisFilter, IsLeftExactlyAsItWasByAReloadThatGrowsTheRingAndShrinksItBack) {
    for (const int fed : {0, 1, 119, 121, 301}) {
        AxisFilter filter(5, 120, 80.0f, 0);
        for (int i = 0; i < fed; ++i) {
            filter.AddSample(5461 + (i * 37) % 200);
        }
        AxisFilter reloaded = filter;
        reloaded.SetMaxFrames(250);
        reloaded.SetMaxFrames(120);
        for (const std::int32_t next : {5500, 5400, 5600}) {
            filter.AddSample(next);
            reloaded.AddSample(next);
            EXPECT_EQ(reloaded.Output(), filter.Output()) << fed;
        }
    }
}

// A mean trails a steady ramp by half its window, 4.5 steps of 10 here; Trend 1 follows it, 0.5
// halfway. The mirrored ramp gives the mirrored outputs: the mean truncates toward zero and the
// trended output rounds halves away from it.
TEST(AxisFilter, LeadsTheMeanAlongASteadyMovementByItsTrend) {
    struct Case {
        float trend;
        std::int32_t step, behind;
    };
    const Case cases[] = {{0.0f, 2, 9},  {0.5f, 2, 4}, {1.0f, 2, 0},   // 9 and 4.5 behind
                          {0.0f, 3, 14}, {0.5f, 3, 7}, {1.0f, 3, 0}};  // 13.5 and 6.75 behind
    for (const Case& c : cases) {
        for (const std::int32_t sign : {1, -1}) {
            FilterSettings fixedWindow{10, 10, 1e9f, 0};
            fixedWindow.Trend = c.trend;
            AxisFilter filter = FilterOf(fixedWindow);
            for (std::int32_t i = 0; i < 30; ++i) {
                filter.AddSample(sign * (1000 + i * c.step));
            }
            EXPECT_EQ(filter.Output(), sign * (1000 + 29 * c.step - c.behind))
                << c.trend << ", step " << c.step * sign;
        }
    }
}

// Every output over a long seeded head (a sway of slow turns and glances, the tracker's noise and
// now and then an outlier) folded into one number. The numbers at Trend 0 were taken from the
// filter before it had the key, so Trend 0 leaves every output as it was; the others from the
// x86_64 build, which the i686 one must match bit for bit. A Trend above 1 counts as 1, and one
// below 0 or NaN as 0.
TEST(AxisFilter, GivesTheSameOutputsOnEveryBuildAndAtTrendZeroTheMeanAsItWas) {
    std::mt19937 random(20121);  // its raw draws are the same everywhere, unlike distributions'
    std::vector<std::int32_t> head;
    std::int32_t position = 0;
    std::int32_t speed = 0;
    for (int i = 0; i < 20000; ++i) {
        if (random() % 64 == 0) {
            speed = static_cast<std::int32_t>(random() % 81) - 40 - position / 4000;
        }
        position += speed;
        const std::int32_t outlier = random() % 300 == 0 ? 2500 : 0;
        head.push_back(position + static_cast<std::int32_t>(random() % 41) - 20 + outlier);
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        FilterSettings settings;
        std::uint64_t fingerprint;
    } cases[] = {
        {{5, 250, 80.0f, 0, 2.5f, 0.0f}, 5152141079379866338u},
        {{5, 250, 80.0f, 0, 2.5f, nan}, 5152141079379866338u},
        {{5, 250, 80.0f, 0, 2.5f, -1.0f}, 5152141079379866338u},
        {{5, 250, 80.0f, 0, 2.5f, 0.5f}, 6452180634649749722u},
        {{5, 250, 80.0f, 0, 2.5f, 1.0f}, 3719503074004598558u},
        {{5, 250, 80.0f, 0, 2.5f, 7.0f}, 3719503074004598558u},
        {{3, 12, 40.0f, 1, 1.5f, 0.0f}, 16537781235117298344u},
        {{3, 12, 40.0f, 1, 1.5f, 0.25f}, 14526712129545564137u},
    };
    for (const auto& c : cases) {
        AxisFilter filter = FilterOf(c.settings);
        std::uint64_t fingerprint = 14695981039346656037u;  // FNV-1a
        for (const std::int32_t raw : head) {
            filter.AddSample(raw);
            fingerprint =
                (fingerprint ^ static_cast<std::uint32_t>(filter.Output())) * 1099511628211u;
        }
        EXPECT_EQ(fingerprint, c.fingerprint) << c.settings.MinFrames << "/" << c.settings.MaxFrames
                                              << ", Trend " << c.settings.Trend;
    }
}

}  // namespace
}  // namespace velmora
