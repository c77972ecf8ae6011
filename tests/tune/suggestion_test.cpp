// --suggest on a head whose noise is known: the profile it finds must be calmer than the default
// on the half of the trace it never looked at, and pasted into the file, be the profile measured.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "profile_replay.h"
#include "suggestion.h"
#include "tuning_run.h"

namespace velmora::tune {
namespace {

constexpr char kExample[] =
    "[Settings]\nUse Tracker = true\nUse Filtering = true\nSD Skipfactor = 2.5\n"
    "[General Filter]\nYaw MinFrames = 5\nYaw MaxFrames = 250\nYaw DecreaseFrame = 80\n"
    "Pitch MinFrames = 5\nPitch MaxFrames = 200\nRoll DecreaseFrame = 90\n"
    "[Formula Red]\nCopy From = General Filter\nYaw MaxFrames = 120\n";

// Three minutes of a head that holds for 3 s, turns 40° to 70° in half a second, and at rest sways
// by a degree, four times in a minute, read by a tracker with 0.15° of white noise. The default
// profile takes the sway for movement and keeps shrinking its window.
PolledTrace SwayingHead() {
    constexpr double kTargets[4][3] = {{40, -30, 25}, {0, 0, 0}, {-45, 30, -25}, {0, 0, 0}};
    std::vector<std::array<double, 3>> path;
    std::array<double, 3> at{};
    for (int move = 0; path.size() < 18000; ++move) {
        path.insert(path.end(), 300, at);
        const auto& to = kTargets[move % 4];
        for (int i = 1; i <= 50; ++i) {
            const double f = i / 50.0;
            const double eased = f * f * (3.0 - 2.0 * f);
            path.push_back({at[0] + (to[0] - at[0]) * eased, at[1] + (to[1] - at[1]) * eased,
                            at[2] + (to[2] - at[2]) * eased});
        }
        at = {to[0], to[1], to[2]};
    }
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.15);
    PolledTrace trace;
    for (std::size_t i = 0; i < 18000; ++i) {
        const double t = static_cast<double>(i) * PolledTrace::kPollSeconds;
        std::array<std::int32_t, 3> raw{};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const double sway = std::sin(2.0 * std::numbers::pi * (0.25 + 0.07 * axis) * t +
                                         static_cast<double>(axis));
            raw[axis] = raw_angle::DegreesToRaw(path[i][axis] + sway + noise(random));
        }
        trace.readings.push_back({raw[0], raw[1], raw[2]});
    }
    return trace;
}

TEST(Suggestion, OnAHeadWithKnownNoiseIsCalmerThanTheDefaultWhereItDidNotLook) {
    const PolledTrace trace = SwayingHead();
    const auto suggestion = Suggestion::Find(trace, kExample, "", std::nullopt, nullptr);
    ASSERT_TRUE(suggestion);
    ASSERT_TRUE(suggestion->Changed());
    EXPECT_TRUE(suggestion->CalmerWhereUnseen());
    for (std::size_t axis = 0; axis < 3; ++axis) {
        SCOPED_TRACE(kAxisNames[axis]);
        EXPECT_TRUE(suggestion->tuned[axis]);
        const AxisMetrics& before = suggestion->inUseHeldOut[axis];
        const AxisMetrics& after = suggestion->suggestedHeldOut[axis];
        EXPECT_LT(*after.jitterDegrees, *before.jitterDegrees * 0.95);
        EXPECT_LE(*after.lagMilliseconds, *before.lagMilliseconds + 2.0);
    }
}

TEST(Suggestion, PastedAtTheTopOfTheFileItIsTheProfileMeasured) {
    FilterProfile profile;
    profile.axes = {{{3, 317, 86.5f, 1}, {1, 161, 100.0f, 0}, {7, 1000, 0.1f + 40.0f, 2}}};
    profile.sdSkipfactor = 2.75f;
    for (const char* vehicle : {"", "Formula Red", "A Car Without Its Own Section"}) {
        const std::string section = *vehicle == '\0' ? "General Filter" : vehicle;
        const std::string pasted = PastedOnTop(profile.PasteBlock(section, "test"),
                                               std::string("\xEF\xBB\xBF") + kExample);
        const ProfileReplay replay(SettingsText{pasted}, vehicle);
        const FilterProfile read = FilterProfile::Of(replay.Filters());
        EXPECT_TRUE(read.axes == profile.axes) << vehicle;
        EXPECT_EQ(read.sdSkipfactor, profile.sdSkipfactor) << vehicle;
    }
}

}  // namespace
}  // namespace velmora::tune
