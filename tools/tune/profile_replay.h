#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "driven_controls.h"
#include "pose.h"

namespace velmora {
class VelmoraPlugin;
}

namespace velmora::tune {

using tools::kDrivenControls;

// What the nine controls answer after one reading; an unanswered control is not a number.
using ControlValues = std::array<float, kDrivenControls.size()>;

// The plug-in's own filters, settings and control handlers, fed from a trace instead of a
// tracker. It goes through what a game session does: the plug-in starts with no vehicle known,
// reads the file, then the player's vehicle is reported; each reading then goes into the three
// filters as the polling thread feeds them.
class ProfileReplay {
public:
    ProfileReplay(const std::string& configPath, const std::string& vehicle);
    ~ProfileReplay();
    ProfileReplay(const ProfileReplay&) = delete;
    ProfileReplay& operator=(const ProfileReplay&) = delete;

    void Feed(const sim::Pose& reading);
    // The three filters' outputs in raw units: yaw, pitch, roll.
    std::array<std::int32_t, 3> Outputs() const;
    // Asks the nine controls in the order a game should ("Camera_YawLeft" first: it refreshes the
    // pose the others read).
    ControlValues QueryControls();

private:
    std::unique_ptr<VelmoraPlugin> plugin_;
};

}  // namespace velmora::tune
