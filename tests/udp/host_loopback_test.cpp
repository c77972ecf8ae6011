// velmora-host runs the real plug-in with a copy of the bridge as its tracker driver while this
// test sends head poses over the loopback. The largest value of each control in the host's summary
// shows that the poses came through with their signs, and that a reset pressed while the sender
// was quiet centred the camera on the first pose after it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "bridge_copy.h"
#include "drivers/udp/datagram.h"
#include "wait_until.h"

namespace velmora::udp::test {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// The sender's convention: yaw positive to the right, pitch up, roll to the right. Each direction
// gets its own size. After the quiet spell the first pose becomes the centre, and the second is 40
// degrees to the left of it.
const SenderPose kPhases[] = {{0, 0, 0, -30.0, 20.0, 20.0}, {0, 0, 0, 15.0, -10.0, -10.0}};
const SenderPose kResumed[] = {{0, 0, 0, 45.0, 0.0, 0.0}, {0, 0, 0, 5.0, 0.0, 0.0}};
// The raw reading (65536 to the turn) over 32768 times the control's gain: yaw 4.2, pitch 7.5,
// roll 4.
const std::map<std::string, double> kLargest = {
    {"Camera_YawLeft", 7282 / 32768.0 * 4.2},   {"Camera_YawRight", 2731 / 32768.0 * 4.2},
    {"Camera_PitchUp", 3641 / 32768.0 * 7.5},   {"Camera_PitchDown", 1820 / 32768.0 * 7.5},
    {"Camera_RollRight", 3641 / 32768.0 * 4.0}, {"Camera_RollLeft", 1820 / 32768.0 * 4.0}};

// In seconds. The host resets at a fixed time after its Start, which comes somewhere between the
// test's launch of it and the moment the bridge holds its port. The quiet spell covers the reset
// however that moment falls, as long as the host opens the bridge within kLongestStart.
constexpr double kPhaseFor = 0.7, kStaleness = 0.3, kLongestStart = 4.0, kResumedFor = 1.0;
constexpr double kResetAt = kLongestStart + 2 * kPhaseFor + kStaleness + 0.5;
constexpr double kHostRun = kLongestStart + kResetAt + 0.5 + 2 * kResumedFor + 0.5;

TEST(HostWithTheBridge, TheControlsFollowThePoseAndAResetWhileTheSenderIsQuietCentresOnItsNext) {
    const BridgeCopy bridge("host", "staleness_ms = 300\n");
    std::filesystem::copy_file(ProgramDirectory() / HostPluginFileName(),
                               bridge.directory / HostPluginFileName());
    std::ofstream(bridge.directory / "Velmora.cfg") << "[Settings]\nUse Filtering = true\n";
    // Through the system's shell, each argument quoted; cmd, the shell on Windows, drops the
    // first and the last quote of a line that begins with one.
    std::string command;
    for (const std::string& argument :
         {(ProgramDirectory() / VELMORA_HOST_FILE_NAME).string(), std::string("--plain"),
          std::string("--fps=100"), "--duration=" + std::to_string(kHostRun),
          "--reset-at=" + std::to_string(kResetAt),
          "--plugin=" + (bridge.directory / HostPluginFileName()).string(),
          "--driver=" + bridge.library.string(),
          "--summary=" + (bridge.directory / "run.summary").string()}) {
        command += '"' + argument + "\" ";
    }
    std::atomic<bool> ended{false};
    int status = -1;
    const auto launched = Clock::now();
    std::thread host([&] {
        status = std::system((VELMORA_CMD_SHELL ? '"' + command + '"' : command).c_str());
        ended = true;
    });
    // The plug-in has opened the tracker once the bridge holds the port. Probe gently and want
    // two answers in a row: under Wine a probe's own socket can linger just after it is closed
    // (a false "taken"), and probing without pause can keep the port from the bridge.
    int takenInARow = 0;
    velmora::test::WaitUntil([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        takenInARow = PortIsTaken(bridge.port) ? takenInARow + 1 : 0;
        return ended || takenInARow >= 2;
    });
    const auto open = Clock::now();
    const bool inTime = takenInARow >= 2 && open - launched <= Seconds(kLongestStart);
    DatagramSocket sender;
    const auto sendFor = [&](const SenderPose& pose, double seconds) {
        const auto bytes = EncodeDatagram(pose);
        for (const auto end = Clock::now() + Seconds(seconds); Clock::now() < end;) {
            sender.Send(kLoopback, bridge.port, bytes.data(), bytes.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));  // as a tracker does
        }
    };
    if (inTime && sender.Open(kLoopback, 0)) {
        for (const SenderPose& pose : kPhases) {
            sendFor(pose, kPhaseFor);
        }
        std::this_thread::sleep_until(open + Seconds(kResetAt + 0.5));
        for (const SenderPose& pose : kResumed) {
            sendFor(pose, kResumedFor);
        }
    }
    host.join();
    ASSERT_TRUE(inTime) << "velmora-host opened no bridge within the " << kLongestStart
                        << " s the schedule allows";
    ASSERT_EQ(status, 0) << "velmora-host's exit status";
    // Lines "summary.control.NAME = queries Q answered A min X max Y".
    std::ifstream file(bridge.directory / "run.summary");
    const std::string summary{std::istreambuf_iterator<char>(file), {}};
    for (const auto& [control, largest] : kLargest) {
        const auto max = summary.find(" max ", summary.find("summary.control." + control + " = "));
        ASSERT_NE(max, std::string::npos) << control;
        EXPECT_NEAR(std::strtod(summary.c_str() + max + 5, nullptr), largest, 1e-4) << control;
    }
}

}  // namespace
}  // namespace velmora::udp::test
