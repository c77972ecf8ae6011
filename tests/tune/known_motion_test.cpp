// The bench's largest steps, and --suggest on a simulated drive whose true pose is known: what it
// writes is what it measured, velmora-check finds nothing in it, and run again on its own
// suggestion it changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/settings_check.h"
#include "simdriver/sensor_model.h"
#include "tune/profile_replay.h"
#include "tune/suggestion.h"

namespace velmora::tune {
namespace {

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

// Two minutes of driving read by a 60 Hz tracker with 0.1° of noise and outliers, tuned in the
// example's [General Filter] and in a car's own section: the shipped profile trails the resting
// head (its window shrinks only past DecreaseFrame), which the search must see and fix where it
// did not look, at no more lag or onset delay there.
TEST(Suggestion, IsBetterWhereUnseenWritesACleanFileAndRunOnItselfChangesNothing) {
    sim::DrivingMotion motion(21);
    PolledTrace trace;
    for (const sim::DrivingPoll& poll : sim::PollDriving(
             motion,
             sim::SensorModel(
                 {.noiseDegrees = 0.1, .spikesPerSecond = 0.3, .spikeDegrees = 5, .seed = 21}),
             120.0)) {
        trace.readings.push_back(poll.reading);
        trace.truth.push_back(poll.truth);
    }
    const std::string example =
        "\xEF\xBB\xBF[Settings]\r\nSD Skipfactor = 2.5\r\n[General Filter]\r\n"
        "Yaw MaxFrames = 250 ; long\r\nPitch MaxFrames = 200\r\n"
        "[Formula Red]\r\nCopy From = General Filter\r\nYaw MaxFrames = 120\r\n";
    for (const char* car : {"", "Formula Red"}) {
        const std::string section = *car ? car : "General Filter";
        const auto first = Suggestion::Find(trace, example, car, section, {}, nullptr);
        ASSERT_TRUE(first && first->Changed()) << car;
        EXPECT_TRUE(first->BetterWhereUnseen(Goal::LeastRestError)) << car;
        EXPECT_TRUE(first->heads[0].againstTruth);
        // Pitch glances seldom: a minute to choose on may hold too few of them to be tuned.
        EXPECT_TRUE(first->tuned[0]);
        for (std::size_t axis = 0; axis < 2 && first->tuned[axis]; ++axis) {
            const HeadMetrics& before = first->inUseHeldOut[axis].head;
            const HeadMetrics& after = first->suggestedHeldOut[axis].head;
            EXPECT_LT(*after.restErrorDegrees, *before.restErrorDegrees * 0.8) << axis;
            EXPECT_LE(*after.effectiveLagMilliseconds, *before.effectiveLagMilliseconds * 1.1)
                << axis;
            EXPECT_LE(*after.onsetDelayMilliseconds, *before.onsetDelayMilliseconds * 1.1) << axis;
        }
        // Only the keys that change, each once, where the section holds it or under its header.
        const check::SettingsReport report = check::CheckSettings(first->edited);
        EXPECT_TRUE(report.findings.empty()) << first->edited;
        EXPECT_NE(first->edited.find("; long"), std::string::npos);
        for (const KeyChange& change : first->changes) {
            EXPECT_EQ(change.section, change.key == "SD Skipfactor" ? "Settings" : section);
        }
        const auto again = Suggestion::Find(trace, first->edited, car, section, {}, nullptr);
        ASSERT_TRUE(again);
        EXPECT_FALSE(again->Changed()) << car << ":\n" << again->edited;
    }
}

}  // namespace
}  // namespace velmora::tune
