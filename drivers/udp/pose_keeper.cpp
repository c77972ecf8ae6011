#include "drivers/udp/pose_keeper.h"

#include "drivers/raw_angle.h"

namespace velmora::udp {
namespace {

using raw_angle::DegreesToRaw;
using raw_angle::WrapDegrees;

// Yaw turns the other way in the plug-in: `toPlugin` is -1 for it, +1 for pitch and roll. The sign
// is applied in degrees, before the wrap, so that -180 degrees does not become +32768 units.
std::int32_t Turn(double angle, double zero, const AxisSetting& axis, double toPlugin) {
    // Both angles lie in [-180, 180), so the difference stays small; the conversion wraps it.
    const double centred = angle - zero;
    return DegreesToRaw(toPlugin * ((axis.invert ? -centred : centred) + axis.offset));
}

}  // namespace

void PoseKeeper::Configure(const BridgeSettings& settings) {
    settings_ = settings;
}

void PoseKeeper::Accept(const SenderPose& pose, std::uint64_t nowMs) {
    newest_ = Angles{WrapDegrees(pose.yaw), WrapDegrees(pose.pitch), WrapDegrees(pose.roll)};
    arrivalMs_ = nowMs;
}

void PoseKeeper::Forget() {
    newest_.reset();
}

std::optional<RawReading> PoseKeeper::Read(std::uint64_t nowMs) {
    // A clock that went back (it should not) counts as no time passed, not as a huge age.
    const std::uint64_t age = nowMs > arrivalMs_ ? nowMs - arrivalMs_ : 0;
    if (!newest_ || age > settings_.stalenessMs) {
        return std::nullopt;
    }
    if (zeroRequested_.exchange(false, std::memory_order_acquire)) {
        zero_ = *newest_;
    }
    const Angles& pose = *newest_;
    return RawReading{Turn(pose.yaw, zero_.yaw, settings_.yaw, -1.0),
                      Turn(pose.pitch, zero_.pitch, settings_.pitch, 1.0),
                      Turn(pose.roll, zero_.roll, settings_.roll, 1.0)};
}

}  // namespace velmora::udp
