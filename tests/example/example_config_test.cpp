// The example files shipped in the release, read by the plug-in's and the bridge's own code, give
// exactly the values that the guide's tables promise. The guide and the files are copied beside
// this program by the build; a table that drifts from its file, either way, fails here.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "applied_profiles.h"
#include "config/config_file.h"
#include "drivers/udp/bridge_settings.h"

namespace velmora {
namespace {

// The rows of a table in the plain-text guide, runs of spaces collapsed to one so that the guide
// may align its columns freely: the lines after the header up to the first blank line, a rule of
// dashes skipped.
std::string CollapseSpaces(const std::string& text) {
    std::istringstream words(text);
    std::string word, joined;
    while (words >> word) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

std::vector<std::string> GuideTable(const std::string& guide, const std::string& header) {
    std::istringstream lines(guide);
    std::string line;
    while (std::getline(lines, line) && CollapseSpaces(line) != CollapseSpaces(header)) {
    }
    std::vector<std::string> rows;
    while (std::getline(lines, line)) {
        const std::string row = CollapseSpaces(line);
        if (row.empty()) {
            break;
        }
        if (row.find_first_not_of("- ") != std::string::npos) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string WithCrLf(const std::string& text) {
    std::string converted;
    for (char c : text) {
        converted += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return converted;
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// What the plug-in applies with `text` as its Velmora.cfg, for one car or (nothing) for a car
// without a section of its own: its own components, through the settings check's replay.
check::AppliedProfile Applied(const std::string& text, const std::optional<std::string>& car) {
    ConfigFile config;
    config.Parse(text);
    return check::ApplyProfiles(config, car);
}

std::vector<std::string> ProfileRows(const std::string& text) {
    const char* const axes[3] = {"yaw", "pitch", "roll"};
    const char* const ways[3][2] = {{"left", "right"}, {"up", "down"}, {"left", "right"}};
    std::vector<std::string> rows;
    for (const char* car : {"(any other car)", "Formula Red", "Touring Blue"}) {
        const auto applied = Applied(text, car[0] == '(' ? std::nullopt : std::optional(car));
        for (int i = 0; i < 3; ++i) {
            const check::AxisOutcome& axis = applied.axes[i];
            const bool first = applied.directions[2 * i];
            const bool second = applied.directions[2 * i + 1];
            const std::string directions = first && second
                                               ? std::string(ways[i][0]) + ", " + ways[i][1]
                                           : first  ? ways[i][0]
                                           : second ? ways[i][1]
                                                    : "none";
            rows.push_back(std::string(car) + " " + axes[i] + " " + std::to_string(axis.minFrames) +
                           " " + std::to_string(axis.maxFrames) + " " + Number(axis.decreaseFrame) +
                           " " + std::to_string(axis.offsetFrame) + " " + directions);
        }
    }
    return rows;
}

std::vector<std::string> SwitchRows(const std::string& text) {
    const auto any = Applied(text, std::nullopt);
    return {std::string("Use Tracker ") + OnOff(any.useTracker),
            std::string("TestMode ") + OnOff(any.testMode),
            std::string("Use Filtering ") + OnOff(any.useFiltering),
            "SD Skipfactor " + Number(any.sdSkipfactor),
            std::string("Record Trace ") + OnOff(any.recordTrace)};
}

std::string Address(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string YesNo(bool value) {
    return value ? "true" : "false";
}

class ExampleFiles : public ::testing::Test {
protected:
    const std::string guide = ReadFile("Velmora-Guide.txt");
    const std::string config = ReadFile("Velmora.cfg");
};

// The release ships the example with Windows line ends; the reader must see the same file.
TEST_F(ExampleFiles, TheProfilesAreThoseOfTheGuide) {
    const auto promised =
        GuideTable(guide, "Car Axis MinFrames MaxFrames DecreaseFrame OffsetFrame Directions");
    ASSERT_FALSE(promised.empty());
    for (const std::string& text : {config, WithCrLf(config)}) {
        EXPECT_EQ(ProfileRows(text), promised);
    }
}

TEST_F(ExampleFiles, TheSwitchesAreThoseOfTheGuide) {
    const auto promised = GuideTable(guide, "Setting Value");
    ASSERT_FALSE(promised.empty());
    for (const std::string& text : {config, WithCrLf(config)}) {
        EXPECT_EQ(SwitchRows(text), promised);
    }
}

TEST_F(ExampleFiles, TheBridgeSettingsAreThoseOfTheGuide) {
    const udp::BridgeSettings settings = udp::LoadSettings("IWEARDRV.cfg");
    const std::vector<std::string> read = {
        "address " + Address(settings.address),
        "port " + std::to_string(settings.port),
        "staleness_ms " + std::to_string(settings.stalenessMs),
        "invert_yaw " + YesNo(settings.yaw.invert),
        "invert_pitch " + YesNo(settings.pitch.invert),
        "invert_roll " + YesNo(settings.roll.invert),
        "offset_yaw " + Number(settings.yaw.offset),
        "offset_pitch " + Number(settings.pitch.offset),
        "offset_roll " + Number(settings.roll.offset),
    };
    EXPECT_EQ(read, GuideTable(guide, "Bridge key Value"));
}

}  // namespace
}  // namespace velmora
