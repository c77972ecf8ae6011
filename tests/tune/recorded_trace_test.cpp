// The real plug-in, driven by its slots over the simulated tracker, against velmora-tune: the
// bench's controls are the plug-in's bit for bit, and what the plug-in records, the bench reads
// back exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugin_under_test.h"
#include "tune/polled_trace.h"
#include "tune/profile_replay.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using test::WaitUntil;
using tune::TraceUnits;
using PluginRecording = PluginWithTracker;

int GoodReads(const test::SimulatedDriver& driver) {
    const SimTrackerCounters counters = driver.Counters();
    return counters.reads - counters.failedReads;
}

std::vector<fs::path> Recordings(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with("Velmora-trace-")) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

struct BenchCase {
    const char* name;
    const char* config;
    const char* vehicle;
    std::size_t firstReading;  // into the excerpt, whose yaw crosses ±180° four times from 18.6 s
    std::vector<std::size_t> checkpoints;
    bool folderGone = false;  // removed, with the settings, before the first reading
};

// Reached through "Copy From", every kind of key changed, an outlier factor; and recorded.
constexpr char kRecorded[] =
    "[Settings]\nSD Skipfactor = 1.5\nRecord Trace = true\n[General Filter]\nYaw MaxFrames = 250\n"
    "[Calm]\nYaw OffsetFrame = 1\nPitch DecreaseFrame = 140\nRoll MinFrames = 9\n"
    "Roll MaxFrames = 60\nYaw Right Enabled = false\n"
    "[Tuned Car]\nCopy From = Calm\nYaw MaxFrames = 120\nPitch MinFrames = 3\n";
constexpr char kUnfiltered[] =
    "[Settings]\nUse Filtering = false\nRecord Trace = true\n[General Filter]\nYaw MinFrames = 5\n";

const BenchCase kCases[] = {
    {"DefaultsAcrossTheSeam", "", "", 1650, {1, 2, 6, 60, 251, 320, 400, 600}},
    {"RecordedVehicleProfile", kRecorded, "Tuned Car", 1700, {1, 5, 121, 300, 500}},
    {"UnfilteredWhereNoRecordingCanBeMade", kUnfiltered, "", 1850, {1, 3, 40, 150}, true},
};

class BenchMatchesPlugin : public PluginWithTracker,
                           public ::testing::WithParamInterface<BenchCase> {};

TEST_P(BenchMatchesPlugin, NineControlsAgreeBitForBitAndTheRecordingHoldsEveryReading) {
    const BenchCase& c = GetParam();
    char directory[4096];
    ASSERT_NE(HostProgramDirectory(directory, sizeof directory), 0);
    std::string error;
    const auto trace =
        tune::LoadPolledTrace((fs::path(directory) / "traces" / "user1-excerpt.csv").string(),
                              TraceUnits::Degrees, error);
    ASSERT_TRUE(trace) << error;
    ASSERT_EQ(trace->readings.size(), 2999u);  // 29.98 s polled every 10 ms
    const std::span<const sim::Pose> readings(&trace->readings[c.firstReading],
                                              c.checkpoints.back());
    std::vector<std::int32_t> queued;
    for (const sim::Pose& reading : readings) {
        queued.insert(queued.end(), {reading.yaw, reading.pitch, reading.roll});
    }
    PluginUnderTest plugin(c.config);
    const fs::path folder = plugin.ConfigPath().parent_path();
    // Nothing reaches the filters before the car is known, as in a game that names the player's
    // car before the first reading.
    driver->HangAfterReads(0);
    driver->PushReadings(queued);
    plugin.Start();
    if (*c.vehicle != '\0') {
        plugin.DriveVehicle(c.vehicle);
    }
    tune::ProfileReplay bench(plugin.ConfigPath().string(), c.vehicle);
    ASSERT_TRUE(WaitUntil([&] { return driver->Counters().hungReads == 1; }));
    std::error_code kept;
    if (c.folderGone) {
        fs::remove_all(folder, kept);
    }
    std::size_t fed = 0;
    int turned = 0;  // a setup in which nothing answers would agree trivially
    for (const std::size_t checkpoint : c.checkpoints) {
        driver->HangAfterReads(static_cast<std::int32_t>(checkpoint));
        ASSERT_TRUE(WaitUntil([&] {
            return driver->Counters().hungReads == 1 &&
                   GoodReads(*driver) == static_cast<int>(checkpoint) + 1;
        })) << "the plug-in did not reach reading "
            << checkpoint;
        for (; fed < checkpoint; ++fed) {
            bench.Feed(readings[fed]);
        }
        const tune::ControlValues expected = bench.QueryControls();
        for (std::size_t i = 0; i < kControlNames.size(); ++i) {
            turned += i < 8 && expected[i] > 0.0f;
            // Bits, not values: a control that answers false is the same NaN on both sides.
            const float actual = plugin.Query(kControlNames[i]);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(actual),
                      std::bit_cast<std::uint32_t>(expected[i]))
                << kControlNames[i] << " after reading " << checkpoint << ": plug-in " << actual
                << ", bench " << expected[i];
        }
    }
    EXPECT_GT(turned, 0);

    plugin.DriveVehicle("Formula Red");
    driver->ReleaseHang();
    ASSERT_TRUE(WaitUntil([&] { return GoodReads(*driver) >= static_cast<int>(fed) + 20; }));
    plugin.Stop();
    if (c.folderGone && fs::exists(folder)) {
        GTEST_SKIP() << "this system keeps the folder of a loaded library";
    }
    const auto files = Recordings(folder);
    ASSERT_EQ(files.size(), c.config == kRecorded ? 1u : 0u) << "Record Trace is off unless set";
    if (files.empty()) {
        return;
    }
    const auto recorded = sim::ReadTraceFile(files[0].string(), TraceUnits::FromHeader, error);
    ASSERT_TRUE(recorded) << error;
    ASSERT_EQ(recorded->rows.size(), static_cast<std::size_t>(GoodReads(*driver)))
        << "all of it after Stop";
    for (std::size_t i = 0; i < recorded->rows.size(); ++i) {
        const sim::Pose& row = recorded->rows[i].pose;
        const sim::Pose handedOut = i < readings.size() ? readings[i] : sim::Pose{0, 0, 0};
        ASSERT_TRUE(row.yaw == handedOut.yaw && row.pitch == handedOut.pitch &&
                    row.roll == handedOut.roll)
            << "row " << i;
    }
    ASSERT_EQ(recorded->vehicles.size(), 2u);
    EXPECT_EQ(recorded->vehicles[0].firstRow, 0u);
    EXPECT_EQ(recorded->vehicles[0].name, "Tuned Car");
    EXPECT_EQ(recorded->vehicles[1].name, "Formula Red");
    EXPECT_GE(recorded->vehicles[1].firstRow, readings.size());
}

