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
    std::ifstream file(path);
    std::string line;
    std::vector<std::string> values;
    while (std::getline(file, line)) {
        values.push_back(line.substr(line.find(',') + 1));
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

}  // namespace
}  // namespace velmora::tune
