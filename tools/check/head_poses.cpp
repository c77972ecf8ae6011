#include "check/head_poses.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <thread>

#include "check/bridge_check.h"
#include "check/check_report.h"
#include "drivers/udp/datagram.h"
#include "drivers/udp/datagram_socket.h"

namespace velmora::check {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kQuietWarning = 5s;
constexpr auto kLineInterval = 250ms;

// One angle in the sender's convention, with the way the head turns.
std::string Angle(const char* name, double degrees, const char* negative, const char* positive) {
    char text[64];
    const char* way = std::fabs(degrees) < 0.5 ? "" : degrees < 0.0 ? negative : positive;
    std::snprintf(text, sizeof text, "%s %+6.1f %-5s", name, degrees, way);
    return text;
}

void Say(std::FILE* out, const std::string& text) {
    PrintWrapped(out, "", 0, text);
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

std::string Place(std::uint32_t address, std::uint16_t port) {
    return DottedAddress(address) + ", port " + std::to_string(port);
}

constexpr auto kSendInterval = std::chrono::milliseconds(10);
constexpr double kSweepDegrees = 30.0;
constexpr double kSweepSeconds = 4.0;
constexpr double kPi = 3.141592653589793;

}  // namespace

bool ListenForPoses(std::uint32_t address, std::uint16_t port, double seconds, std::FILE* out) {
    const std::string where = Place(address, port);
    udp::DatagramSocket socket;
    switch (socket.Open(address, port)) {
        case udp::DatagramSocket::Opened::Yes:
            break;
        case udp::DatagramSocket::Opened::PortTaken:
            Say(out, "Cannot listen on " + where +
                         ": another program holds the port. While the game runs with the UDP "
                         "bridge, the bridge holds it: close the game first. Otherwise close the "
                         "other program, or choose another port in IWEARDRV.cfg and in the "
                         "tracking software.");
            return false;
        case udp::DatagramSocket::Opened::NotThisComputer:
            Say(out, "Cannot listen on " + where + ": " + DottedAddress(address) +
                         " is not an address of this computer, so the bridge cannot listen there "
                         "either.");
            return false;
        case udp::DatagramSocket::Opened::Failed:
            Say(out, "Cannot listen on " + where +
                         ": the system refuses a socket there, and would refuse the bridge too.");
            return false;
    }
    char length[32];
    std::snprintf(length, sizeof length, "%g", seconds);
    Say(out, "Listening on " + where + " for " + length +
                 " seconds (Ctrl-C ends it). Angles in degrees as the tracking software sends "
                 "them: yaw positive to the right, pitch up, roll to the right.");
    std::fflush(out);

    // Longer than any head pose, so that the size of anything else shows.
    unsigned char buffer[2048];
    const auto start = Clock::now();
    const auto end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto nextLine = start + kLineInterval;
    long poses = 0;
    long others = 0;
    long posesSinceLine = 0;
    std::optional<udp::SenderPose> newest;
    bool warned = false;
    while (Clock::now() < end) {
        std::size_t length = 0;
        const auto receipt = socket.Receive(buffer, sizeof buffer, length);
        if (receipt == udp::DatagramSocket::Receipt::Datagram) {
            if (const auto pose = udp::DecodeDatagram(buffer, length)) {
                newest = pose;
                ++poses;
                ++posesSinceLine;
            } else if (others++ == 0) {
                std::fprintf(out,
                             "%6.1f s  a datagram of %lu bytes%s that is no head pose: the bridge "
                             "takes exactly 48 bytes, six finite numbers\n",
                             Seconds(Clock::now() - start), static_cast<unsigned long>(length),
                             length >= sizeof buffer ? " or more" : "");
            }
            continue;
        }
        const auto now = Clock::now();
        if (now >= nextLine) {
            nextLine += kLineInterval;
            if (posesSinceLine > 0) {
                std::fprintf(out, "%5.1f s  %s  %s  %s  %3.0f/s\n", Seconds(now - start),
                             Angle("yaw", newest->yaw, "left", "right").c_str(),
                             Angle("pitch", newest->pitch, "down", "up").c_str(),
                             Angle("roll", newest->roll, "left", "right").c_str(),
                             static_cast<double>(posesSinceLine) / Seconds(kLineInterval));
                posesSinceLine = 0;
            }
        }
        if (!warned && poses == 0 && now - start >= kQuietWarning) {
            warned = true;
            Say(out, "Nothing has arrived in " + std::to_string(kQuietWarning.count()) +
                         " seconds. Check that the tracking software is tracking, that its UDP "
                         "output (\"UDP over network\") is on, and that it sends to " +
                         where + ".");
        }
        std::fflush(out);
        std::this_thread::sleep_for(2ms);
    }
    std::fprintf(out, "%ld head poses arrived", poses);
    if (others > 0) {
        std::fprintf(out, ", and %ld other datagrams the bridge ignores", others);
    }
    std::fprintf(out, ".\n");
    return poses > 0;
}

bool SendPoses(std::uint32_t address, std::uint16_t port,
               const std::optional<udp::SenderPose>& pose, double seconds, std::FILE* out) {
    const std::string where = Place(address, port);
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
        next += kSendInterval;
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
