#pragma once

#include <array>
#include <optional>
#include <string>

#include "tune/axis_metrics.h"
#include "tune/polled_trace.h"
#include "tune/profile_search.h"

// --suggest: the search run on one half of the trace, both profiles measured on the other, and what
// the player is shown and given to paste.
namespace velmora::tune {

// What --suggest finds: the profile in use and the suggestion, both measured on the held-out half
// of the trace, which the search never looked at.
struct Suggestion {
    FilterProfile inUse;
    FilterProfile suggested;
    std::string section;  // where the block goes: the car's, or "General Filter"
    HeldOutSplit split;
    std::array<double, 3> lagBudgetMilliseconds{};
    std::array<bool, 3> tuned{};
    std::array<AxisMetrics, 3> inUseHeldOut;
    std::array<AxisMetrics, 3> suggestedHeldOut;
    std::size_t tried = 0;

    bool Changed() const { return suggested != inUse; }
    // Some axis the search changed has less jitter on the held-out half: the one test of the
    // suggestion that it could not have fitted.
    bool CalmerWhereUnseen() const;

    // Searches `settings` (a settings file's bytes) as it applies to `vehicle` (empty: "General
    // Filter" alone). The lag budget is `maxLag`, or each axis's lag under the profile in use on
    // the half the search chooses on. Empty when the settings switch the smoothing off.
    static std::optional<Suggestion> Find(const PolledTrace& trace, const std::string& settings,
                                          const std::string& vehicle,
                                          std::optional<double> maxLagMilliseconds,
                                          const ProfileSearch::Progress& progress);
};

// What velmora-tune --suggest is asked to tune.
struct SuggestRequest {
    std::string configPath;
    std::string vehicle;  // empty: "General Filter" alone
    std::optional<double> maxLagMilliseconds;
    std::string traceName;  // the trace's file name, and the car it was cut to, if it was
};

// velmora-tune --suggest: searches the profile in use for a calmer one within the lag budget on
// one half of the trace, prints both measured on the other half, and the lines to paste. Progress
// goes to standard error. The exit status: 0, or 1 when the settings or the trace cannot be used.
int Suggest(const SuggestRequest& request, const PolledTrace& trace);

}  // namespace velmora::tune
