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
#include "guide_table.h"
#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

using test::GuideTable;

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

// The plug-in after it has started with `text` as its Velmora.cfg and the game has reported
// `vehicle`: the same steps, in the same order, as Start and then UpdateVehicles.
void LoadAsThePlugInDoes(VelmoraPlugin& plugin, const std::string& text,
                         const std::string& vehicle) {
    const auto path = std::filesystem::temp_directory_path() / "velmora-example-config-test.cfg";
    std::ofstream(path, std::ios::binary) << text;
    plugin.PrepareSession();
    plugin.LoadSettingsFrom(path.string());
    plugin.ChangeVehicle(vehicle);
    std::filesystem::remove(path);
}

std::string AxisRow(const std::string& car, const char* axis, const AxisFilter& filter,
                    const std::string& directions) {
    return car + " " + axis + " " + std::to_string(filter.MinFrames) + " " +
           std::to_string(filter.MaxFrames()) + " " + Number(filter.DecreaseFrame) + " " +
           std::to_string(filter.OffsetFrame) + " " + directions;
}

// A car without a section of its own gets "General Filter" alone; the guide calls it so.
constexpr char kAnyOtherCar[] = "(any other car)";

std::vector<std::string> ProfileRows(const std::string& text) {
    std::vector<std::string> rows;
    for (const std::string car : {kAnyOtherCar, "Formula Red", "Touring Blue"}) {
        VelmoraPlugin plugin;
        LoadAsThePlugInDoes(plugin, text, car == kAnyOtherCar ? "No Such Car" : car);
        rows.push_back(
            AxisRow(car, "yaw", plugin.yawFilter,
                    Directions(plugin.yawLeftEnabled, plugin.yawRightEnabled, "left", "right")));
        rows.push_back(
            AxisRow(car, "pitch", plugin.pitchFilter,
                    Directions(plugin.pitchUpEnabled, plugin.pitchDownEnabled, "up", "down")));
        rows.push_back(
            AxisRow(car, "roll", plugin.rollFilter,
                    Directions(plugin.rollLeftEnabled, plugin.rollRightEnabled, "left", "right")));
    }
    return rows;
}

std::vector<std::string> SwitchRows(const std::string& text) {
    VelmoraPlugin plugin;
    LoadAsThePlugInDoes(plugin, text, "No Such Car");
    return {"Use Tracker " + OnOff(plugin.enabled), "TestMode " + OnOff(plugin.testMode),
            "Use Filtering " + OnOff(plugin.useFiltering),
            "SD Skipfactor " + Number(plugin.yawFilter.SDSkipfactor)};
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

TEST_F(ExampleFiles, AreThere) {
    ASSERT_FALSE(guide.empty());
    ASSERT_FALSE(config.empty());
}

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
