// What the simulated tracker records, the bench reads back exactly.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "polled_trace.h"
#include "trace_recorder.h"

namespace velmora::tune {
namespace {

TEST(RecordedTrace, ReadsBackAsTheSameRawReadings) {
    const auto path = std::filesystem::temp_directory_path() / "velmora-recorded-trace.csv";
    const sim::Pose poses[] = {{32767, -1, 0}, {-32768, 12345, -54321 + 65536}, {7, 8, 9}};
    {
        sim::TraceRecorder recorder(path.string());
        for (const sim::Pose& pose : poses) {
            recorder.Record(pose);
        }
    }
    std::vector<std::string> values;
    {
        // Closed again before the file is removed: Windows refuses to remove an open file.
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);) {
            values.push_back(line.substr(line.find(',') + 1));
        }
    }
    EXPECT_EQ(values, (std::vector<std::string>{"yaw_raw,pitch_raw,roll_raw", "32767,-1,0",
                                                "-32768,12345,11215", "7,8,9"}));

    std::string error;
    const auto trace = LoadPolledTrace(path.string(), TraceUnits::FromHeader, error);
    std::filesystem::remove(path);
    ASSERT_TRUE(trace) << error;
    // Recorded within the same poll or two: each poll finds one of the poses as it was recorded,
    // in raw units as the header says, not taken for degrees.
    ASSERT_FALSE(trace->readings.empty());
    for (const sim::Pose& reading : trace->readings) {
        EXPECT_TRUE(std::any_of(std::begin(poses), std::end(poses),
                                [&](const sim::Pose& pose) {
                                    return pose.yaw == reading.yaw && pose.pitch == reading.pitch &&
                                           pose.roll == reading.roll;
                                }))
            << reading.yaw << "," << reading.pitch << "," << reading.roll;
    }
}

TEST(RecordedTrace, RowsNoTrackerCouldGiveAreSkippedLikeUnreadableOnes) {
    const auto path = std::filesystem::temp_directory_path() / "velmora-odd-trace.csv";
    std::ofstream(path) << "time_s,yaw_deg,pitch_deg,roll_deg\n"
                           "0.00,1,2,3\n"
                           "0.01,nan,2,3\n"
                           "0.02,1,inf,3\n"
                           "0.03,1,2,1e300\n"
                           "nan,1,2,3\n"
                           "0.04,1,2\n"
                           "0.05,90,-90,180\n";
    std::string error;
    const auto trace = LoadPolledTrace(path.string(), TraceUnits::FromHeader, error);
    std::filesystem::remove(path);
    ASSERT_TRUE(trace) << error;
    ASSERT_EQ(trace->readings.size(), 6u);  // 0.00 s to 0.05 s, one every 10 ms
    for (std::size_t i = 0; i < 5; ++i) {   // the first row held until the next good one
        EXPECT_EQ(trace->readings[i].yaw, 182) << i;
        EXPECT_EQ(trace->readings[i].pitch, 364) << i;
        EXPECT_EQ(trace->readings[i].roll, 546) << i;
    }
    EXPECT_EQ(trace->readings[5].yaw, 16384);
    EXPECT_EQ(trace->readings[5].pitch, -16384);
    EXPECT_EQ(trace->readings[5].roll, -32768);  // 180° is the tracker's -32768
}

}  // namespace
}  // namespace velmora::tune
