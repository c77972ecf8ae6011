#pragma once

#include <array>
#include <optional>
#include <string>

#include "axis_metrics.h"
#include "filter_profile.h"
#include "polled_trace.h"
#include "profile_search.h"

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

}  // namespace velmora::tune
