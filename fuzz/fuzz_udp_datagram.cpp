// Feeds arbitrary bytes to the UDP bridge as one datagram, then reads the pose as the plug-in
// would. Beyond crashes and undefined behaviour it checks:
// - a datagram is taken exactly when it has 48 bytes and six finite values;
// - a taken pose reads back within the tracker's range on every axis, zeroed or not, and zeroing
//   on it reads back as zero with no offset set.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "drivers/udp/datagram.h"
#include "drivers/udp/pose_keeper.h"
#include "fail.h"

namespace {

using namespace velmora::udp;

bool AllFinite(const std::uint8_t* data) {
    for (int i = 0; i < 6; ++i) {
        double value;  // the fuzzing machine is little-endian, like the wire
        std::memcpy(&value, data + 8 * i, sizeof value);
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

void CheckRange(const RawReading& reading) {
    for (const std::int32_t value : {reading.yaw, reading.pitch, reading.roll}) {
        Require(value >= -32768 && value <= 32767, "a reading within the tracker's range");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pose = DecodeDatagram(data, size);
    if (pose.has_value() != (size == kDatagramSize && AllFinite(data))) {
        Fail("taken or refused against the rule");
    }
    if (!pose) {
        return 0;
    }
    PoseKeeper keeper;
    keeper.Accept(*pose, 0);
    const auto reading = keeper.Read(0);
    Require(reading.has_value(), "a fresh pose reads");
    CheckRange(*reading);
    keeper.RequestZero();
    Require(keeper.Read(0) == RawReading{}, "a pose zeroed on itself reads as zero");
    // The same bytes as a second pose against that zero.
    keeper.Accept(SenderPose{0, 0, 0, pose->roll, pose->yaw, pose->pitch}, 0);
    CheckRange(*keeper.Read(0));
    return 0;
}
