// velmora-host runs the real plug-in with a copy of the bridge as its driver while this test sends
// head poses. The largest value of each control in the host's summary shows that the poses came
// through with their signs, and that a reset while the sender was quiet centred the camera on the
// first pose after it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "bridge_copy.h"
#include "drivers/udp/datagram.h"

namespace velmora::udp::test {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// The sender's convention: yaw positive to the right, pitch up, roll to the right; each direction
// has a size of its own. After the quiet spell the first pose becomes the centre, and the second
// is 40 degrees to the left of it.
const SenderPose kPhases[] = {{0, 0, 0, -30.0, 20.0, 20.0}, {0, 0, 0, 15.0, -10.0, -10.0}};
const SenderPose kResumed[] = {{0, 0, 0, 45.0, 0.0, 0.0}, {0, 0, 0, 5.0, 0.0, 0.0}};
// The raw reading (65536 to the turn) over 32768 times the gain: yaw 4.2, pitch 7.5, roll 4.
const std::map<std::string, double> kLargest = {
    {"Camera_YawLeft", 7282 / 32768.0 * 4.2},   {"Camera_YawRight", 2731 / 32768.0 * 4.2},
    {"Camera_PitchUp", 3641 / 32768.0 * 7.5},   {"Camera_PitchDown", 1820 / 32768.0 * 7.5},
    {"Camera_RollRight", 3641 / 32768.0 * 4.0}, {"Camera_RollLeft", 1820 / 32768.0 * 4.0}};

// In seconds from the launch. The host opens the bridge at most kLongestStart after it, and
// resets kResetAt after its own start: the first phase lasts until the bridge is surely open, and
// the quiet spell, from the second phase's end plus the staleness limit (0.3 s) and half a second
// to spare, covers the reset however late the host started.
constexpr double kPhase = 0.7, kLongestStart = 4.0, kResetAt = kLongestStart + 2 * kPhase + 0.8;
constexpr double kResume = kResetAt + kLongestStart + 0.5, kHostRun = kResume + 2 * 1.0 + 0.5;

TEST(HostWithTheBridge, TheControlsFollowThePoseAndAResetWhileTheSenderIsQuietCentresOnItsNext) {
    const BridgeCopy bridge("host", "staleness_ms = 300\n");
    const auto plugin = bridge.directory / HostPluginFileName();
    std::filesystem::copy_file(ProgramDirectory() / HostPluginFileName(), plugin);
    std::ofstream(bridge.directory / "Velmora.cfg") << "[Settings]\nUse Filtering = true\n";
    // Through the system's shell, each argument quoted; cmd, the shell on Windows, drops the
    // first and the last quote of a line that begins with one.
    std::string command;
    for (const std::string& argument :
         {(ProgramDirectory() / VELMORA_HOST_FILE_NAME).string(), std::string("--plain"),
          std::string("--fps=100"), "--duration=" + std::to_string(kHostRun),
          "--reset-at=" + std::to_string(kResetAt), "--plugin=" + plugin.string(),
          "--driver=" + bridge.library.string(),
          "--summary=" + (bridge.directory / "run.summary").string()}) {
        command += '"' + argument + "\" ";
    }
    int status = -1;
    const auto launched = Clock::now();
    std::thread host(
        [&] { status = std::system((VELMORA_CMD_SHELL ? '"' + command + '"' : command).c_str()); });
    DatagramSocket sender;
    const auto sendUntil = [&](const SenderPose& pose, double end) {
        const auto bytes = EncodeDatagram(pose);
        while (Clock::now() < launched + Seconds(end)) {
            sender.Send(kLoopback, bridge.port, bytes.data(), bytes.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));  // as a tracker does
        }
    };
    ASSERT_EQ(sender.Open(kLoopback, 0), DatagramSocket::Opened::Yes);
    sendUntil(kPhases[0], kLongestStart + kPhase);
    sendUntil(kPhases[1], kLongestStart + 2 * kPhase);
    std::this_thread::sleep_until(launched + Seconds(kResume));
    sendUntil(kResumed[0], kResume + 1.0);
    sendUntil(kResumed[1], kResume + 2.0);
    host.join();
    ASSERT_EQ(status, 0) << "velmora-host's exit status";
    // Lines "summary.control.NAME = queries Q answered A min X max Y".
    std::ifstream file(bridge.directory / "run.summary");
    const std::string summary{std::istreambuf_iterator<char>(file), {}};
    for (const auto& [control, largest] : kLargest) {
        const auto max = summary.find(" max ", summary.find("summary.control." + control + " = "));
        ASSERT_NE(max, std::string::npos) << control;
        EXPECT_NEAR(std::strtod(summary.c_str() + max + 5, nullptr), largest, 1e-4)
            << control << " (or the host opened the bridge later than the schedule allows)";
    }
}

}  // namespace
}  // namespace velmora::udp::test
