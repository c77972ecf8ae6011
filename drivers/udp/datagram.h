#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace velmora::udp {

// The head pose as the tracking software sends it: position in centimetres, angles in degrees,
// in the sender's own sign convention (see README.md).
struct SenderPose {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double yaw = 0.0;
    double pitch = 0.0;
    double roll = 0.0;
};

// Six little-endian IEEE-754 doubles: x, y, z, yaw, pitch, roll.
inline constexpr std::size_t kDatagramSize = 48;

// The pose a datagram carries; nothing for any other size or when any of the six values is a NaN
// or an infinity. Reads the bytes as little-endian whatever the machine's own order.
std::optional<SenderPose> DecodeDatagram(const unsigned char* bytes, std::size_t size);

// The datagram a sender makes of a pose, for the tools that try the bridge without tracking
// software.
std::array<unsigned char, kDatagramSize> EncodeDatagram(const SenderPose& pose);

}  // namespace velmora::udp
