#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "simdriver/trace_file.h"
#include "tune/axis_metrics.h"
#include "tune/polled_trace.h"
#include "tune/profile_search.h"
#include "tune/settings_edit.h"

// --suggest: the search run on one half of the trace, the profile in use, the suggestion and the
// yardstick measured on the other, and the file with the suggestion in place.
namespace velmora::tune {

struct SuggestOptions {
    Goal goal = Goal::LeastRestError;
    // A lag budget instead of the profile in use's lag (and onset delay).
    std::optional<double> maxLagMilliseconds;
    // Whether the outlier factor, one for every car, may change.
    bool outlierFactor = true;
};

// A change counts only when it takes this share off the goal's figure on the half the search
// chooses on: less is within what the next recording would change anyway, and a search that
// follows it wanders from run to run.
inline constexpr double kLeastGain = 0.05;
// An axis is tuned only when the choosing half holds this much rest, and this much movement or
// these many glances, on it (a driver's pitch moves fast seldom, but its glances tell its lag).
inline constexpr double kLeastRestSeconds = 10.0;
inline constexpr double kLeastMovingSeconds = 0.5;
inline constexpr std::size_t kLeastGlances = 3;

using Progress = std::function<void(std::size_t tried)>;

// What --suggest finds for one profile.
struct Suggestion {
    std::string vehicle;  // empty: "General Filter" alone
    std::string section;  // where the keys go
    FilterProfile inUse;
    FilterProfile suggested;
    HeldOutSplit split;
    std::array<bool, 3> tuned{};
    std::array<AxisBounds, 3> bounds;  // on the choosing half
    std::array<AxisHead, 3> heads;     // the whole trace's
    std::array<MotionStretches, 3> stretches;
    std::array<AxisMetrics, 3> inUseHeldOut;
    std::array<AxisMetrics, 3> suggestedHeldOut;
    // The One Euro filter tuned by the same search to the same goal and bounds, where it keeps
    // them.
    std::array<std::optional<Setting>, 3> yardstick;
    std::array<AxisMetrics, 3> yardstickHeldOut;
    std::array<std::array<std::vector<double>, 3>, 3> cameras;  // in use, suggested, yardstick
    std::vector<KeyChange> changes;
    std::string edited;  // the settings file with the suggestion in place
    std::size_t tried = 0;

    bool Changed() const { return suggested != inUse; }
    // Every changed axis at least as good by the goal on the held-out half, and one better: the
    // one test of the suggestion that it could not have fitted.
    bool BetterWhereUnseen(Goal goal) const;

    // Searches `settings` (a settings file's bytes) as it applies to `vehicle`, the keys to go into
    // `section`. Empty when the settings switch the smoothing off.
    static std::optional<Suggestion> Find(const PolledTrace& trace, const std::string& settings,
                                          const std::string& vehicle, const std::string& section,
                                          const SuggestOptions& options, const Progress& progress);
};

// What velmora-tune --suggest is asked to tune.
struct SuggestRequest {
    std::string configPath;
    std::string vehicle;       // --vehicle, or empty
    std::string traceVehicle;  // --trace-vehicle, or empty
    SuggestOptions options;
    std::string writePath;  // --write: the settings file with the suggestion in place
    std::string htmlPath;   // --html: the three profiles' report
    std::string traceName;  // the trace's file name
};

// velmora-tune --suggest: each profile the trace was driven with (its cars, each as the plug-in
// applies it), searched on one half and measured on the other, with what the player will feel and
// the keys to set. Progress goes to standard error. The exit status: 0, or 1 when the settings, the
// trace or a file to write cannot be used.
int Suggest(const SuggestRequest& request, const sim::TraceFile& file, const PolledTrace& trace);

}  // namespace velmora::tune
