#include "host_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace velmora::host;

bool Parse(std::vector<const char*> arguments, HostOptions& options, std::string& error) {
    arguments.insert(arguments.begin(), "velmora-host");
    return ParseOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(HostOptions, VehicleScriptKeepsNamesAsWrittenAndOrdersChangesByTime) {
    std::vector<VehicleChange> changes;
    std::string error;
    ASSERT_TRUE(ParseVehicleScript("8s:Touring Blue,0s:Formula Red,2.5: Spaced ", changes, error))
        << error;
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].name, "Formula Red");
    EXPECT_DOUBLE_EQ(changes[0].at, 0.0);
    EXPECT_EQ(changes[1].name, " Spaced ");
    EXPECT_DOUBLE_EQ(changes[1].at, 2.5);
    EXPECT_EQ(changes[2].name, "Touring Blue");
    EXPECT_DOUBLE_EQ(changes[2].at, 8.0);
}

TEST(HostOptions, TimesAcceptSecondsAndMilliseconds) {
    std::vector<double> times;
    std::string error;
    ASSERT_TRUE(ParseTimes("1500ms,0.25s,3", times, error)) << error;
    EXPECT_EQ(times, (std::vector<double>{0.25, 1.5, 3.0}));
}

TEST(HostOptions, RejectMalformedValuesWithTheOptionNamed) {
    const std::vector<std::vector<const char*>> bad = {{"--vehicles", "Formula Red"},
                                                       {"--duration", "ten"},
                                                       {"--fps", "0"},
                                                       {"--reset-at", "-1"},
                                                       {"--motion", "wobbly"},
                                                       {"--pose", "1,2"},
                                                       {"--open-fails", "-3"},
                                                       {"--trace-units", "deg"},
                                                       {"--trace-units", "raw"},
                                                       {"--pose", "1,2,3", "--motion", "synthetic"},
                                                       {"--trace", "t.csv", "--motion=still"},
                                                       {"--pose", "1,2,3", "--trace", "t.csv"},
                                                       {"--no-such-option"},
                                                       {"--plugin"}};
    for (const auto& arguments : bad) {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, options, error)) << arguments[0];
        EXPECT_NE(error.find(arguments[0]), std::string::npos) << error;
    }
}

// A fixed pose or a trace without --motion says which motion is meant: the synthetic one must
// not run instead.
TEST(HostOptions, TrackerOptionsBecomeTheSimulatedDriversVariables) {
    using Variables = std::vector<std::pair<std::string, std::string>>;
    const struct {
        std::vector<const char*> arguments;
        Variables expected;
    } cases[] = {
        {{"--motion", "still", "--pose=8000,-10,0", "--read-fail-every", "7", "--hang-after", "40"},
         {{"VELMORA_SIM_MOTION", "still"},
          {"VELMORA_SIM_POSE", "8000,-10,0"},
          {"VELMORA_SIM_READ_FAIL_EVERY", "7"},
          {"VELMORA_SIM_HANG_AFTER", "40"}}},
        {{"--pose", "-8000,0,0"},
         {{"VELMORA_SIM_POSE", "-8000,0,0"}, {"VELMORA_SIM_MOTION", "still"}}},
        {{"--trace", "t.csv", "--trace-units", "raw"},
         {{"VELMORA_SIM_TRACE", "t.csv"},
          {"VELMORA_SIM_TRACE_UNITS", "raw"},
          {"VELMORA_SIM_MOTION", "trace"}}},
        {{"--trace-units=degrees", "--motion", "trace", "--trace", "t.csv"},
         {{"VELMORA_SIM_TRACE_UNITS", "degrees"},
          {"VELMORA_SIM_MOTION", "trace"},
          {"VELMORA_SIM_TRACE", "t.csv"}}},
        {{"--open-fails", "2"}, {{"VELMORA_SIM_OPEN_FAILS", "2"}}},
    };
    for (const auto& c : cases) {
        HostOptions options;
        std::string error;
        ASSERT_TRUE(Parse(c.arguments, options, error)) << error;
        EXPECT_EQ(options.trackerEnvironment, c.expected) << c.arguments[0];
    }
}

TEST(HostOptions, DriverNoneMeansNoDriverAtAll) {
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--driver", "none", "--release", "--plain"}, options, error)) << error;
    EXPECT_TRUE(options.noDriver);
    EXPECT_TRUE(options.driverPath.empty());
    EXPECT_TRUE(options.release);
    EXPECT_TRUE(options.plain);
}

}  // namespace
