#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/filter_settings.h"
#include "tune/head_metrics.h"
#include "tune/one_euro_filter.h"

namespace velmora::tune {

// The effective lags a player might accept, in milliseconds: a front gives the least rest error
// within each.
inline constexpr std::array<double, 5> kLagBudgetsMilliseconds = {10.0, 15.0, 20.0, 30.0, 50.0};

// One setting a search may change, and the values it may take, in order.
struct SearchKey {
    std::string name;
    std::vector<double> values;
    // The first pass tries every coarseStep-th value and the last; the search then walks each
    // key to its neighbours from there.
    std::size_t coarseStep = 1;
};

// A filter family's settings: one value per key, in the keys' order.
using Setting = std::vector<double>;
// One filter over one axis's readings: the camera per poll, in degrees, under a setting.
using AxisRun = std::function<std::vector<double>(const Setting&)>;

struct FrontPoint {
    Setting setting;
    HeadMetrics metrics;
};

// The settings a search walks: points on the grid of its keys' values, each measured once against
// `head`, however many paths reach it. The front and --suggest's search walk it alike.
class SettingWalk {
public:
    using Indices = std::vector<std::size_t>;

    SettingWalk(std::vector<SearchKey> keys, AxisRun run, const HeadReference& head)
        : keys_(std::move(keys)), run_(std::move(run)), head_(head) {}

    const std::vector<SearchKey>& Keys() const { return keys_; }
    Setting SettingAt(const Indices& indices) const;
    // The nearest of each key's values.
    Indices IndicesOf(const Setting& setting) const;
    // One key a step either way, and every two keys a step each: a step of two finds the trades a
    // goal is made of (calmer by one key, as quick again by another) that single steps, each over
    // a bound or less calm, would never cross.
    std::vector<Indices> Neighbours(const Indices& from) const;
    // Measures those of `candidates` not measured before, side by side on every core, and returns
    // them, each once.
    std::vector<Indices> MeasureNew(std::vector<Indices> candidates);
    const HeadMetrics& MetricsAt(const Indices& indices) const { return tried_.at(indices); }
    const std::map<Indices, HeadMetrics>& Tried() const { return tried_; }

private:
    std::vector<SearchKey> keys_;
    AxisRun run_;
    const HeadReference& head_;
    std::map<Indices, HeadMetrics> tried_;
};

// The least rest error a filter family reaches within each lag budget on one axis, and the
// setting that reaches it; empty for a budget no setting tried keeps within.
struct FilterFront {
    std::array<std::optional<FrontPoint>, kLagBudgetsMilliseconds.size()> best;
    std::size_t tried = 0;
};

// Searches `keys` for the front of `run` measured against `head`: from `starts` (when there are
// none, every combination of the coarse values and 1000 settings drawn at random), then, from each
// budget's best, a step to a neighbouring setting, for as long as some budget's best improves.
FilterFront SearchFront(const std::vector<SearchKey>& keys, const AxisRun& run,
                        const HeadReference& head, const std::vector<Setting>& starts = {});
// Every combination of the keys' coarse values.
std::vector<Setting> CoarseGrid(const std::vector<SearchKey>& keys);
// `count` settings drawn at random from the keys' values, the same for the same seed.
std::vector<Setting> DrawnSettings(const std::vector<SearchKey>& keys, std::size_t count,
                                   std::uint32_t seed = 20120505);

// "MinFrames 5, MaxFrames 250, ...".
std::string SettingText(const std::vector<SearchKey>& keys, const Setting& setting);

// Velmora's filter on one axis: MinFrames, MaxFrames, DecreaseFrame, OffsetFrame, SD Skipfactor
// (one for all axes in a settings file; the front takes each axis on its own), and with
// TrendFilterKeys Trend as well. A setting without Trend has it at 0.
const std::vector<SearchKey>& AxisFilterKeys();
const std::vector<SearchKey>& TrendFilterKeys();
// All six, Trend last.
Setting AxisFilterSetting(const FilterSettings& settings);
FilterSettings FilterSettingsOf(const Setting& setting);
// The plug-in's filter on one axis's raw readings, one AddSample per reading: the camera per
// reading in degrees.
std::vector<double> RunFilter(const std::vector<std::int32_t>& raw, FilterSettings settings);
std::vector<double> RunAxisFilter(const std::vector<std::int32_t>& raw, const Setting& setting);

// The yardstick: mincutoff (Hz), beta (Hz per degree a second), dcutoff (Hz).
const std::vector<SearchKey>& OneEuroKeys();
OneEuroParameters OneEuroOf(const Setting& setting);
// One Filter per poll, on the unwrapped readings, `pollSeconds` apart.
std::vector<double> RunOneEuro(const std::vector<double>& degrees, double pollSeconds,
                               const Setting& setting);

}  // namespace velmora::tune
