// velmora-check's findings on a table of settings files, each with the lines and kinds it must
// report and no others; the example files the release ships must give none. Then its listener
// and sender over the loopback.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bridge_check.h"
#include "drivers/udp/datagram_socket.h"
#include "loopback_socket.h"
#include "pose_listener.h"
#include "pose_sender.h"
#include "settings_check.h"

namespace velmora::check {
namespace {

using Found = std::vector<std::pair<std::size_t, FindingKind>>;
using enum FindingKind;

Found Kinds(const std::vector<Finding>& findings) {
    Found found;
    for (const Finding& finding : findings) {
        found.emplace_back(finding.line, finding.kind);
    }
    return found;
}

std::string Texts(const std::vector<Finding>& findings) {
    std::string texts;
    for (const Finding& finding : findings) {
        texts += std::to_string(finding.line) + ": " + finding.text + "\n";
    }
    return texts;
}

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct Case {
    const char* what;
    std::string text;
    Found expected;
};

TEST(SettingsCheck, ReportsWhatWouldSurpriseAPlayerLineByLine) {
    const std::string example = ReadFile("Velmora.cfg");
    ASSERT_FALSE(example.empty());
    const Case cases[] = {
        {"the example", example, {}},
        {"a misspelt key", "[General Filter]\nPitch Down Enable = false\n", {{2, UnknownKey}}},
        {"\"1\" for yes", "[Settings]\nUse Tracker = 1\nTestMode = FALSE\n", {{2, ReadsAsOff}}},
        // Without the mark skipped, the header would be a key and TestMode outside any section.
        {"a byte-order mark", "\xEF\xBB\xBF[Settings]\r\nTestMode = yes\r\n", {{2, ReadsAsOff}}},
        {"a loop of two, reported once",
         "[A]\nCopy From = B\nYaw MinFrames = 2\n[B]\nCopy From = A\n",
         {{5, CopyLoop}}},
        {"a section copying itself", "[A]\nCopy From = A\nYaw MinFrames = 2\n", {{2, CopyLoop}}},
        {"clamps",
         "[General Filter]\nYaw MinFrames = 0\nYaw MaxFrames = 20000\nPitch DecreaseFrame = 0.5\n"
         "Roll OffsetFrame = -1\n[Formula Red]\nCopy From = General Filter\nRoll MinFrames = 8\n"
         "Roll MaxFrames = 3\n",
         {{2, Clamped}, {3, Clamped}, {4, Clamped}, {5, Clamped}, {9, Clamped}}},
        {"numbers that do not read, or not wholly",
         "[Settings]\nSD Skipfactor = 2,5\n[General Filter]\nYaw MaxFrames = many\n"
         "Yaw MinFrames = 2x\n",
         {{2, PartlyRead}, {4, Unreadable}, {5, PartlyRead}}},
        {"a Copy From naming no section",
         "[Formula Red]\nCopy From = Genral Filter\nYaw MaxFrames = 100\n",
         {{2, MissingSection}}},
        {"keys where they count for nothing",
         "[General Filter]\nSD Skipfactor = 3\n[Settings]\nYaw MinFrames = 3\n",
         {{2, MisplacedKey}, {4, MisplacedKey}}},
        {"a spaced header and a repeated key",
         "[Settings]\n [General Filter]\nTestMode = false\nTestMode = true\n",
         {{2, NotAHeader}, {4, Duplicate}}},
        {"section names",
         "[General filter]\nYaw MinFrames = 3\n[ Formula Red ]\nYaw MinFrames = 3\n",
         {{1, SectionName}, {3, SectionName}}},
        {"lines before any header and a line without '='",
         "Use Tracker = true\nTestMode = true\n[General Filter]\nYaw MinFrames 3\n",
         {{1, OutsideSections}, {4, NoEquals}}},
        // "Settings" applied as a profile through a Copy From: its profile keys count.
        {"Settings as a profile",
         "[Settings]\nYaw MinFrames = 3\n[Car]\nCopy From = Settings\n",
         {}},
        {"UTF-16", std::string("\xFF\xFE[\0S\0]\0", 8), {{1, Encoding}}},
    };
    for (const Case& c : cases) {
        const SettingsReport report = CheckSettings(c.text);
        EXPECT_EQ(Kinds(report.findings), c.expected) << c.what << "\n" << Texts(report.findings);
    }
}

TEST(SettingsCheck, ReportsWhatTheBridgeWouldSkipOrCannotUse) {
    const std::string example = ReadFile("IWEARDRV.cfg");
    ASSERT_FALSE(example.empty());
    // 192.0.2.0/24 is kept for documentation: no computer has it, and Linux and Windows refuse to
    // bind it. Wine binds any address, and there the bridge would listen on it too.
    const bool elsewhereRefused = !udp::DatagramSocket().Open(0xC0000207, 0);
    Found elsewhere = {{1, Unreadable}, {2, NotThisComputer}, {3, Unreadable}};
    if (!elsewhereRefused) {
        elsewhere.erase(elsewhere.begin() + 1);
    }
    const Case cases[] = {
        {"the example", example, {}},
        {"\"1\" for yes", "invert_yaw = 1\ninvert_roll = TRUE\n", {{1, ReadsAsOff}}},
        {"a port out of range and an address elsewhere",
         "port = 70000\naddress = 192.0.2.7\naddress = 127.0.0.1 x\n", elsewhere},
        {"a byte-order mark, a key set twice, a misspelt key",
         "\xEF\xBB\xBFport = 5000\nport = 5001\nstaleness = 300\nport = many\n",
         {{1, Duplicate}, {3, UnknownKey}, {4, Unreadable}}},
    };
    for (const Case& c : cases) {
        const BridgeReport report = CheckBridge(c.text);
        EXPECT_EQ(Kinds(report.findings), c.expected) << c.what << "\n" << Texts(report.findings);
    }
}

// What the listener wrote, from a scratch file.
std::string Written(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST(PoseListener, ShowsThePosesTheSenderSendsAndSaysWhenThePortIsHeld) {
    const std::uint16_t port = udp::test::FindFreePort();
    ASSERT_NE(port, 0);
    std::FILE* listened = std::tmpfile();
    std::FILE* sent = std::tmpfile();
    ASSERT_TRUE(listened != nullptr && sent != nullptr);
    bool arrived = false;
    std::thread listener([&] { arrived = ListenForPoses(0x7F000001, port, 2.0, listened); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(SendPoses(0x7F000001, port, udp::SenderPose{0, 0, 0, 30.0, -10.0, 5.0}, 1.0, sent));
    listener.join();
    EXPECT_TRUE(arrived);
    EXPECT_NE(Written(listened).find("yaw  +30.0 right"), std::string::npos) << Written(listened);

    udp::test::LoopbackSocket holder;
    ASSERT_TRUE(holder.Bind(port));
    std::FILE* refused = std::tmpfile();
    EXPECT_FALSE(ListenForPoses(0x7F000001, port, 2.0, refused));
    EXPECT_NE(Written(refused).find("another program holds the port"), std::string::npos)
        << Written(refused);
    for (std::FILE* file : {listened, sent, refused}) {
        std::fclose(file);
    }
}

}  // namespace
}  // namespace velmora::check
