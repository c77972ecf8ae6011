#pragma once

#include <array>
#include <cstdint>
#include <functional>
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

// The least rest error a filter family reaches within each lag budget on one axis, and the
// setting that reaches it; empty for a budget no setting tried keeps within.
struct FilterFront {
    std::array<std::optional<FrontPoint>, kLagBudgetsMilliseconds.size()> best;
    std::size_t tried = 0;
};

// Searches `keys` for the front of `run` measured against `head`: from `starts` (when there are
// none, every combination of the coarse values and 1000 settings drawn at random), then, from each
// budget's best, a step of one or two keys at a time to a neighbouring value, for as long as some
// budget's best improves. A step of two keys at once finds the trades a front is made of (calmer by
// one key, as fast again by another) that single steps, each over the budget or less calm, would
// never cross. Settings run side by side on every core.
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
// The filter as the plug-in runs it: one AddSample per raw reading, and its output.
std::vector<double> RunAxisFilter(const std::vector<std::int32_t>& raw, const Setting& setting);

// The yardstick: mincutoff (Hz), beta (Hz per degree a second), dcutoff (Hz).
const std::vector<SearchKey>& OneEuroKeys();
OneEuroParameters OneEuroOf(const Setting& setting);
// One Filter per poll, on the unwrapped readings, `pollSeconds` apart.
std::vector<double> RunOneEuro(const std::vector<double>& degrees, double pollSeconds,
                               const Setting& setting);

}  // namespace velmora::tune
