#include "controls/camera_controls.h"

#include <cmath>

#include "controls/control_names.h"

namespace velmora {
namespace {

using Direction = keys::Direction;

// The gains are single-precision constants widened to double, as the tuned profiles expect.
constexpr double kYawGain = static_cast<double>(4.2f);
constexpr double kSideSwing = static_cast<double>(0.4f);
constexpr double kLiftSwing = static_cast<double>(0.2f);
constexpr double kPi = 3.141592653589793;
constexpr double kPitchGain = 7.5;
constexpr double kRollGain = 4.0;
constexpr double kSideGain = 4.0;

bool Write(float* value, double result) {
    *value = static_cast<float>(result);
    return true;
}

}  // namespace

// Refreshes the pose from the filters before it answers: the host asks for this control first in
// every frame, so the other eight see the same reading.
class CameraControls::Camera_YawLeft final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        controls.RefreshPose();
        const double yaw = controls.pose_.yaw;
        return yaw < 0.0 && controls.Allows(Direction::YawLeft) && Write(value, yaw * -kYawGain);
    }
};

class CameraControls::Camera_YawRight final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double yaw = controls.pose_.yaw;
        return yaw > 0.0 && controls.Allows(Direction::YawRight) && Write(value, yaw * kYawGain);
    }
};

class CameraControls::Camera_PitchUp final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double pitch = controls.pose_.pitch;
        return pitch > 0.0 && controls.Allows(Direction::PitchUp) &&
               Write(value, pitch * kPitchGain);
    }
};

class CameraControls::Camera_PitchDown final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double pitch = controls.pose_.pitch;
        return pitch < 0.0 && controls.Allows(Direction::PitchDown) &&
               Write(value, pitch * -kPitchGain);
    }
};

class CameraControls::Camera_RollLeft final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double roll = controls.pose_.roll;
        return roll < 0.0 && controls.Allows(Direction::RollLeft) &&
               Write(value, roll * -kRollGain);
    }
};

class CameraControls::Camera_RollRight final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double roll = controls.pose_.roll;
        return roll > 0.0 && controls.Allows(Direction::RollRight) &&
               Write(value, roll * kRollGain);
    }
};

// The sideways moves follow a sine of the roll, so the eye point swings on an arc as the head
// tilts.
class CameraControls::Camera_MoveLeft final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double roll = controls.pose_.roll;
        return roll < 0.0 && controls.Allows(Direction::RollLeft) &&
               Write(value, std::sin((roll * kSideSwing) * kPi) * -kSideGain);
    }
};

class CameraControls::Camera_MoveRight final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double roll = controls.pose_.roll;
        return roll > 0.0 && controls.Allows(Direction::RollRight) &&
               Write(value, std::sin((roll * kSideSwing) * kPi) * kSideGain);
    }
};

// Always answered: the eye point sits at least 0.5 up and rises as the head tilts either way.
class CameraControls::Camera_MoveUp final : public ControlFunction {
public:
    bool Evaluate(CameraControls& controls, float* value) const override {
        const double roll = controls.pose_.roll;
        float lift = 0.0f;
        if ((roll < 0.0 && controls.Allows(Direction::RollLeft)) ||
            (roll > 0.0 && controls.Allows(Direction::RollRight))) {
            lift = static_cast<float>(2.0 * std::fabs(std::sin((roll * kLiftSwing) * kPi)));
        }
        return Write(value, 0.5 + lift);
    }
};

CameraControls::CameraControls(const SharedHead& head, const Switches& switches)
    : head_(head), switches_(switches) {}

CameraControls::~CameraControls() = default;

void CameraControls::Bind() {
    pose_ = HeadPose{};
    // In the order of kControlNames. Assigning replaces a binding from an earlier Start and
    // releases its handler.
    std::unique_ptr<ControlFunction> handlers[] = {
        std::make_unique<Camera_YawLeft>(),  std::make_unique<Camera_YawRight>(),
        std::make_unique<Camera_PitchUp>(),  std::make_unique<Camera_PitchDown>(),
        std::make_unique<Camera_RollLeft>(), std::make_unique<Camera_RollRight>(),
        std::make_unique<Camera_MoveLeft>(), std::make_unique<Camera_MoveRight>(),
        std::make_unique<Camera_MoveUp>()};
    static_assert(std::size(handlers) == kControlNames.size());
    for (std::size_t i = 0; i < kControlNames.size(); ++i) {
        handlers_[kControlNames[i]] = std::move(handlers[i]);
    }
}

bool CameraControls::Query(std::string_view name, float* value) {
    if (!switches_.Enabled()) {
        return false;
    }
    const auto handler = handlers_.find(name);
    return handler != handlers_.end() && handler->second->Evaluate(*this, value);
}

void CameraControls::RefreshPose() {
    // All three outputs from one reading; a lock being retired leaves the pose as it was.
    Reading outputs;
    if (head_.Outputs(outputs)) {
        pose_ = HeadPose::FromOutputs(outputs);
    }
}

}  // namespace velmora