INSTANTIATE_TEST_SUITE_P(Profiles, BenchMatchesPlugin, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// While it records, the file holds every second's rows, as a crash would leave it.
TEST_F(PluginRecording, InTestModeEachRereadOfRecordTraceBeginsOrEndsARecording) {
    constexpr char kOn[] = "[Settings]\nTestMode = true\nRecord Trace = true\n";
    constexpr char kOff[] = "[Settings]\nTestMode = true\nRecord Trace = false\n";
    PluginUnderTest plugin(kOff);
    const fs::path folder = plugin.ConfigPath().parent_path();
    plugin.Start();
    plugin.WriteConfig(kOn);
    ASSERT_TRUE(WaitUntil([&] {
        const auto files = Recordings(folder);
        return files.size() == 1 && fs::file_size(files[0]) > 3000;
    })) << "the rows reach the file while it records";
    plugin.WriteConfig(kOff);
    const fs::path first = Recordings(folder).front();
    auto size = fs::file_size(first);
    ASSERT_TRUE(WaitUntil([&] {
        // Ended: nothing added across a second and a half.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return std::exchange(size, fs::file_size(first)) == size;
    }));
    plugin.WriteConfig(kOn);
    ASSERT_TRUE(WaitUntil([&] { return Recordings(folder).size() == 2; }));
    plugin.Stop();
    EXPECT_EQ(fs::file_size(first), size);
}

// No row lost or made up on the way: a byte-order mark, Windows line ends, spaces, comments, a row
// no tracker gives, a last line cut short inside its last value (as a crash leaves it). A car's
// name is kept as the game gave it, a space at its end too: only a section named so applies.
TEST(TraceFile, ACarsRowsArePolledStretchAfterStretchWithTheJoinsLeftOut) {
    std::string error;
    const auto file = sim::ParseTrace(
        "\xEF\xBB\xBF"
        "0,1,0,0\r\n# vehicle: A \r\n0.1, 2, 0, 0\r\n0.15,nan,0,0\n0.2,-2,0,0\n"
        "# vehicle: B\n0.3,3,0,0\n# vehicle: A \n0.5,4,0,0\n0.7,5,0,0\n0.8,6,0,-3",
        TraceUnits::FromHeader, error);
    ASSERT_TRUE(file && file->skippedRows == 1 && file->cutLastLine == 11) << error;
    EXPECT_FALSE(tune::PolledTrace::From(*file, "A", error));
    // Polled every 10 ms, each poll taking the newest row: 0.1 s to 0.2 s and 0.5 s to 0.7 s.
    const auto polled = tune::PolledTrace::From(*file, "A ", error);
    ASSERT_TRUE(polled) << error;
    EXPECT_EQ(polled->readings.size(), 11u + 21u);
    EXPECT_EQ(polled->joins, std::vector<std::size_t>{11});
    EXPECT_EQ(polled->readings[10].yaw, raw_angle::DegreesToRaw(-2.0));
    // Seven numbers without a header of seven names are more likely four with decimal commas.
    EXPECT_FALSE(sim::ParseTrace("0,5,1,2,3,4,5\n", TraceUnits::FromHeader, error));
}

}  // namespace
}  // namespace velmora::testing
