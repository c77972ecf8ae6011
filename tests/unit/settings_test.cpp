#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/vehicle_records.h"
#include "plugin/vehicle_list.h"
#include "tracking/shared_head.h"

namespace velmora {
namespace {

using Direction = keys::Direction;

// The switches and filters after a session has begun, read `text` and been told the vehicle.
struct Loaded {
    explicit Loaded(const std::string& text, const std::string& vehicle = {}) {
        switches.BeginSession();
        head.ApplySettings(text);
        head.ChangeVehicle(vehicle);
    }

    Switches switches;
    SharedHead head{switches, ""};
};

// Per axis MinFrames/OffsetFrame/DecreaseFrame/ring length, and /Trend when it is not 0.
std::string Axes(const Loaded& loaded) {
    const HeadFilters filters = loaded.head.Filters();
    std::string text;
    for (const AxisFilter* axis : {&filters.Yaw(), &filters.Pitch(), &filters.Roll()}) {
        const FilterSettings& p = axis->Settings();
        text.append(text.empty() ? "" : " ").append(std::to_string(p.MinFrames)).append("/");
        text.append(std::to_string(p.OffsetFrame)).append("/");
        text.append(std::to_string(static_cast<int>(p.DecreaseFrame))).append("/");
        text.append(std::to_string(axis->MaxFrames()));
        if (p.Trend != 0.0f) {
            text.append("/").append(std::to_string(p.Trend), 0, 4);
        }
    }
    return text;
}

// Everything a load sets, in one line: the switches, the six directions (an allowed one by its
// letter: Left Right Up Down Left Right), the axes, the outlier factor.
std::string Describe(const Loaded& loaded) {
    const Switches& on = loaded.switches;
    std::string text;
    text += on.Enabled() ? 'T' : '-';
    text += on.TestMode() ? 'M' : '-';
    text += on.UseFiltering() ? 'F' : '-';
    text += on.RecordTrace() ? 'R' : '-';
    text += ' ';
    for (int i = 0; i < 6; ++i) {
        text += on.Allows(static_cast<Direction>(i)) ? "LRUDLR"[i] : '-';
    }
    const float sd = loaded.head.Filters().Yaw().Settings().SDSkipfactor;
    return text.append(" ").append(Axes(loaded)).append(" ").append(std::to_string(sd), 0, 3);
}

// Every key of Velmora.cfg with a value that proves it reaches its own field, so that a misspelt
// or swapped key fails here; then the rules applied after reading. Profile keys in "General
// Filter", which a second key keeps applying.
TEST(Settings, EveryKeyReachesItsFieldWithItsRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"[Settings]\nUse Tracker = false", "--F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"[Settings]\nTestMode = TRUE", "TMF- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"[Settings]\nUse Filtering = false", "T--- LRUDLR 1/0/80/1 1/0/80/1 1/0/90/1 2.5"},
        {"[Settings]\nRecord Trace = true", "T-FR LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"[Settings]\nSD Skipfactor = 3", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 3.0"},
        {"Yaw Left Enabled = false", "T-F- -RUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw Right Enabled = no", "T-F- L-UDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Pitch Up Enabled = 1", "T-F- LR-DLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Pitch Down Enabled = off", "T-F- LRU-LR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Roll Left Enabled = false", "T-F- LRUD-R 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Roll Right Enabled = false", "T-F- LRUDL- 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw MinFrames = 7", "T-F- LRUDLR 7/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw OffsetFrame = 2", "T-F- LRUDLR 5/2/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw DecreaseFrame = 33", "T-F- LRUDLR 5/0/33/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw MaxFrames = 99", "T-F- LRUDLR 5/0/80/99 5/0/80/200 5/0/90/250 2.5"},
        {"Pitch MinFrames = 7", "T-F- LRUDLR 5/0/80/250 7/0/80/200 5/0/90/250 2.5"},
        {"Pitch OffsetFrame = 2", "T-F- LRUDLR 5/0/80/250 5/2/80/200 5/0/90/250 2.5"},
        {"Pitch DecreaseFrame = 33", "T-F- LRUDLR 5/0/80/250 5/0/33/200 5/0/90/250 2.5"},
        {"Pitch MaxFrames = 99", "T-F- LRUDLR 5/0/80/250 5/0/80/99 5/0/90/250 2.5"},
        {"Roll MinFrames = 7", "T-F- LRUDLR 5/0/80/250 5/0/80/200 7/0/90/250 2.5"},
        {"Roll OffsetFrame = 2", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/2/90/250 2.5"},
        {"Roll DecreaseFrame = 33", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/33/250 2.5"},
        {"Roll MaxFrames = 99", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/99 2.5"},
        {"[B]\nPitch MinFrames = 9\n[General Filter]\nCopy From = B",
         "T-F- LRUDLR 5/0/80/250 9/0/80/200 5/0/90/250 2.5"},
        // The rules after reading: floors, a ring never shorter than MinFrames nor longer than
        // 10000, an unreadable ring length as 0; an unreadable number changes nothing.
        {"Yaw MinFrames = -3\nYaw OffsetFrame = -2\nYaw DecreaseFrame = 0.5",
         "T-F- LRUDLR 1/0/1/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw MinFrames = 8\nYaw MaxFrames = 4\nPitch MaxFrames = abc\nRoll "
         "MaxFrames = 2000000000",
         "T-F- LRUDLR 8/0/80/8 5/0/80/5 5/0/90/10000 2.5"},
        {"Yaw DecreaseFrame = abc\nPitch MinFrames = x",
         "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
        {"Yaw Trend = 1.5\nPitch Trend = 0.25\nRoll Trend = -3",  // from 0 to 1
         "T-F- LRUDLR 5/0/80/250/1.00 5/0/80/200/0.25 5/0/90/250 2.5"},
        // "SD Skipfactor" counts only in "Settings"; it and "Use Filtering = false" act only as
        // part of a section that applies.
        {"SD Skipfactor = 7", "T-F- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5"},
    };
    for (const auto& [lines, expected] : cases) {
        // A line of its own in "General Filter" keeps that section applying.
        const std::string text = (lines[0] == '[' ? "" : "[General Filter]\n") + std::string(lines);
        EXPECT_EQ(Describe(Loaded(text + "\n[General Filter]\nYaw Left Enabled =")), expected)
            << text;
    }
    EXPECT_EQ(Describe(Loaded("[Settings]\nSD Skipfactor = 3\nUse Filtering = false\n")),
              "T--- LRUDLR 5/0/80/250 5/0/80/200 5/0/90/250 2.5");
}

TEST(Settings, ApplyCopyFromAncestorsFirstAndStopLoops) {
    const std::string text =
        "[Base]\nYaw MinFrames = 3\nPitch MinFrames = 4\n"
        "[Example Car]\nCopy From = Base\nYaw MinFrames = 7\n"
        "[Lone Car]\nCopy From = Missing\nRoll MinFrames = 6\n"
        "[A]\nCopy From = B\nYaw MinFrames = 11\n[B]\nCopy From = A\nYaw MinFrames = 12\n"
        "Pitch MinFrames = 13\n[ Spaced ]\nYaw MinFrames = 9\n";
    const std::pair<const char*, const char*> cases[] = {
        {"Example Car", "7/0/80/250 4/0/80/200 5/0/90/250"},
        {"Lone Car", "5/0/80/250 5/0/80/200 6/0/90/250"},
        {"A", "11/0/80/250 13/0/80/200 5/0/90/250"},     // B, then A, each once
        {"Spaced", "5/0/80/250 5/0/80/200 5/0/90/250"},  // names match exactly
    };
    for (const auto& [car, expected] : cases) {
        EXPECT_EQ(Axes(Loaded(text, car)), expected) << car;
    }
}

TEST(Settings, FollowAVeryLongCopyFromChainWithoutRecursion) {
    constexpr int kLength = 30000;  // deeper than any stack would take a recursion
    std::string text;
    for (int i = 0; i < kLength; ++i) {
        text += "[S" + std::to_string(i) + "]\nCopy From = S" + std::to_string(i + 1) +
                "\nYaw MinFrames = " + std::to_string(i + 2) + "\n";
    }
    text += "[S" + std::to_string(kLength) + "]\nPitch MinFrames = 42\n";
    EXPECT_EQ(Axes(Loaded(text, "S0")), "2/0/80/250 42/0/80/200 5/0/90/250");
}

TEST(Settings, ReapplyGeneralThenTheCarOnEveryVehicleChangeAndReload) {
    const std::string text =
        "[General Filter]\nYaw MinFrames = 5\n[Formula Red]\nYaw MinFrames = 9\n"
        "Pitch MinFrames = 7\n[Touring Blue]\nYaw DecreaseFrame = 120\n";
    Loaded loaded(text, "Formula Red");
    EXPECT_FALSE(loaded.head.ChangeVehicle("Formula Red")) << "the same car again is no change";
    loaded.head.ApplySettings(text);  // Reset, or test mode's reload: the car's section again
    EXPECT_EQ(Axes(loaded), "9/0/80/250 7/0/80/200 5/0/90/250");
    EXPECT_TRUE(loaded.head.ChangeVehicle("Touring Blue"));
    // "General Filter" sets yaw's MinFrames again; nothing sets pitch's: it stays.
    EXPECT_EQ(Axes(loaded), "5/0/120/250 7/0/80/200 5/0/90/250");
}

// The host side's records read back by the plug-in's own reader: both keep the game's layout.
TEST(VehicleRecords, ThePlayersVehicleIsTheFirstMarkedOne) {
    struct Case {
        const char* what;
        std::vector<host::VehicleRecords::Vehicle> vehicles;
        std::optional<std::int32_t> count;  // what the list claims, when not its size
        std::optional<std::string> player;
    };
    const std::string unterminated(400, 'x');
    const Case cases[] = {
        {"no vehicle", {}, {}, {}},
        {"none marked", {{"A"}, {"B"}}, {}, {}},
        {"the third marked", {{"A"}, {"B"}, {"C", true}}, {}, "C"},
        {"two marked: the first", {{"A", true}, {"B", true}}, {}, "A"},
        {"a negative count", {{"A", true}}, -1, {}},
        {"a name that fills its record",
         {{unterminated, true}},
         {},
         unterminated.substr(0, host::VehicleRecords::kNameCapacity)},
    };
    for (const Case& c : cases) {
        host::VehicleRecords records;
        records.Build(c.vehicles);
        if (c.count) {
            records.SetCount(*c.count);
        }
        std::string_view name;
        const bool found =
            FindPlayerVehicle(static_cast<const VehicleListInfo*>(records.List()), name);
        EXPECT_EQ(found ? std::optional<std::string>(name) : std::nullopt, c.player) << c.what;
    }
}

}  // namespace
}  // namespace velmora
