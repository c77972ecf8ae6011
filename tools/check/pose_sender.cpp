#include "pose_sender.h"

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "drivers/udp/datagram_socket.h"
#include "written_text.h"

namespace velmora::check {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kInterval = std::chrono::milliseconds(10);
constexpr double kSweepDegrees = 30.0;
constexpr double kSweepSeconds = 4.0;
constexpr double kPi = 3.141592653589793;

}  // namespace

bool SendPoses(std::uint32_t address, std::uint16_t port,
               const std::optional<udp::SenderPose>& pose, double seconds, std::FILE* out) {
    const std::string where = DottedAddress(address) + ", port " + std::to_string(port);
    // On any address, as an unbound socket would be at its first send.
    udp::DatagramSocket sender;
    if (sender.Open(0, 0) != udp::DatagramSocket::Opened::Yes) {
        std::fprintf(out, "Cannot make a UDP socket to send from.\n");
        return false;
    }
    char text[300];
    if (pose) {
        std::snprintf(text, sizeof text,
                      "Sending yaw %g, pitch %g, roll %g to %s, 100 times a second for %g s.",
                      pose->yaw, pose->pitch, pose->roll, where.c_str(), seconds);
    } else {
        std::snprintf(text, sizeof text,
                      "Sending a head turning slowly from %g degrees left to %g right and back "
                      "to %s, 100 times a second for %g s.",
                      kSweepDegrees, kSweepDegrees, where.c_str(), seconds);
    }
    PrintWrapped(out, "", 0, text);
    std::fflush(out);
    const auto start = Clock::now();
    auto next = start;
    long sent = 0;
    long failed = 0;
    for (double elapsed = 0.0; elapsed < seconds;
         elapsed = std::chrono::duration<double>(Clock::now() - start).count()) {
        udp::SenderPose now;
        if (pose) {
            now = *pose;
        } else {
            now.yaw = kSweepDegrees * std::sin(2.0 * kPi * elapsed / kSweepSeconds);
        }
        const auto bytes = udp::EncodeDatagram(now);
        (sender.Send(address, port, bytes.data(), bytes.size()) ? sent : failed) += 1;
        next += kInterval;
        std::this_thread::sleep_until(next);
    }
    std::fprintf(out, "Sent %ld head poses", sent);
    if (failed > 0) {
        std::fprintf(out, "; %ld could not be sent", failed);
    }
    std::fprintf(out, ".\n");
    return sent > 0;
}

}  // namespace velmora::check
