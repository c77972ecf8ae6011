#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace velmora::udp::test {

using DatagramBytes = std::array<unsigned char, 48>;

// What a sender puts on the wire: x, y, z, yaw, pitch, roll as little-endian doubles.
inline DatagramBytes EncodeDatagram(double x, double y, double z, double yaw, double pitch,
                                    double roll) {
    const double values[6] = {x, y, z, yaw, pitch, roll};
    DatagramBytes bytes{};
    for (int i = 0; i < 6; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        for (int b = 0; b < 8; ++b) {
            bytes[static_cast<std::size_t>(8 * i + b)] =
                static_cast<unsigned char>(bits >> (8 * b));
        }
    }
    return bytes;
}

inline DatagramBytes EncodeAngles(double yaw, double pitch, double roll) {
    return EncodeDatagram(0.0, 0.0, 0.0, yaw, pitch, roll);
}

}  // namespace velmora::udp::test
