// What the plug-in and the simulated tracker record, the bench reads back exactly; what the bench
// reads, it reads whole or not at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugin_with_tracker.h"
#include "polled_trace.h"
#include "trace_file.h"
#include "trace_recorder.h"
#include "tracking/trace_recorder.h"

namespace velmora::tune {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::WaitUntil;

TEST(RecordedTrace, TheSimulatedTrackersRecordingReadsBackAsTheSameRawReadings) {
    const auto path = fs::temp_directory_path() / "velmora-recorded-trace.csv";
    const sim::Pose poses[] = {{32767, -1, 0}, {-32768, 12345, -54321 + 65536}, {7, 8, 9}};
    {
        sim::TraceRecorder recorder(path.string());
        for (const sim::Pose& pose : poses) {
            recorder.Record(pose);
        }
    }
    std::string error;
    const auto file = sim::ReadTraceFile(path.string(), TraceUnits::FromHeader, error);
    fs::remove(path);
    ASSERT_TRUE(file) << error;
    ASSERT_EQ(file->rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(file->rows[i].pose.yaw, poses[i].yaw) << i;
        EXPECT_EQ(file->rows[i].pose.pitch, poses[i].pitch) << i;
        EXPECT_EQ(file->rows[i].pose.roll, poses[i].roll) << i;
    }
}

// Files the bench reads: no row is lost, none is made up.
struct Readable {
    const char* what;
    const char* text;
    std::size_t rows;
    std::int32_t firstYaw;  // raw units
    std::size_t skipped;
    bool cutShort;
};

TEST(RecordedTrace, AReadableFileLosesNoRow) {
    const Readable cases[] = {
        {"a header", "time_s,yaw_deg,pitch_deg,roll_deg\n0.0,90,0,0\n0.5,0,0,0\n", 2, 16384, 0,
         false},
        {"no header", "0.0,90,0,0\n0.5,0,0,0\n", 2, 16384, 0, false},
        {"raw units by the header", "time_s,yaw_raw,pitch_raw,roll_raw\n0,-32768,1,2\n", 1, -32768,
         0, false},
        {"a byte-order mark, Windows line ends", "\xEF\xBB\xBFtime,yaw,pitch,roll\r\n0,-45,0,0\r\n",
         1, -8192, 0, false},
        {"comments, a vehicle and spaces", "# made by hand\n0.0, 90, 0, 0\n# vehicle: A\n1,0,0,0\n",
         2, 16384, 0, false},
        {"rows no tracker gives", "t,y,p,r\n0,90,0,0\n0.01,nan,2,3\n0.02,1,inf,3\n0.03,1,2,1e300\n",
         1, 16384, 3, false},
        {"a last line cut short", "t,y,p,r\n0,90,0,0\n0.01,45,0,0\n0.02,4", 2, 16384, 0, true},
    };
    for (const Readable& c : cases) {
        std::string error;
        const auto file = sim::ParseTrace(c.text, TraceUnits::FromHeader, error);
        ASSERT_TRUE(file) << c.what << ": " << error;
        EXPECT_EQ(file->rows.size(), c.rows) << c.what;
        EXPECT_EQ(file->rows.front().pose.yaw, c.firstYaw) << c.what;
        EXPECT_EQ(file->skippedRows, c.skipped) << c.what;
        EXPECT_EQ(file->lastLineCutShort, c.cutShort) << c.what;
    }
}

TEST(RecordedTrace, ACarsRowsAreCutOutStretchAfterStretchAndTheJoinsLeftOut) {
    std::string error;
    const auto file = sim::ParseTrace(
        "time_s,yaw_raw,pitch_raw,roll_raw\n0,1,0,0\n"
        "# vehicle: Car A\n0.1,2,0,0\n0.2,2,0,0\n# vehicle: Car B\n0.3,3,0,0\n0.4,3,0,0\n"
        "# vehicle: Car A\n0.5,4,0,0\n0.7,5,0,0\n",
        TraceUnits::FromHeader, error);
    ASSERT_TRUE(file) << error;
    const auto carA = PolledTrace::From(*file, "Car A", error);
    ASSERT_TRUE(carA) << error;
    // Raw units: each row one reading as the plug-in polled it, 0.15 s apart on average here.
    ASSERT_EQ(carA->readings.size(), 4u);
    EXPECT_EQ(carA->joins, std::vector<std::size_t>{2});
    EXPECT_EQ(carA->readings[1].yaw, 2);
    EXPECT_EQ(carA->readings[2].yaw, 4);
    EXPECT_DOUBLE_EQ(carA->pollSeconds, 0.15);
    // In degrees, head motion at its own rate: polled every 10 ms, 0.1 s to 0.2 s and 0.5 s to
    // 0.7 s making 11 and 21 polls.
    auto degrees = *file;
    degrees.rawUnits = false;
    const auto polled = PolledTrace::From(degrees, "Car A", error);
    ASSERT_TRUE(polled) << error;
    EXPECT_EQ(polled->readings.size(), 32u);
    EXPECT_EQ(polled->joins, std::vector<std::size_t>{11});
    const auto seconds = file->VehicleSeconds();
    ASSERT_EQ(seconds.size(), 3u);
    EXPECT_EQ(seconds[1].first, "Car A");
    EXPECT_NEAR(seconds[1].second, 0.2 + 0.2, 1e-9);  // a stretch lasts until the next begins
    EXPECT_FALSE(PolledTrace::From(*file, "Car C", error));
    EXPECT_NE(error.find("\"Car A\", \"Car B\""), std::string::npos) << error;
}

TEST(TraceRecorder, StopsAtItsSizeCapAfterAWholeRowAndSaysSo) {
    const auto path = fs::temp_directory_path() / "velmora-capped.csv";
    fs::remove(path);  // a recorder never replaces a file
    constexpr std::uint64_t kCap = 4096;
    {
        TraceRecorder recorder(kCap);
        ASSERT_TRUE(recorder.Begin(path.string()));
        for (std::int32_t i = 0; i < 1000; ++i) {
            recorder.Add(static_cast<std::uint64_t>(i) * 10000, {i, -i, 32767});
            if (recorder.WriteDue()) {
                recorder.Write();
            }
        }
        EXPECT_TRUE(recorder.Stopped());
        recorder.End();
    }
    std::string text;
    {
        std::ifstream file(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(file), {});
    }
    fs::remove(path);
    EXPECT_LE(text.size(), kCap);
    EXPECT_GT(text.size(), kCap - 100);
    EXPECT_TRUE(text.ends_with("# the recording stopped here: the file reached its size cap\n"));
    std::string error;
    const auto file = sim::ParseTrace(text, TraceUnits::FromHeader, error);
    ASSERT_TRUE(file) << error;
    EXPECT_FALSE(file->lastLineCutShort);
    for (std::size_t i = 0; i < file->rows.size(); ++i) {
        ASSERT_EQ(file->rows[i].pose.yaw, static_cast<std::int32_t>(i));
        ASSERT_DOUBLE_EQ(file->rows[i].time, 0.01 * static_cast<double>(i));
    }
}

TEST(TraceRecorder, WhereNoFileCanBeWrittenItStopsAtOnce) {
    const auto missing = (fs::temp_directory_path() / "velmora-no-such-folder" / "").string();
    TraceRecorder inMissingFolder;
    EXPECT_FALSE(inMissingFolder.BeginIn(missing));
    EXPECT_TRUE(inMissingFolder.Stopped());
    // A device that takes no byte: the file opens, the first write fails. (Where there is no such
    // device, no file opens.)
    TraceRecorder onFullDisk;
    if (onFullDisk.Begin("/dev/full")) {
        onFullDisk.Add(0, {1, 2, 3});
        onFullDisk.Write();
    }
    EXPECT_TRUE(onFullDisk.Stopped());
    onFullDisk.End();
    EXPECT_TRUE(onFullDisk.Idle());
}

// The plug-in's recordings beside a copy of it, driven through its slots.
class PluginRecording : public testing::PluginWithTracker {
protected:
    static std::vector<fs::path> Recordings(const fs::path& folder) {
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

    static std::size_t RowsIn(const fs::path& file) {
        std::string error;
        const auto trace = sim::ReadTraceFile(file.string(), TraceUnits::FromHeader, error);
        return trace ? trace->rows.size() : 0;
    }

    int GoodReads() const {
        const SimTrackerCounters counters = driver->Counters();
        return counters.reads - counters.failedReads;
    }
};

TEST_F(PluginRecording, HoldsEveryReadingHandedOutBitForBitAndTheCarsDriven) {
    testing::PluginUnderTest plugin("[Settings]\nRecord Trace = true\n");
    const fs::path folder = plugin.ConfigPath().parent_path();
    std::vector<std::int32_t> pushed;
    for (std::int32_t i = 0; i < 300; ++i) {
        pushed.insert(pushed.end(), {(i * 7919) % 65536 - 32768, 32767 - i, -32768 + 13 * i});
    }
    driver->PushReadings(pushed);
    driver->SetPose(1234, -5678, 910);
    plugin.DriveVehicle("Formula Red");
    plugin.Start();
    ASSERT_TRUE(WaitUntil([&] { return GoodReads() >= 320; }));
    plugin.DriveVehicle("Touring Blue");
    const int changedAt = GoodReads();
    ASSERT_TRUE(WaitUntil([&] { return GoodReads() >= changedAt + 20; }));
    plugin.Stop();

    const auto files = Recordings(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::regex_match(files[0].filename().string(),
                                 std::regex(R"(Velmora-trace-\d{4}(-\d\d){5}\.csv)")))
        << files[0];
    std::string error;
    const auto file = sim::ReadTraceFile(files[0].string(), TraceUnits::FromHeader, error);
    ASSERT_TRUE(file) << error;
    EXPECT_TRUE(file->rawUnits);
    EXPECT_FALSE(file->lastLineCutShort);
    ASSERT_EQ(file->rows.size(), static_cast<std::size_t>(GoodReads())) << "complete after Stop";
    for (std::size_t i = 0; i < file->rows.size(); ++i) {
        const sim::Pose& row = file->rows[i].pose;
        const bool queued = i < 300;
        ASSERT_EQ(row.yaw, queued ? pushed[3 * i] : 1234) << i;
        ASSERT_EQ(row.pitch, queued ? pushed[3 * i + 1] : -5678) << i;
        ASSERT_EQ(row.roll, queued ? pushed[3 * i + 2] : 910) << i;
        ASSERT_TRUE(i == 0 || file->rows[i].time >= file->rows[i - 1].time) << i;
    }
    EXPECT_EQ(file->rows.front().time, 0.0);
    // And the bench replays exactly those readings, one per poll, as the filters took them.
    const auto trace = LoadPolledTrace(files[0].string(), TraceUnits::FromHeader, error);
    ASSERT_TRUE(trace) << error;
    ASSERT_EQ(trace->readings.size(), file->rows.size());
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(trace->readings[i].yaw, pushed[3 * i]) << i;
        ASSERT_EQ(trace->readings[i].roll, pushed[3 * i + 2]) << i;
    }
    EXPECT_NEAR(trace->pollSeconds, 0.01, 0.005);
    ASSERT_EQ(file->vehicles.size(), 2u);
    EXPECT_EQ(file->vehicles[0].firstRow, 0u);
    EXPECT_EQ(file->vehicles[0].name, "Formula Red");
    EXPECT_EQ(file->vehicles[1].name, "Touring Blue");
    EXPECT_GE(file->vehicles[1].firstRow, static_cast<std::size_t>(changedAt));
}

TEST_F(PluginRecording, WithTheSwitchOffNoFileIsMade) {
    for (const char* settings :
         {"[Settings]\nUse Tracker = true\n", "[Settings]\nRecord Trace = false\n",
          "[Settings]\nRecord Trace = yes\n"}) {
        testing::PluginUnderTest plugin(settings);
        const int before = GoodReads();
        plugin.Start();
        ASSERT_TRUE(WaitUntil([&] { return GoodReads() >= before + 30; }));
        plugin.Stop();
        EXPECT_TRUE(Recordings(plugin.ConfigPath().parent_path()).empty()) << settings;
    }
}

// Each re-read applies the switch: on starts a new file, off ends it. While it records, the file
// holds every second's rows, as a crash would leave it.
TEST_F(PluginRecording, InTestModeTheSwitchStartsAndEndsRecordingsAsTheFileIsReread) {
    constexpr char kOn[] = "[Settings]\nTestMode = true\nRecord Trace = true\n";
    constexpr char kOff[] = "[Settings]\nTestMode = true\nRecord Trace = false\n";
    testing::PluginUnderTest plugin(kOff);
    const fs::path folder = plugin.ConfigPath().parent_path();
    plugin.Start();
    ASSERT_TRUE(WaitUntil([&] { return GoodReads() >= 30; }));
    EXPECT_TRUE(Recordings(folder).empty());

    plugin.WriteConfig(kOn);
    ASSERT_TRUE(WaitUntil([&] {
        const auto files = Recordings(folder);
        return files.size() == 1 && RowsIn(files[0]) >= 150;
    })) << "the rows reach the file while it records";

    plugin.WriteConfig(kOff);
    const fs::path first = Recordings(folder).front();
    std::size_t rows = RowsIn(first);
    ASSERT_TRUE(WaitUntil([&] {
        // Ended: no row added across a second and a half.
        std::this_thread::sleep_for(1500ms);
        const std::size_t now = RowsIn(first);
        return std::exchange(rows, now) == now;
    }));

    plugin.WriteConfig(kOn);
    ASSERT_TRUE(WaitUntil([&] { return Recordings(folder).size() == 2; }));
    plugin.Stop();
    EXPECT_EQ(RowsIn(first), rows);
    for (const fs::path& file : Recordings(folder)) {
        std::string error;
        const auto trace = sim::ReadTraceFile(file.string(), TraceUnits::FromHeader, error);
        ASSERT_TRUE(trace) << error;
        EXPECT_FALSE(trace->lastLineCutShort) << file;
    }
}

TEST_F(PluginRecording, AFolderThatCannotBeWrittenStopsTheRecordingAndNothingElse) {
    const float quarterTurnLeft = std::bit_cast<float>(0x40066666u);
    testing::PluginUnderTest plugin("[Settings]\nRecord Trace = true\n");
    const fs::path folder = plugin.ConfigPath().parent_path();
    driver->HangAfterReads(0);  // no reading before the folder is gone
    plugin.Start();
    ASSERT_TRUE(WaitUntil([&] { return driver->Counters().hungReads == 1; }));
    std::error_code error;
    fs::remove_all(folder, error);
    if (fs::exists(folder)) {
        driver->ReleaseHang();
        plugin.Stop();
        GTEST_SKIP() << "this system keeps the folder of a loaded library";
    }
    driver->SetPose(16384, 0, 0);
    driver->HangAfterReads(1 << 30);
    EXPECT_TRUE(SettlesAt(plugin, "Camera_YawLeft", quarterTurnLeft));
    plugin.Stop();
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace velmora::tune
