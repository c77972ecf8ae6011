#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "plugin/vehicle_list.h"
#include "tracking/shared_head.h"
#include "vehicle_records.h"

namespace velmora {
namespace {

using host::VehicleRecords;

// Profiles applied from settings given in memory, as a load or a vehicle change applies them.
class FilterProfiles : public ::testing::Test {
protected:
    // Reads the settings with no vehicle known: "General Filter" alone applies.
    void Parse(const std::string& text) { head.ApplySettings(text); }
    // "General Filter", then the section, from the settings as read.
    void Drive(const std::string& section) { head.ChangeVehicle(section); }

    AxisFilter Yaw() const { return Filters().Yaw(); }
    HeadFilters Filters() const { return head.Filters(); }

    Switches switches;
    SharedHead head{switches, ""};
};

TEST_F(FilterProfiles, AFileWithoutTheNamedSectionsChangesNothing) {
    Parse("[Settings]\nSD Skipfactor = 3\nUse Filtering = false\n[Other]\nYaw MinFrames = 9\n");
    Drive("Formula Red");
    EXPECT_EQ(Yaw().Parameters().MinFrames, 5);
    EXPECT_EQ(Yaw().MaxFrames(), 250);
    EXPECT_EQ(Yaw().Parameters().SDSkipfactor, 2.5f);
}

struct ClampCase {
    const char* line;
    std::int32_t minFrames, offsetFrame, maxFrames;
    float decreaseFrame;
};

TEST_F(FilterProfiles, ValuesOutsideTheirRangeAreClampedAndBadOnesIgnored) {
    const ClampCase cases[] = {
        {"Yaw MinFrames = 0", 1, 0, 250, 80.0f},
        {"Yaw MinFrames = -3", 1, 0, 250, 80.0f},
        {"Yaw OffsetFrame = -2", 5, 0, 250, 80.0f},
        {"Yaw DecreaseFrame = 0.5", 5, 0, 250, 1.0f},
        {"Yaw DecreaseFrame = abc", 5, 0, 250, 80.0f},
        {"Yaw MaxFrames = 3", 5, 0, 5, 80.0f},               // never shorter than MinFrames
        {"Yaw MaxFrames = abc", 5, 0, 5, 80.0f},             // unreadable counts as 0
        {"Yaw MaxFrames = 2000000000", 5, 0, 10000, 80.0f},  // cut to 100 s of readings
        {"Yaw MinFrames = 8\nYaw MaxFrames = 4", 8, 0, 8, 80.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Switches freshSwitches;
        SharedHead fresh(freshSwitches, "");
        fresh.ApplySettings(std::string("[General Filter]\n") + c.line + "\n");
        const AxisFilter yaw = fresh.Filters().Yaw();
        EXPECT_EQ(yaw.Parameters().MinFrames, c.minFrames);
        EXPECT_EQ(yaw.Parameters().OffsetFrame, c.offsetFrame);
        EXPECT_EQ(yaw.MaxFrames(), c.maxFrames);
        EXPECT_EQ(yaw.Parameters().DecreaseFrame, c.decreaseFrame);
    }
}

TEST_F(FilterProfiles, TheOutlierFactorComesFromSettingsOnly) {
    Parse(
        "[Settings]\nSD Skipfactor = 3\n[General Filter]\nSD Skipfactor = 7\nYaw MinFrames = 5\n");
    const HeadFilters filters = Filters();
    for (const AxisFilter* filter : {&filters.Yaw(), &filters.Pitch(), &filters.Roll()}) {
        EXPECT_EQ(filter->Parameters().SDSkipfactor, 3.0f);
    }
}

TEST_F(FilterProfiles, FilteringOffLeavesEveryAxisUnsmoothed) {
    Parse(
        "[Settings]\nUse Filtering = false\n[General Filter]\nYaw MinFrames = 9\nYaw MaxFrames = "
        "300\n");
    const HeadFilters filters = Filters();
    for (const AxisFilter* filter : {&filters.Yaw(), &filters.Pitch(), &filters.Roll()}) {
        EXPECT_EQ(filter->Parameters().MinFrames, 1);
        EXPECT_EQ(filter->MaxFrames(), 1);
    }
}

TEST_F(FilterProfiles, CopyFromAppliesTheNamedSectionFirst) {
    Parse(
        "[Base]\nYaw MinFrames = 3\nPitch MinFrames = 4\n"
        "[Example Car]\nCopy From = Base\nYaw MinFrames = 7\n"
        "[Lone Car]\nCopy From = Missing\nRoll MinFrames = 6\n");
    Drive("Example Car");
    EXPECT_EQ(Filters().Yaw().Parameters().MinFrames, 7);
    EXPECT_EQ(Filters().Pitch().Parameters().MinFrames, 4);
    Drive("Lone Car");
    EXPECT_EQ(Filters().Roll().Parameters().MinFrames, 6);
}

TEST_F(FilterProfiles, CopyFromLoopsEndAndStillApplyEverySectionOnce) {
    Parse(
        "[Self]\nCopy From = Self\nYaw MinFrames = 6\n"
        "[A]\nCopy From = B\nYaw MinFrames = 11\n"
        "[B]\nCopy From = A\nYaw MinFrames = 12\nPitch MinFrames = 13\n");
    Drive("Self");
    EXPECT_EQ(Filters().Yaw().Parameters().MinFrames, 6);
    Drive("A");
    EXPECT_EQ(Filters().Yaw().Parameters().MinFrames, 11);  // A is applied after B
    EXPECT_EQ(Filters().Pitch().Parameters().MinFrames, 13);
}

TEST_F(FilterProfiles, AVeryLongCopyFromChainNeitherOverflowsTheStackNorLosesOrder) {
    // 100000 sections, each copying from the next; the farthest sets pitch, the nearest yaw.
    constexpr int kLength = 100000;
    std::string text;
    for (int i = 0; i < kLength; ++i) {
        text += "[S" + std::to_string(i) + "]\nCopy From = S" + std::to_string(i + 1) +
                "\nYaw MinFrames = " + std::to_string(i + 2) + "\n";
    }
    text += "[S" + std::to_string(kLength) + "]\nPitch MinFrames = 42\n";
    Parse(text);
    Drive("S0");
    EXPECT_EQ(Filters().Yaw().Parameters().MinFrames, 2);
    EXPECT_EQ(Filters().Pitch().Parameters().MinFrames, 42);
}

TEST_F(FilterProfiles, SectionNamesMatchExactly) {
    Parse("[ Example Car ]\nYaw MinFrames = 7\n[example car]\nYaw MinFrames = 8\n");
    Drive("Example Car");
    EXPECT_EQ(Filters().Yaw().Parameters().MinFrames, 5);
}

TEST_F(FilterProfiles, ReloadingAlternateRingLengthsKeepsAStillHeadWhereItIs) {
    // Every reload applies "General Filter" (250) and then the car (120): the history must
    // survive each grow-and-shrink, or the camera would snap toward the centre.
    const std::string text =
        "[General Filter]\nYaw MaxFrames = 250\n"
        "[Formula Red]\nCopy From = General Filter\nYaw MaxFrames = 120\n";
    Parse(text);
    Drive("Formula Red");
    constexpr std::int32_t kThirtyDegrees = 65536 * 30 / 360;
    for (int i = 0; i < 300; ++i) {
        head.AddReading({kThirtyDegrees, 0, 0});
    }
    ASSERT_EQ(Yaw().Output(), kThirtyDegrees);
    for (int reload = 0; reload < 5; ++reload) {
        Parse(text);
        ASSERT_EQ(Yaw().MaxFrames(), 120);
        head.AddReading({kThirtyDegrees, 0, 0});
        EXPECT_EQ(Yaw().Output(), kThirtyDegrees) << "after reload " << reload;
    }
}

// The host side's records read back by the plug-in's own reader: both keep the game's layout.
TEST(VehicleRecords, ThePlayersVehicleIsTheFirstMarkedOne) {
    struct Case {
        const char* what;
        std::vector<VehicleRecords::Vehicle> vehicles;
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
         unterminated.substr(0, VehicleRecords::kNameCapacity)},
    };
    for (const Case& c : cases) {
        VehicleRecords records;
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

class VehicleChanges : public FilterProfiles {
protected:
    VehicleChanges() {
        Parse(
            "[General Filter]\nYaw MinFrames = 5\n"
            "[Formula Red]\nYaw MinFrames = 9\nPitch MinFrames = 7\n"
            "[Touring Blue]\nYaw DecreaseFrame = 120\n");
    }
};

TEST_F(VehicleChanges, AChangeReappliesGeneralThenTheVehicle) {
    EXPECT_TRUE(head.ChangeVehicle("Formula Red"));
    EXPECT_EQ(Yaw().Parameters().MinFrames, 9);
    EXPECT_FALSE(head.ChangeVehicle("Formula Red")) << "the same vehicle again is no change";
    EXPECT_TRUE(head.ChangeVehicle("Touring Blue"));
    EXPECT_EQ(Yaw().Parameters().MinFrames, 5);              // "General Filter" sets it again
    EXPECT_EQ(Filters().Pitch().Parameters().MinFrames, 7);  // nothing sets it again: it stays
    EXPECT_EQ(Yaw().Parameters().DecreaseFrame, 120.0f);
}

}  // namespace
}  // namespace velmora
