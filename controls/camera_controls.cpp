#include "controls/camera_controls.h"

#include <cmath>
#include <memory>
#include <new>

namespace velmora {
namespace {

// The gains are single-precision constants widened to double, as the tuned profiles expect.
constexpr double kYawGain = static_cast<double>(4.2f);
constexpr double kSideSwing = static_cast<double>(0.4f);
constexpr double kLiftSwing = static_cast<double>(0.2f);
constexpr double kPi = 3.141592653589793;
constexpr double kPitchGain = 7.5;
constexpr double kRollGain = 4.0;
constexpr double kSideGain = 4.0;

float PoseFromOutput(std::int32_t output) {
    return static_cast<float>(output / 32768.0);
}

bool Write(float* value, double result) {
    *value = static_cast<float>(result);
    return true;
}

bool Flag(const std::atomic<bool>& flag) {
    return flag.load(std::memory_order_relaxed);
}

}  // namespace

bool VelmoraPlugin::Camera_YawLeft::Evaluate(VelmoraPlugin& plugin, float* value) const {
    {
        // All three outputs within one hold, so one refresh never mixes two readings.
        LockHold hold(plugin.lock);
        if (hold.Held()) {
            plugin.pose.yaw = -PoseFromOutput(plugin.yawFilter.Output);
            plugin.pose.pitch = PoseFromOutput(plugin.pitchFilter.Output);
            plugin.pose.roll = PoseFromOutput(plugin.rollFilter.Output);
        }
    }
    const double yaw = plugin.pose.yaw;
    return yaw < 0.0 && Flag(plugin.yawLeftEnabled) && Write(value, yaw * -kYawGain);
}

bool VelmoraPlugin::Camera_YawRight::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double yaw = plugin.pose.yaw;
    return yaw > 0.0 && Flag(plugin.yawRightEnabled) && Write(value, yaw * kYawGain);
}

bool VelmoraPlugin::Camera_PitchUp::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double pitch = plugin.pose.pitch;
    return pitch > 0.0 && Flag(plugin.pitchUpEnabled) && Write(value, pitch * kPitchGain);
}

bool VelmoraPlugin::Camera_PitchDown::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double pitch = plugin.pose.pitch;
    return pitch < 0.0 && Flag(plugin.pitchDownEnabled) && Write(value, pitch * -kPitchGain);
}

bool VelmoraPlugin::Camera_RollLeft::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double roll = plugin.pose.roll;
    return roll < 0.0 && Flag(plugin.rollLeftEnabled) && Write(value, roll * -kRollGain);
}

bool VelmoraPlugin::Camera_RollRight::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double roll = plugin.pose.roll;
    return roll > 0.0 && Flag(plugin.rollRightEnabled) && Write(value, roll * kRollGain);
}

bool VelmoraPlugin::Camera_MoveLeft::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double roll = plugin.pose.roll;
    return roll < 0.0 && Flag(plugin.rollLeftEnabled) &&
           Write(value, std::sin((roll * kSideSwing) * kPi) * -kSideGain);
}

bool VelmoraPlugin::Camera_MoveRight::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double roll = plugin.pose.roll;
    return roll > 0.0 && Flag(plugin.rollRightEnabled) &&
           Write(value, std::sin((roll * kSideSwing) * kPi) * kSideGain);
}

bool VelmoraPlugin::Camera_MoveUp::Evaluate(VelmoraPlugin& plugin, float* value) const {
    const double roll = plugin.pose.roll;
    float lift = 0.0f;
    if ((roll < 0.0 && Flag(plugin.rollLeftEnabled)) ||
        (roll > 0.0 && Flag(plugin.rollRightEnabled))) {
        lift = static_cast<float>(2.0 * std::fabs(std::sin((roll * kLiftSwing) * kPi)));
    }
    return Write(value, 0.5 + lift);
}

void VelmoraPlugin::RegisterControls() {
    // Assigning replaces a binding from an earlier Start and releases its handler.
    handlers["Camera_YawLeft"] = std::make_unique<Camera_YawLeft>();
    handlers["Camera_YawRight"] = std::make_unique<Camera_YawRight>();
    handlers["Camera_PitchUp"] = std::make_unique<Camera_PitchUp>();
    handlers["Camera_PitchDown"] = std::make_unique<Camera_PitchDown>();
    handlers["Camera_RollLeft"] = std::make_unique<Camera_RollLeft>();
    handlers["Camera_RollRight"] = std::make_unique<Camera_RollRight>();
    handlers["Camera_MoveLeft"] = std::make_unique<Camera_MoveLeft>();
    handlers["Camera_MoveRight"] = std::make_unique<Camera_MoveRight>();
    handlers["Camera_MoveUp"] = std::make_unique<Camera_MoveUp>();
}

}  // namespace velmora
