// The bench is only worth its numbers if they are the plug-in's: the real library, driven by slot
// position, polls the simulated tracker for the same readings the bench replays, and at each
// checkpoint the tracker holds still while the nine controls are compared bit for bit.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin_with_tracker.h"
#include "polled_trace.h"
#include "profile_replay.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::testing {
namespace {

using test::WaitUntil;

struct BenchCase {
    const char* name;
    const char* config;
    const char* vehicle;
    std::size_t firstReading;  // into the polled excerpt
    std::vector<std::size_t> checkpoints;
};

constexpr char kGeneral[] =
    "[Settings]\nUse Tracker = true\nUse Filtering = true\nSD Skipfactor = 2.5\n"
    "[General Filter]\nYaw MinFrames = 5\nYaw MaxFrames = 250\nYaw DecreaseFrame = 80\n"
    "Pitch MinFrames = 5\nPitch MaxFrames = 200\nRoll DecreaseFrame = 90\n";

// A profile reached through "Copy From", with every kind of key changed, and an outlier factor.
constexpr char kTuned[] =
    "[Settings]\nUse Tracker = true\nUse Filtering = true\nSD Skipfactor = 1.5\n"
    "[General Filter]\nYaw MinFrames = 5\nYaw MaxFrames = 250\nYaw DecreaseFrame = 80\n"
    "Pitch MinFrames = 5\nPitch MaxFrames = 200\nRoll DecreaseFrame = 90\n"
    "[Calm]\nYaw OffsetFrame = 1\nPitch DecreaseFrame = 140\nRoll MinFrames = 9\n"
    "Roll MaxFrames = 60\nYaw Right Enabled = false\n"
    "[Tuned Car]\nCopy From = Calm\nYaw MaxFrames = 120\nPitch MinFrames = 3\n";

constexpr char kUnfiltered[] =
    "[Settings]\nUse Tracker = true\nUse Filtering = false\n"
    "[General Filter]\nYaw MinFrames = 5\n";

std::vector<BenchCase> Cases() {
    // The excerpt's yaw crosses ±180° four times between 18.6 s and 20.6 s.
    return {
        {"GeneralFilterAcrossTheSeam", kGeneral, "", 1650, {1, 2, 6, 60, 251, 320, 400, 600}},
        {"VehicleProfileThroughCopyFrom", kTuned, "Tuned Car", 1700, {1, 5, 121, 300, 500}},
        {"FilteringOff", kUnfiltered, "", 1850, {1, 3, 40, 150}},
    };
}

std::filesystem::path Excerpt() {
    char directory[4096];
    EXPECT_NE(HostProgramDirectory(directory, sizeof directory), 0);
    return std::filesystem::path(directory) / "traces" / "user1-excerpt.csv";
}

class BenchMatchesPlugin : public PluginWithTracker,
                           public ::testing::WithParamInterface<BenchCase> {};

TEST_P(BenchMatchesPlugin, NineControlsAgreeBitForBitAtEveryCheckpoint) {
    const BenchCase& c = GetParam();
    std::string error;
    const auto trace = tune::LoadPolledTrace(Excerpt().string(), tune::TraceUnits::Degrees, error);
    ASSERT_TRUE(trace) << error;
    const std::size_t count = c.checkpoints.back();
    ASSERT_LE(c.firstReading + count, trace->readings.size());
    const std::vector<sim::Pose> readings(
        trace->readings.begin() + static_cast<std::ptrdiff_t>(c.firstReading),
        trace->readings.begin() + static_cast<std::ptrdiff_t>(c.firstReading + count));
    std::vector<std::int32_t> queued;
    for (const sim::Pose& reading : readings) {
        queued.insert(queued.end(), {reading.yaw, reading.pitch, reading.roll});
    }

    PluginUnderTest plugin(c.config);
    // Nothing reaches the filters until the vehicle is known, as with a game that reports the
    // player's car before the first reading arrives.
    driver->HangAfterReads(0);
    driver->PushReadings(queued);
    plugin.Start();
    if (*c.vehicle != '\0') {
        plugin.DriveVehicle(c.vehicle);
    }
    tune::ProfileReplay bench(plugin.ConfigPath().string(), c.vehicle);

    std::size_t fed = 0;
    int answeredTurns = 0;  // a setup in which nothing answers would agree trivially
    for (std::size_t checkpoint : c.checkpoints) {
        driver->HangAfterReads(static_cast<std::int32_t>(checkpoint));
        ASSERT_TRUE(WaitUntil([&] {
            const SimTrackerCounters n = driver->Counters();
            return n.hungReads == 1 &&
                   n.reads - n.failedReads == static_cast<std::int32_t>(checkpoint) + 1;
        })) << "the plug-in did not reach reading "
            << checkpoint;
        for (; fed < checkpoint; ++fed) {
            bench.Feed(readings[fed]);
        }
        const tune::ControlValues expected = bench.QueryControls();
        for (std::size_t i = 0; i < kControlNames.size(); ++i) {
            answeredTurns += i < 8 && !std::isnan(expected[i]) && expected[i] > 0.0f;
            const float actual = plugin.Query(kControlNames[i]);
            EXPECT_EQ(std::isnan(actual), std::isnan(expected[i]))
                << kControlNames[i] << " after reading " << checkpoint;
            if (!std::isnan(actual) && !std::isnan(expected[i])) {
                EXPECT_EQ(std::bit_cast<std::uint32_t>(actual),
                          std::bit_cast<std::uint32_t>(expected[i]))
                    << kControlNames[i] << " after reading " << checkpoint << ": plug-in " << actual
                    << ", bench " << expected[i];
            }
        }
    }
    EXPECT_GT(answeredTurns, 0);
    driver->ReleaseHang();
    plugin.Stop();
}

INSTANTIATE_TEST_SUITE_P(Profiles, BenchMatchesPlugin, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::testing
