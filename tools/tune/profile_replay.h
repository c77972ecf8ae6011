#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/camera_controls.h"
#include "controls/control_names.h"
#include "simdriver/pose.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"
#include "tune/axis_metrics.h"
#include "tune/motion_stretches.h"
#include "tune/polled_trace.h"

// The replay: the plug-in's own components fed from a trace, one profile at a time, and a trace
// replayed through every profile to be compared.
namespace velmora::tune {

inline constexpr std::array<const char*, 3> kAxisNames = {"Yaw", "Pitch", "Roll"};

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

// A profile to compare: a settings file and the vehicle driven under it.
struct ProfileChoice {
    std::string configPath;
    std::string vehicle;  // empty: no vehicle reported, "General Filter" alone
    std::string label;
};

struct ProfileResult {
    ProfileChoice choice;
    // False for a profile with the smoothing off: its camera is the head itself, a baseline.
    bool filtered = true;
    std::array<std::vector<double>, 3> outputDegrees;  // the filters' outputs, per reading
    std::vector<ControlValues> controls;               // per reading
    std::array<AxisMetrics, 3> metrics;
};

// One axis of the trace's readings in raw units, as the filter takes them.
std::vector<std::int32_t> RawAxis(const PolledTrace& trace, std::size_t axis);

// The trace's three axes as every camera is measured on them: the truth where the trace carries
// it, else the head estimated from the readings; nothing within the stretches left out.
std::array<AxisHead, 3> HeadsOf(const PolledTrace& trace,
                                const std::array<MotionStretches, 3>& stretches);

// One trace replayed through every profile.
struct TuningRun {
    PolledTrace trace;
    std::array<std::vector<double>, 3> inputDegrees;
    std::array<MotionStretches, 3> stretches;
    std::array<AxisHead, 3> heads;
    std::vector<ProfileResult> profiles;

    static TuningRun Replay(PolledTrace trace, const std::vector<ProfileChoice>& choices);
};

}  // namespace velmora::tune
