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

TEST(SettingsCheck, ReportsWhatWouldSurpriseAPlayerLineByLine) {
    const struct {
        std::string file;
        std::string text;
        Found expected;
    } cases[] = {
        {"Velmora.cfg", Contents("Velmora.cfg"), {}},
        {"IWEARDRV.cfg", Contents("IWEARDRV.cfg"), {}},
        {"Velmora.cfg", "[General Filter]\nPitch Down Enable = false\n", {{2, UnknownKey}}},
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
         "Roll MaxFrames = 3\n",
         {{2, Clamped}, {3, Clamped}, {4, Clamped}, {5, Clamped}, {9, Clamped}}},
        {"IWEARDRV.cfg",
         "\xEF\xBB\xBFport = 5000\nport = 5001\nstaleness = 300\ninvert_yaw = 1\nport = many\n",
         {{1, Duplicate}, {3, UnknownKey}, {4, ReadsAsOff}, {5, Unreadable}}},
        {"IWEARDRV.cfg", "address = 203.0.113.77\n", {{1, NotThisComputer}}},  // for documents
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.text.empty());
        const std::vector<Finding> findings = c.file == "IWEARDRV.cfg"
                                                  ? CheckBridge(c.text).findings
                                                  : CheckSettings(c.text).findings;
        Found found;
        for (const Finding& finding : findings) {
            found.emplace_back(finding.line, finding.kind);
        }
        EXPECT_EQ(found, c.expected) << c.file << ":\n" << c.text;
    }
    EXPECT_NE(CheckBridge("offset_yaw = 2,5").findings.at(0).text.find("decimal point is '.'"),
              std::string::npos);
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
