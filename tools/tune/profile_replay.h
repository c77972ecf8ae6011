#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/camera_controls.h"
#include "controls/control_names.h"
#include "pose.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"

namespace velmora::tune {

// What the nine controls answer after one reading; an unanswered control is not a number.
using ControlValues = std::array<float, kControlNames.size()>;

// A settings file's bytes, for settings that are not on disk (a profile the bench suggests).
struct SettingsText {
    std::string_view text;
};

// The plug-in's own switches, filters, settings and control handlers, fed from a trace instead of
// a tracker. It goes through what a game session does: the session begins as Start begins it
// (SharedHead::BeginSession reads the file with no vehicle known, the controls are bound), then
// the player's vehicle is reported; each reading then goes into the three filters as the polling
// thread feeds them.
class ProfileReplay {
public:
    ProfileReplay(const std::string& configPath, const std::string& vehicle);
    ProfileReplay(SettingsText settings, const std::string& vehicle);
    ProfileReplay(const ProfileReplay&) = delete;
    ProfileReplay& operator=(const ProfileReplay&) = delete;

    void Feed(const sim::Pose& reading);
    // The three filters' outputs in raw units: yaw, pitch, roll.
    std::array<std::int32_t, 3> Outputs() const;
    // Asks the nine controls in the order a game should ("Camera_YawLeft" first: it refreshes the
    // pose the others read).
    ControlValues QueryControls();
    // False when the settings switch the smoothing off: the camera is the head itself.
    bool Filtering() const { return switches_.UseFiltering(); }
    HeadFilters Filters() const { return head_.Filters(); }

private:
    Switches switches_;
    SharedHead head_;
    CameraControls controls_;
};

}  // namespace velmora::tune
