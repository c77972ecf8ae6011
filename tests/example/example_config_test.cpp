// The example files shipped in the release, read by the plug-in's and the bridge's own code, give
// exactly the values that the guide's tables promise. The guide and the files are copied beside
// this program by the build; a table that drifts from its file, either way, fails here.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drivers/udp/bridge_settings.h"
#include "tracking/shared_head.h"

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

std::string OnOff(bool on) {
    return on ? "on" : "off";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Directions(bool first, bool second, const char* firstName, const char* secondName) {
    if (first && second) {
        return std::string(firstName) + ", " + secondName;
    }
    return first ? firstName : second ? secondName : "none";
}

// The plug-in's switches and filters after it has started with `text` as its Velmora.cfg and the
// game has reported `vehicle`: the same steps, in the same order, as Start and then UpdateVehicles.
struct Loaded {
    Loaded(const std::string& text, const std::string& vehicle) {
        switches.BeginSession();
        head.ApplySettings(text);
        head.ChangeVehicle(vehicle);
    }

    Switches switches;
    SharedHead head{switches, ""};
};

std::string AxisRow(const std::string& car, const char* axis, const AxisFilter& filter,
                    const std::string& directions) {
    const FilterParameters& parameters = filter.Parameters();
    return car + " " + axis + " " + std::to_string(parameters.MinFrames) + " " +
           std::to_string(filter.MaxFrames()) + " " + Number(parameters.DecreaseFrame) + " " +
           std::to_string(parameters.OffsetFrame) + " " + directions;
}

// A car without a section of its own gets "General Filter" alone; the guide calls it so.
constexpr char kAnyOtherCar[] = "(any other car)";

std::vector<std::string> ProfileRows(const std::string& text) {
    using enum keys::Direction;
    std::vector<std::string> rows;
    for (const std::string car : {kAnyOtherCar, "Formula Red", "Touring Blue"}) {
        const Loaded plugin(text, car == kAnyOtherCar ? "No Such Car" : car);
        const Switches& on = plugin.switches;
        const HeadFilters filters = plugin.head.Filters();
        rows.push_back(
            AxisRow(car, "yaw", filters.Yaw(),
                    Directions(on.Allows(YawLeft), on.Allows(YawRight), "left", "right")));
        rows.push_back(AxisRow(car, "pitch", filters.Pitch(),
                               Directions(on.Allows(PitchUp), on.Allows(PitchDown), "up", "down")));
        rows.push_back(
            AxisRow(car, "roll", filters.Roll(),
                    Directions(on.Allows(RollLeft), on.Allows(RollRight), "left", "right")));
    }
    return rows;
}

std::vector<std::string> SwitchRows(const std::string& text) {
    const Loaded plugin(text, "No Such Car");
    const Switches& on = plugin.switches;
    return {"Use Tracker " + OnOff(on.Enabled()), "TestMode " + OnOff(on.TestMode()),
            "Use Filtering " + OnOff(on.UseFiltering()),
            "SD Skipfactor " + Number(plugin.head.Filters().Yaw().Parameters().SDSkipfactor),
            "Record Trace " + OnOff(on.RecordTrace())};
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
