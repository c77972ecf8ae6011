// The bench's metrics and --suggest on head motion whose answers are known by construction.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "profile_replay.h"
#include "suggestion.h"
#include "tuning_run.h"

namespace velmora::tune {
namespace {

// One reading per 10 ms: a rest of `rest` readings, then `times` over, for each target a
// half-second turn and a rest again.
std::vector<double> Turns(const std::vector<double>& targets, std::size_t rest, int times) {
    std::vector<double> degrees(rest, 0.0);
    for (int time = 0; time < times; ++time) {
        for (const double to : targets) {
            const double from = degrees.back();
            for (double f = 0.02; f < 1.01; f += 0.02) {
                degrees.push_back(from + (to - from) * f * f * (3 - 2 * f));
            }
            degrees.insert(degrees.end(), rest, to);
        }
    }
    return degrees;
}

// The input `readings` later, read between two readings where the delay is not whole.
std::vector<double> Delayed(const std::vector<double>& input, double readings) {
    std::vector<double> output(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const double at = std::max(static_cast<double>(i) - readings, 0.0);
        const auto before = static_cast<std::size_t>(at);
        output[i] = input[before] + (at - static_cast<double>(before)) *
                                        (input[std::min(before + 1, i)] - input[before]);
    }
    return output;
}

TEST(AxisMetrics, APureDelayMeasuresAsThatLagToAFractionOfAReading) {
    const std::vector<double> input = Turns({30, 0}, 150, 3);
    const MotionStretches stretches = MotionStretches::Find(input);
    ASSERT_EQ(stretches.moving.size(), 6u);
    for (double delay : {0.0, 2.5, 3.0, 7.3, 12.0, 40.0}) {
        EXPECT_NEAR(*LagInMotion(input, Delayed(input, delay), stretches.moving), 10 * delay, 1.0);
    }
}

// The head rests; the camera arrives from a movement within a fifth of a second, then drifts by a
// degree in 20 s, which a half-second trend follows, and shakes with white noise.
TEST(AxisMetrics, JitterAtRestIsTheShakeAboutTheHalfSecondTrendOnceTheCameraHasArrived) {
    const std::vector<double> input(2000, 10.0);
    const MotionStretches stretches = MotionStretches::Find(input);
    std::mt19937 random(7);
    std::normal_distribution<double> unit(0.0, 1.0);
    for (double rms : {0.0, 0.05, 0.5}) {
        std::vector<double> output(input.size(), 14.0);
        for (std::size_t i = 20; i < output.size(); ++i) {
            output[i] = 10.0 + 0.0005 * static_cast<double>(i) + rms * unit(random);
        }
        // The trend takes a fiftieth of the noise with it.
        EXPECT_NEAR(*JitterAtRest(output, stretches.still), rms, rms * 0.06 + 0.002) << rms;
    }
}

// A head resting past -360° as the filter stores it; the stored reading jumps back a turn while the
// head rests on, and the camera follows in five steps of 72°. Before that it steps by 1° and 0.6°.
TEST(AxisMetrics, LargestStepsAreTheMeanOfTheLargestThousandthLeavingOutAWholeTurn) {
    std::vector<double> input(1500, -359.0);
    input.insert(input.end(), 1500, 1.0);
    std::vector<double> output = input;
    for (std::size_t i = 400; i < 1505; ++i) {
        output[i] = i >= 1500 ? -359.0 + 72.0 * static_cast<double>(i - 1499)
                              : output[i] + (i < 1000 ? 1.0 : 0.4);
    }
    const MotionStretches stretches = MotionStretches::Find(input);
    EXPECT_TRUE(stretches.LeftOut(1500) && !stretches.LeftOut(1400) && stretches.moving.empty());
    // About 2,940 steps: the largest thousandth is two.
    EXPECT_NEAR(LargestSteps(output, stretches), 0.8, 1e-9);
}

// Three minutes of a head that rests for 3 s and turns in half a second, and at rest sways by a
// degree four times a minute, read by a tracker with 0.15° of white noise. The example's profile
// takes the sway for movement and keeps shrinking its window.
TEST(Suggestion, OnAHeadWithKnownNoiseIsCalmerWhereItDidNotLookAndPastedIsWhatItMeasured) {
    const std::vector<double> axes[] = {Turns({40, 0, -45, 0}, 300, 13),
                                        Turns({-30, 0, 30, 0}, 300, 13),
                                        Turns({25, 0, -25, 0}, 300, 13)};
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.15);
    PolledTrace trace;
    for (std::size_t i = 0; i < 18000; ++i) {
        std::array<std::int32_t, 3> raw{};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const double a = static_cast<double>(axis);
            const double sway =
                std::sin(2 * std::numbers::pi * (0.25 + 0.07 * a) * trace.Seconds(i) + a);
            raw[axis] = raw_angle::DegreesToRaw(axes[axis][i] + sway + noise(random));
        }
        trace.readings.push_back({raw[0], raw[1], raw[2]});
    }
    const std::string example =
        "\xEF\xBB\xBF[General Filter]\nYaw MaxFrames = 250\nPitch MaxFrames = 200\n"
        "[Formula Red]\nCopy From = General Filter\nYaw MaxFrames = 120\n";
    const auto suggestion = Suggestion::Find(trace, example, "", std::nullopt, nullptr);
    ASSERT_TRUE(suggestion && suggestion->Changed());
    EXPECT_TRUE(suggestion->CalmerWhereUnseen());
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const AxisMetrics& before = suggestion->inUseHeldOut[axis];
        const AxisMetrics& after = suggestion->suggestedHeldOut[axis];
        EXPECT_TRUE(suggestion->tuned[axis]) << kAxisNames[axis];
        EXPECT_LT(*after.jitterDegrees, *before.jitterDegrees * 0.95) << kAxisNames[axis];
        EXPECT_LE(*after.lagMilliseconds, *before.lagMilliseconds + 2.0) << kAxisNames[axis];
    }
    // Pasted at the top of the file, in a car's section or one of its own, it takes the place of
    // the same keys further down: a float that takes nine digits too.
    FilterProfile profile = suggestion->suggested;
    profile[2].DecreaseFrame = 0.1f + 40.0f;
    for (const char* vehicle : {"Formula Red", "A Car Without Its Own Section"}) {
        const FilterProfile read =
            ProfileReplay(SettingsText{PastedOnTop(PasteBlock(profile, vehicle, ""), example)},
                          vehicle)
                .Filters()
                .Settings();
        EXPECT_TRUE(read == profile) << vehicle;
    }
}

}  // namespace
}  // namespace velmora::tune
