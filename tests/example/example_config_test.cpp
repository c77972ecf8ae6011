// The example files shipped in the release, read by the plug-in's and the bridge's own code, give
// exactly the values that the guide's tables promise. The guide and the files are copied beside
// this program by the build; a table that drifts from its file, either way, fails here.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "check/settings_check.h"
#include "config/config_file.h"
#include "drivers/udp/bridge_settings.h"

namespace velmora {
namespace {

// The words of a line joined by single spaces, so that the guide may align its columns freely.
std::string Words(const std::string& line) {
    std::istringstream words(line);
    std::string word, joined;
    while (words >> word) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

// The rows under the guide's table header up to the first blank line, a rule of dashes skipped.
std::vector<std::string> GuideTable(const std::string& header) {
    std::ifstream lines("Velmora-Guide.txt", std::ios::binary);
    std::string line;
    while (std::getline(lines, line) && Words(line) != header) {
    }
    std::vector<std::string> rows;
    while (std::getline(lines, line) && !Words(line).empty()) {
        if (Words(line).find_first_not_of("- ") != std::string::npos) {
            rows.push_back(Words(line));
        }
    }
    return rows;
}

template <class... Values>
std::string Format(const char* format, Values... values) {
    char text[200];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
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
            std::string directions;
            for (int way = 0; way < 2; ++way) {
                if (applied.directions[2 * i + way]) {
                    directions += (directions.empty() ? "" : ", ") + std::string(ways[i][way]);
                }
            }
            const FilterSettings& axis = applied.axes[i];
            rows.push_back(Format("%s %s %d %d %g %d %g %s", car, axes[i], axis.MinFrames,
                                  axis.MaxFrames, axis.DecreaseFrame, axis.OffsetFrame, axis.Trend,
                                  directions.empty() ? "none" : directions.c_str()));
        }
    }
    return rows;
}

std::vector<std::string> SwitchRows(const std::string& text) {
    const auto any = Applied(text, std::nullopt);
    return {Format("Use Tracker %s", OnOff(any.useTracker)),
            Format("TestMode %s", OnOff(any.testMode)),
            Format("Use Filtering %s", OnOff(any.useFiltering)),
            Format("SD Skipfactor %g", any.axes[0].SDSkipfactor),
            Format("Record Trace %s", OnOff(any.recordTrace))};
}

// The release ships the example with Windows line ends; the reader must see the same file.
TEST(ExampleFiles, TheProfilesAndSwitchesAreThoseOfTheGuide) {
    std::ifstream file("Velmora.cfg", std::ios::binary);
    const std::string config{std::istreambuf_iterator<char>(file), {}};
    const auto profiles =
        GuideTable("Car Axis MinFrames MaxFrames DecreaseFrame OffsetFrame Trend Directions");
    const auto switches = GuideTable("Setting Value");
    ASSERT_FALSE(profiles.empty() || switches.empty());
    for (const std::string& text : {config, std::regex_replace(config, std::regex("\n"), "\r\n")}) {
        EXPECT_EQ(ProfileRows(text), profiles);
        EXPECT_EQ(SwitchRows(text), switches);
    }
}

TEST(ExampleFiles, TheBridgeSettingsAreThoseOfTheGuide) {
    const udp::BridgeSettings settings = udp::LoadSettings("IWEARDRV.cfg");
    const std::uint32_t a = settings.address;
    const auto yesNo = [](bool value) { return value ? "true" : "false"; };
    const std::vector<std::string> read = {
        Format("address %u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF),
        Format("port %u", unsigned{settings.port}),
        Format("staleness_ms %d", static_cast<int>(settings.stalenessMs)),
        Format("invert_yaw %s", yesNo(settings.yaw.invert)),
        Format("invert_pitch %s", yesNo(settings.pitch.invert)),
        Format("invert_roll %s", yesNo(settings.roll.invert)),
        Format("offset_yaw %g", settings.yaw.offset),
        Format("offset_pitch %g", settings.pitch.offset),
        Format("offset_roll %g", settings.roll.offset),
    };
    EXPECT_EQ(read, GuideTable("Bridge key Value"));
}

}  // namespace
}  // namespace velmora
