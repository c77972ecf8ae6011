#pragma once

#include <array>
#include <string>
#include <vector>

#include "axis_metrics.h"
#include "motion_stretches.h"
#include "polled_trace.h"
#include "profile_replay.h"

namespace velmora::tune {

inline constexpr std::array<const char*, 3> kAxisNames = {"Yaw", "Pitch", "Roll"};

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

// One trace replayed through every profile.
struct TuningRun {
    PolledTrace trace;
    std::array<std::vector<double>, 3> inputDegrees;
    std::array<MotionStretches, 3> stretches;
    std::vector<ProfileResult> profiles;

    static TuningRun Replay(PolledTrace trace, const std::vector<ProfileChoice>& choices);
};

}  // namespace velmora::tune
