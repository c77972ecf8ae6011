#pragma once

// The nine camera-control handlers. Each answers the control named like its class.

#include "plugin/velmora_plugin.h"

namespace velmora {

// Refreshes the pose from the filters before it answers: the host asks for this control first in
// every frame, so the other eight see the same reading.
class VelmoraPlugin::Camera_YawLeft final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_YawRight final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_PitchUp final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_PitchDown final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_RollLeft final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_RollRight final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

// The sideways moves follow a sine of the roll, so the eye point swings on an arc as the head
// tilts.
class VelmoraPlugin::Camera_MoveLeft final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

class VelmoraPlugin::Camera_MoveRight final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

// Always answered: the eye point sits at least 0.5 up and rises as the head tilts either way.
class VelmoraPlugin::Camera_MoveUp final : public ControlFunction {
public:
    bool Evaluate(VelmoraPlugin& plugin, float* value) const override;
};

}  // namespace velmora
