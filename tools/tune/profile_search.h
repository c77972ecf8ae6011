#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "config/filter_settings.h"
#include "config/settings_keys.h"
#include "tune/filter_front.h"
#include "tune/head_metrics.h"
#include "tune/motion_stretches.h"

// The search behind --suggest: what a candidate must keep and what it must win, the filter keys it
// changes, and the search itself, for Velmora's filter and the yardstick alike.
namespace velmora::tune {

// What --suggest tunes: the three filters' settings as the plug-in holds them, yaw, pitch, roll.
using FilterProfile = std::array<FilterSettings, 3>;

// What a suggestion wins: the least rest error for no more lag and onset delay than the profile in
// use, or the least lag for no more rest error and onset delay.
enum class Goal { LeastRestError, LeastLag };

// The figures a candidate on one axis may not exceed; an absent one binds nothing.
struct AxisBounds {
    std::optional<double> lagMilliseconds;
    std::optional<double> onsetMilliseconds;
    std::optional<double> restErrorDegrees;
};

// The figure `goal` makes as small as it can, when `metrics` keep within `bounds`; empty when
// they do not, or when the figure cannot be measured.
std::optional<double> Cost(const HeadMetrics& metrics, Goal goal, const AxisBounds& bounds);

// The bounds the profile in use sets by its own figures: what the goal does not minimise may not
// grow.
AxisBounds BoundsOf(const HeadMetrics& inUse, Goal goal);

// Where --suggest chooses and where it reports: alternate blocks of the trace, the first, third,
// ... to choose on, the others held out. Blocks rather than halves, so that both parts hold every
// kind of driving in the trace.
struct HeldOutSplit {
    std::size_t blockReadings = 0;
    std::vector<Stretch> choosing;
    std::vector<Stretch> reporting;

    // A tenth of the trace per block, from 5 s to 30 s.
    static HeldOutSplit Of(std::size_t readings, double pollSeconds);
};

// The filter keys the search changes: every key of the key table that sets a field of the filter
// and has a ladder of values to try (profile_search.cpp holds the ladders, by the key's name; a
// key without one keeps its value). In the key table's order, so a ring length follows the
// MinFrames it is held to.
struct LadderKey {
    const SettingKey* key = nullptr;
    SearchKey ladder;
};
const std::vector<LadderKey>& SearchedFilterKeys();
// The keys as the search walks them, and a filter's settings as a point among them.
std::vector<SearchKey> FilterSearchKeys();
Setting SettingOf(const FilterSettings& settings);
// `base` with the searched keys set from `setting`, the ring held to MinFrames as the plug-in
// holds it.
FilterSettings FilterSettingsFrom(const Setting& setting, const FilterSettings& base);

// The same, run only over `blocks` (in order) and as long before each as the filter needs to read
// there as it would have over the whole trace; elsewhere the camera is 0. The search measures on
// half of the trace and need not run the other.
std::vector<double> RunFilterWithin(const std::vector<std::int32_t>& raw,
                                    const FilterSettings& settings,
                                    const std::vector<Stretch>& blocks, double pollSeconds);

// Settings tried and their figures.
struct Candidate {
    Setting setting;
    HeadMetrics metrics;
};

// The least-cost setting of one filter family on one axis, measured against `head` (the part of
// the trace the search chooses on): every start is tried, then, from the best, a step to a
// neighbouring setting for as long as one costs less.
class ConstrainedSearch {
public:
    ConstrainedSearch(std::vector<SearchKey> keys, AxisRun run, const HeadReference& head,
                      Goal goal, AxisBounds bounds);

    // The best setting found from `starts`, or nothing when none keeps within the bounds.
    std::optional<Candidate> Run(const std::vector<Setting>& starts);
    // Of everything tried, the best whose key `key` has the value `value`.
    std::optional<Candidate> BestWith(std::size_t key, double value) const;
    std::size_t Tried() const { return walk_.Tried().size(); }
    std::optional<double> CostOf(const HeadMetrics& metrics) const {
        return Cost(metrics, goal_, bounds_);
    }

private:
    using Indices = SettingWalk::Indices;
    // Runs the settings not tried before; the best of them that costs less than `best`, if any.
    std::optional<Indices> Evaluate(std::vector<Indices> candidates,
                                    const std::optional<Indices>& best);
    bool Less(const HeadMetrics& a, const HeadMetrics& b) const;

    SettingWalk walk_;
    Goal goal_;
    AxisBounds bounds_;
};

// The coarse grid of `keys` with the last key held at `last` (the outlier factor, one for all
// three axes, is walked from there, not gridded).
std::vector<Setting> StartingGrid(const std::vector<SearchKey>& keys, double last);

}  // namespace velmora::tune
