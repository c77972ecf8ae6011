#include "drivers/udp/bridge_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "scratch_directory.h"

namespace velmora::udp {
namespace {

TEST(BridgeSettings, WithoutAFileTheDefaultsListenOnLoopbackPort4242) {
    const test::ScratchDirectory directory;
    const BridgeSettings settings = LoadSettings(directory.Path() / "IWEARDRV.cfg");
    EXPECT_EQ(settings.address, 0x7F000001u);
    EXPECT_EQ(settings.port, 4242);
    EXPECT_EQ(settings.stalenessMs, 500u);
    for (const AxisSetting* axis : {&settings.yaw, &settings.pitch, &settings.roll}) {
        EXPECT_FALSE(axis->invert);
        EXPECT_EQ(axis->offset, 0.0);
    }
}

TEST(BridgeSettings, EveryKeyIsReadFromAFile) {
    const test::ScratchDirectory directory;
    std::ofstream(directory.Path() / "IWEARDRV.cfg", std::ios::binary)
        << "; the tracker PC's settings\r\n"
           "address = 192.168.1.20\r\n"
           "port=5555\r\n"
           "  Staleness_MS  =  250   ; quicker\r\n"
           "invert_yaw = TRUE\n"
           "invert_pitch = True\n"
           "invert_roll = false\n"
           "offset_yaw = -12.5\n"
           "offset_pitch = +3\n"
           "offset_roll = 1e1\n";
    const BridgeSettings settings = LoadSettings(directory.Path() / "IWEARDRV.cfg");
    EXPECT_EQ(settings.address, 0xC0A80114u);
    EXPECT_EQ(settings.port, 5555);
    EXPECT_EQ(settings.stalenessMs, 250u);
    EXPECT_TRUE(settings.yaw.invert);
    EXPECT_TRUE(settings.pitch.invert);
    EXPECT_FALSE(settings.roll.invert);
    EXPECT_EQ(settings.yaw.offset, -12.5);
    EXPECT_EQ(settings.pitch.offset, 3.0);
    EXPECT_EQ(settings.roll.offset, 10.0);
}

struct BadValue {
    const char* line;
};

TEST(BridgeSettings, AValueThatCannotBeReadKeepsItsDefault) {
    const BadValue cases[] = {
        {"port = 0"},
        {"port = 65536"},
        {"port = -1"},
        {"port = 42x"},
        {"port = 4 2"},
        {"port ="},
        {"port = 0x10"},
        {"address = localhost"},
        {"address = 0.0.0.0"},
        {"address = 255.255.255.255"},
        {"address = 224.0.0.1"},
        {"address = 127.0.0"},
        {"address = 127.0.0.1.1"},
        {"address = 127.0.0.256"},
        {"address = 127..0.1"},
        {"address = ::1"},
        {"address = 127.0.0.1 x"},
        {"staleness_ms = 0"},
        {"staleness_ms = 60001"},
        {"staleness_ms = 1.5"},
        {"staleness_ms = 1e3"},
        {"invert_yaw ="},
        {"offset_yaw = 180.5"},
        {"offset_yaw = -200"},
        {"offset_yaw = nan"},
        {"offset_yaw = inf"},
        {"offset_yaw = 10deg"},
        {"offset_yaw = +-5"},
        {"offset_yaw = 1,5"},
        {"offset_yaw = 1e400"},
    };
    const BridgeSettings defaults;
    for (const auto& c : cases) {
        const BridgeSettings settings = ParseSettings(c.line);
        EXPECT_EQ(settings.port, defaults.port) << c.line;
        EXPECT_EQ(settings.address, defaults.address) << c.line;
        EXPECT_EQ(settings.stalenessMs, defaults.stalenessMs) << c.line;
        EXPECT_EQ(settings.yaw.invert, defaults.yaw.invert) << c.line;
        EXPECT_EQ(settings.yaw.offset, defaults.yaw.offset) << c.line;
    }
}

// The plug-in's rule: on exactly for "true" in any letter case, off for any other text. A later
// line wins, so each case starts from the opposite value.
TEST(BridgeSettings, AYesNoValueIsOnOnlyWhenItReadsTrue) {
    const struct {
        const char* value;
        bool on;
    } cases[] = {{"true", true}, {"TRUE", true}, {"True", true},   {"1", false},
                 {"yes", false}, {"on", false},  {"false", false}, {"0", false}};
    for (const auto& c : cases) {
        const std::string from = c.on ? "false" : "true";
        const BridgeSettings settings =
            ParseSettings("invert_roll = " + from + "\ninvert_roll = " + c.value + "\n");
        EXPECT_EQ(settings.roll.invert, c.on) << c.value;
    }
}

// Notepad may save UTF-8 with a byte-order mark: the first line still counts, and only one mark
// is skipped.
TEST(BridgeSettings, ALeadingByteOrderMarkIsNoPartOfTheFirstKey) {
    EXPECT_EQ(ParseSettings("\xEF\xBB\xBFport = 5000\n").port, 5000);
    EXPECT_EQ(ParseSettings("\xEF\xBB\xBF\xEF\xBB\xBFport = 5000\n").port, 4242);
}

TEST(BridgeSettings, ABadLineLeavesTheOthersAndTheLastGoodValueWins) {
    const BridgeSettings settings = ParseSettings(
        "port = 5000\n"
        "port = many\n"
        "no equals sign here\n"
        "= 7\n"
        "colour = blue\n"
        "; port = 6000\n"
        "offset_roll = 5 ; port = 6001\n"
        "port = 5001\n");
    EXPECT_EQ(settings.port, 5001);
    EXPECT_EQ(settings.roll.offset, 5.0);
}

}  // namespace
}  // namespace velmora::udp
