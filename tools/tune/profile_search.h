#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/filter_settings.h"
#include "tune/motion_stretches.h"
#include "tune/polled_trace.h"

// The search behind --suggest: the filter profile it tunes and how a profile is written into a
// settings file, the split into a choosing and a held-out half, and the search itself.
namespace velmora::tune {

// What --suggest tunes: the three filters' settings as the plug-in holds them, yaw, pitch, roll.
using FilterProfile = std::array<FilterSettings, 3>;

// "SD Skipfactor", which a load sets on the three filters alike.
inline float OutlierFactor(const FilterProfile& profile) {
    return profile[0].SDSkipfactor;
}
inline void SetOutlierFactor(FilterProfile& profile, float factor) {
    for (FilterSettings& axis : profile) {
        axis.SDSkipfactor = factor;
    }
}

// Lines that set every filter key, to go at the top of a Velmora.cfg: a key given twice in a
// section counts where it first appears, so they take the place of the same keys further down and
// the rest of the file (Copy From, the directions, other cars) stays as it was. `section` is the
// car's, or "General Filter".
std::string PasteBlock(const FilterProfile& profile, const std::string& section,
                       const std::string& comment);

// `settings` with `block` pasted at its top, as a text editor leaves it: after a byte-order mark.
std::string PastedOnTop(const std::string& block, const std::string& settings);

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

// One axis of one profile as the search sees it, on the part it chooses on.
struct AxisScore {
    std::optional<double> jitterDegrees;
    std::optional<double> lagMilliseconds;
    double largestStepsDegrees = 0.0;
    std::array<std::optional<double>, 2> foldJitterDegrees;  // on each fold of the half
};

// Searches the filter keys for the least jitter at rest within a lag budget, each axis on its own
// (an axis's filter never looks at another's), the outlier factor for all three together and only
// when all three can be measured. Every candidate is replayed through the plug-in's own
// components as the settings file with the candidate pasted at its top, exactly as the player will
// have it. Each key goes over a coarse grid and then a step either way of the best, each value
// also with a MinFrames one or two smaller to win back the lag a calmer value costs.
//
// A lower lag is easily had with a camera that jumps (MinFrames 1 follows a fast turn in steps of
// whole readings), and a calmer one with a camera that holds on and then jumps: so no candidate
// may take steps larger than the profile in use's by more than a quarter. A change must take 3% off
// the jitter on each of two folds of the choosing half (its blocks dealt alternately) to count, and
// an axis is tuned only when the choosing half holds 10 s of rest and 10 s of movement on it: the
// jitter and the lag of a few seconds are mostly noise, and a search that follows noise finds a
// profile that is better only where it looked.
class ProfileSearch {
public:
    struct Setup {
        const PolledTrace* trace = nullptr;
        const std::array<std::vector<double>, 3>* inputDegrees = nullptr;
        std::array<MotionStretches, 3> choosing;  // the stretches within the choosing part
        // The choosing part's blocks dealt alternately into two folds.
        std::array<std::array<MotionStretches, 2>, 3> folds;
        std::string settings;  // the settings file's bytes
        std::string section;   // the section the block sets
        std::string vehicle;   // the vehicle driven, or empty
        std::array<double, 3> lagBudgetMilliseconds{};
    };
    static constexpr double kStepsAllowance = 1.25;
    static constexpr double kLeastGain = 0.03;
    static constexpr double kLeastSeconds = 10.0;
    using Progress = std::function<void(std::size_t tried)>;
    enum class Key { MinFrames, MaxFrames, DecreaseFrame, OffsetFrame };

    explicit ProfileSearch(Setup setup) : setup_(std::move(setup)) {}

    // From `start` (the profile in use). An axis with too little rest or movement in the choosing
    // part keeps its keys.
    FilterProfile Run(const FilterProfile& start, const Progress& progress);
    std::array<bool, 3> Tuned() const { return tuned_; }
    std::size_t Tried() const { return tried_; }

    // The settings text of `profile`: the file with its block pasted on top.
    std::string SettingsOf(const FilterProfile& profile) const;
    // Each axis's output in degrees over the whole trace.
    std::array<std::vector<double>, 3> Replay(const FilterProfile& profile) const;

private:
    std::array<AxisScore, 3> Score(const FilterProfile& profile) const;
    std::vector<std::array<AxisScore, 3>> ScoreAll(const std::vector<FilterProfile>& candidates,
                                                   const Progress& progress);
    bool WithinBudget(std::size_t axis, const AxisScore& score) const;
    // How much calmer `candidate` is than `incumbent` on one fold, as a share of its jitter.
    static double Gain(const AxisScore& candidate, const AxisScore& incumbent, std::size_t fold);
    bool Better(std::size_t axis, const AxisScore& candidate, const AxisScore& incumbent) const;
    // Tries values of one key on every tuned axis side by side (the coarse grid, or a fine step
    // either way of the best); true when an axis improved.
    bool Step(FilterProfile& best, std::array<AxisScore, 3>& score, Key key, bool fine,
              const Progress& progress);
    bool StepOutlierFactor(FilterProfile& best, std::array<AxisScore, 3>& score,
                           const std::vector<float>& factors, const Progress& progress);

    Setup setup_;
    std::array<bool, 3> tuned_{};
    std::array<double, 3> stepsBudget_{};
    std::size_t tried_ = 0;
};

}  // namespace velmora::tune
