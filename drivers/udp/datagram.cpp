#include "drivers/udp/datagram.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace velmora::udp {
namespace {

double LittleEndianDouble(const unsigned char* bytes) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | bytes[i];
    }
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

std::array<unsigned char, kDatagramSize> EncodeDatagram(const SenderPose& pose) {
    const double values[6] = {pose.x, pose.y, pose.z, pose.yaw, pose.pitch, pose.roll};
    std::array<unsigned char, kDatagramSize> bytes{};
    for (std::size_t i = 0; i < 6; ++i) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &values[i], sizeof bits);
        for (std::size_t b = 0; b < 8; ++b) {
            bytes[8 * i + b] = static_cast<unsigned char>(bits >> (8 * b));
        }
    }
    return bytes;
}

std::optional<SenderPose> DecodeDatagram(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr || size != kDatagramSize) {
        return std::nullopt;
    }
    double values[6];
    for (int i = 0; i < 6; ++i) {
        values[i] = LittleEndianDouble(bytes + 8 * i);
        if (!std::isfinite(values[i])) {
            return std::nullopt;
        }
    }
    return SenderPose{values[0], values[1], values[2], values[3], values[4], values[5]};
}

}  // namespace velmora::udp
