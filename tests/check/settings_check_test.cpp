// velmora-check's findings on a table of settings files, each with the lines and kinds it must
// report and no others (none for the example files); then its sender and listener.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bridge_check.h"
#include "drivers/udp/datagram_socket.h"
#include "pose_listener.h"
#include "pose_sender.h"
#include "settings_check.h"

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
}

TEST(PoseListener, ShowsThePosesTheSenderSendsAndSaysWhenThePortIsHeld) {
    constexpr std::uint32_t kLoopback = 0x7F000001;
    udp::DatagramSocket holder;
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out != nullptr && holder.Open(kLoopback, 0));
    const std::uint16_t port = holder.Port();
    EXPECT_FALSE(ListenForPoses(kLoopback, port, 1.0, out));
    holder.Close();
    bool arrived = false;
    std::thread listener([&] { arrived = ListenForPoses(kLoopback, port, 2.0, out); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(
        SendPoses(kLoopback, port, udp::SenderPose{0, 0, 0, 30.0, -10.0, 5.0}, 1.0, stdout));
    listener.join();
    EXPECT_TRUE(arrived);
    std::string written(1 << 16, '\0');
    std::rewind(out);
    written.resize(std::fread(written.data(), 1, written.size(), out));
    std::fclose(out);
    EXPECT_NE(written.find("another program holds the port"), std::string::npos) << written;
    EXPECT_NE(written.find("yaw  +30.0 right"), std::string::npos) << written;
}

}  // namespace
}  // namespace velmora::check
