// velmora-check's findings on a table of settings files, each with the lines and kinds it must
// report and no others (none for the example files).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "check/bridge_check.h"
#include "check/settings_check.h"
#include "tracking/shared_head.h"

namespace velmora::check {
namespace {

using Found = std::vector<std::pair<std::size_t, FindingKind>>;
using enum FindingKind;

std::string Contents(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Each file with the lines and kinds of its findings, and words that the player must read in them.
TEST(SettingsCheck, ReportsWhatWouldSurpriseAPlayerOnceALine) {
    const struct {
        std::string file;
        std::string text;
        Found expected;
        std::string says = "";
    } cases[] = {
        {"Velmora.cfg", Contents("Velmora.cfg"), {}},
        {"IWEARDRV.cfg", Contents("IWEARDRV.cfg"), {}},
        {"Velmora.cfg", "[General Filter]\nPitch Down Enable = false\n", {{2, UnknownKey}}},
        // A tab is no space to the reader, though it looks like one.
        {"Velmora.cfg",
         "[General Filter]\nYaw Left Enabled\t= false\nYaw Right Enabled = true\t\n",
         {{2, UnknownKey}, {3, ReadsAsOff}},
         "\"Yaw Left Enabled\\t\" is no key Velmora reads: it ends in a tab (shown as \\t), "
         "which Velmora reads as part of the name, unlike a space. Did you mean \"Yaw Left "
         "Enabled\"?"},
        // Without the mark skipped, the header would be a key and the others outside any section.
        {"Velmora.cfg",
         "\xEF\xBB\xBF[Settings]\r\nUse Tracker = 1\r\nTestMode = FALSE\r\n",
         {{2, ReadsAsOff}}},
        {"Velmora.cfg",
         "[A]\nCopy From = B\nYaw MinFrames = 2\n[B]\nCopy From = A\n",
         {{5, CopyLoop}}},
        {"Velmora.cfg",
         "[General Filter]\nYaw MinFrames = 0\nYaw MaxFrames = 20000\nPitch DecreaseFrame = 0.5\n"
         "Roll OffsetFrame = -1\n[Formula Red]\nCopy From = General Filter\nRoll MinFrames = 8\n"
         "Roll MaxFrames = 3\nYaw Trend = 2\n",
         {{2, Clamped}, {3, Clamped}, {4, Clamped}, {5, Clamped}, {9, Clamped}, {10, Clamped}},
         "[General Filter] Yaw MaxFrames: 20000 is more than 10000: it counts as 10000"},
        // A line every car applies, and one that reads in part and is clamped: one finding each.
        {"Velmora.cfg",
         "[General Filter]\nYaw MaxFrames = 3\nPitch MinFrames = 0.5\n[Formula Red]\n"
         "Yaw MinFrames = 8\n[Touring Blue]\nCopy From = General Filter\n",
         {{2, Clamped}, {3, PartlyRead}},
         "Yaw MaxFrames: 3 is below MinFrames (5): it counts as 5"},
        {"Velmora.cfg",
         "[Setting]\nUse Tracker = false\n",
         {{1, SectionName}, {2, MisplacedKey}},
         "[Setting]: did you mean [Settings]?"},
        {"Velmora.cfg",
         "; nothing but a comment\n[Settings]\n",
         {{0, NothingRead}},
         "every setting keeps its default"},
        {"IWEARDRV.cfg",
         "\xEF\xBB\xBFport = 5000\nport = 5001\nstaleness = 300\ninvert_yaw = 1\nport = many\n",
         {{1, Duplicate}, {3, UnknownKey}, {4, ReadsAsOff}, {5, Unreadable}}},
        {"IWEARDRV.cfg", "address = 203.0.113.77\n", {{1, NotThisComputer}}},  // for documents
        {"IWEARDRV.cfg", "offset_yaw = 2,5", {{1, Unreadable}}, "decimal point is '.'"},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.text.empty());
        const std::vector<Finding> findings = c.file == "IWEARDRV.cfg"
                                                  ? CheckBridge(c.text).findings
                                                  : CheckSettings(c.text).findings;
        Found found;
        std::string texts;
        for (const Finding& finding : findings) {
            found.emplace_back(finding.line, finding.kind);
            texts += finding.text + "\n";
        }
        EXPECT_EQ(found, c.expected) << c.file << ":\n" << c.text;
        EXPECT_NE(texts.find(c.says), std::string::npos) << texts;
    }
}

// A section is named after its car, so only a name close to a fixed section's is taken for a
// slip, and then only when no "Copy From" names it.
TEST(SettingsCheck, ListsAsCarsEverySectionButAMisspeltOne) {
    const auto profiles = CheckSettings(
                              "[Settngs]\nUse Tracker = false\n[Genral Filter]\nYaw MinFrames = 3\n"
                              "[Formula Red]\nCopy From = Genral Filter\n")
                              .profiles;
    ASSERT_EQ(profiles.size(), 3u);  // "any other car" first
    EXPECT_EQ(profiles[1].car + ", " + profiles[2].car, "Formula Red, Genral Filter");
}

// What the check shows for a car is what the plug-in holds once a session has read the file (no
// car known yet: the key lines before the first header apply) and the game has named the car.
TEST(SettingsCheck, ShowsForEachCarWhatThePlugInHoldsOnceTheGameNamesIt) {
    const std::string text =
        "Pitch DecreaseFrame = 50\nRoll MaxFrames = 77\nYaw MinFrames = 9\nYaw Left Enabled = no\n"
        "[Settings]\nSD Skipfactor = 3\n[General Filter]\nYaw MinFrames = 4\n"
        "[Formula Red]\nYaw MaxFrames = 2\nRoll Right Enabled = false\n";
    for (const std::string car : {"", "Formula Red"}) {
        Switches switches;
        SharedHead head(switches, "");
        head.BeginSession(text);
        head.ChangeVehicle(car.empty() ? "A Car Without A Section" : car);
        ConfigFile config;
        config.Parse(text);
        const AppliedProfile applied =
            ApplyProfiles(config, car.empty() ? std::nullopt : std::optional(car));
        EXPECT_TRUE(applied.axes == head.Filters().Settings()) << car;
        for (std::size_t i = 0; i < applied.directions.size(); ++i) {
            EXPECT_EQ(applied.directions[i], switches.Allows(static_cast<keys::Direction>(i)))
                << car << ", direction " << i;
        }
    }
}

}  // namespace
}  // namespace velmora::check
