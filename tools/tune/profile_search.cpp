#include "tune/profile_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "drivers/raw_angle.h"
#include "tracking/axis_filter.h"

namespace velmora::tune {
namespace {

// The values each filter key may take, by the key table's name: the driving benchmark's ladders,
// whose ranges leave no point of its fronts at an edge, and Trend in tenths. The coarse step spans
// a range in four to six values, which with a walk of one and two keys finds the benchmark's
// fronts within a few percent; the outlier factor is walked, never gridded. A filter key added to
// the key table is searched once it has a ladder here.
std::vector<SearchKey> Ladders() {
    std::vector<SearchKey> ladders = AxisFilterKeys();
    for (SearchKey& ladder : ladders) {
        if (ladder.name == "DecreaseFrame" || ladder.name == "OffsetFrame") {
            ladder.coarseStep = 5;
        } else if (ladder.name == "SD Skipfactor") {
            ladder.coarseStep = 1;
        }
    }
    ladders.push_back({"Trend", {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}, 5});
    return ladders;
}

std::vector<LadderKey> FindSearchedKeys() {
    const std::vector<SearchKey> ladders = Ladders();
    std::vector<LadderKey> keys;
    // The axis keys first and the outlier factor, which a settings file holds once for all three
    // axes, last: the search holds it while the axes are searched on their own.
    for (const KeyPlace place : {KeyPlace::EachAxis, KeyPlace::Settings}) {
        for (const SettingKey& key : kSettingKeys) {
            if (key.place != place || !SetsFilter(key)) {
                continue;
            }
            for (const SearchKey& ladder : ladders) {
                if (ladder.name == key.name) {
                    keys.push_back({&key, ladder});
                }
            }
        }
    }
    return keys;
}

void SetField(const SettingKey& key, double value, FilterSettings& settings) {
    if (const auto* whole = std::get_if<std::int32_t FilterSettings::*>(&key.field)) {
        settings.*(*whole) = static_cast<std::int32_t>(std::lround(value));
    } else {
        settings.*std::get<float FilterSettings::*>(key.field) = static_cast<float>(value);
    }
}

}  // namespace

std::optional<double> Cost(const HeadMetrics& metrics, Goal goal, const AxisBounds& bounds) {
    const auto over = [](const std::optional<double>& figure, const std::optional<double>& bound) {
        return bound && (!figure || *figure > *bound);
    };
    if (over(metrics.effectiveLagMilliseconds, bounds.lagMilliseconds) ||
        over(metrics.onsetDelayMilliseconds, bounds.onsetMilliseconds) ||
        over(metrics.restErrorDegrees, bounds.restErrorDegrees)) {
        return std::nullopt;
    }
    return goal == Goal::LeastRestError ? metrics.restErrorDegrees
                                        : metrics.effectiveLagMilliseconds;
}

AxisBounds BoundsOf(const HeadMetrics& inUse, Goal goal) {
    AxisBounds bounds;
    bounds.onsetMilliseconds = inUse.onsetDelayMilliseconds;
    if (goal == Goal::LeastRestError) {
        bounds.lagMilliseconds = inUse.effectiveLagMilliseconds;
    } else {
        bounds.restErrorDegrees = inUse.restErrorDegrees;
    }
    return bounds;
}

HeldOutSplit HeldOutSplit::Of(std::size_t readings, double pollSeconds) {
    constexpr double kShortestBlock = 5.0;  // seconds
    constexpr double kLongestBlock = 30.0;
    HeldOutSplit split;
    const double seconds = static_cast<double>(readings) * pollSeconds;
    split.blockReadings = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::clamp(seconds / 10, kShortestBlock, kLongestBlock) /
                                    pollSeconds));
    for (std::size_t begin = 0, block = 0; begin < readings;
         begin += split.blockReadings, ++block) {
        const Stretch stretch{begin, std::min(readings, begin + split.blockReadings)};
        (block % 2 == 0 ? split.choosing : split.reporting).push_back(stretch);
    }
    return split;
}

const std::vector<LadderKey>& SearchedFilterKeys() {
    static const std::vector<LadderKey> keys = FindSearchedKeys();
    return keys;
}

std::vector<SearchKey> FilterSearchKeys() {
    std::vector<SearchKey> keys;
    for (const LadderKey& key : SearchedFilterKeys()) {
        keys.push_back(key.ladder);
    }
    return keys;
}

Setting SettingOf(const FilterSettings& settings) {
    Setting setting;
    for (const LadderKey& key : SearchedFilterKeys()) {
        setting.push_back(FilterField(*key.key, settings));
    }
    return setting;
}

FilterSettings FilterSettingsFrom(const Setting& setting, const FilterSettings& base) {
    FilterSettings settings = base;
    const auto& keys = SearchedFilterKeys();
    for (std::size_t k = 0; k < keys.size() && k < setting.size(); ++k) {
        SetField(*keys[k].key, setting[k], settings);
    }
    settings.MaxFrames = RingLength(settings.MaxFrames, settings.MinFrames);
    return settings;
}

std::vector<double> RunFilterWithin(const std::vector<std::int32_t>& raw,
                                    const FilterSettings& settings,
                                    const std::vector<Stretch>& blocks, double pollSeconds) {
    // Before a block, long enough for the ring to fill and the window to settle; after it, as far
    // as a glance's onset at its end is looked for.
    const auto lead = static_cast<std::size_t>(settings.MaxFrames) +
                      static_cast<std::size_t>(std::lround(2.0 / pollSeconds));
    const auto trail = static_cast<std::size_t>(std::lround(1.0 / pollSeconds));
    std::vector<double> camera(raw.size(), 0.0);
    std::size_t done = 0;  // where the last run ended: a block that follows on goes on from it
    std::optional<AxisFilter> filter;
    for (const Stretch& block : blocks) {
        const std::size_t from = block.begin > lead ? block.begin - lead : 0;
        const std::size_t to = std::min(raw.size(), block.end + trail);
        if (!filter || from > done) {
            filter.emplace(settings.MinFrames, settings.MaxFrames, settings.DecreaseFrame,
                           settings.OffsetFrame);
            filter->Set(settings);
            done = from;
        }
        for (std::size_t i = done; i < to; ++i) {
            filter->AddSample(raw[i]);
            camera[i] = raw_angle::RawToDegrees(filter->Output());
        }
        done = std::max(done, to);
    }
    return camera;
}

std::vector<Setting> StartingGrid(const std::vector<SearchKey>& keys, double last) {
    std::vector<SearchKey> held = keys;
    held.back().values = {last};
    return CoarseGrid(held);
}

ConstrainedSearch::ConstrainedSearch(std::vector<SearchKey> keys, AxisRun run,
                                     const HeadReference& head, Goal goal, AxisBounds bounds)
    : walk_(std::move(keys), std::move(run), head), goal_(goal), bounds_(bounds) {}

bool ConstrainedSearch::Less(const HeadMetrics& a, const HeadMetrics& b) const {
    const auto costA = CostOf(a);
    const auto costB = CostOf(b);
    if (!costA || !costB) {
        return costA.has_value();
    }
    if (*costA != *costB) {
        return *costA < *costB;
    }
    // At equal cost, the less of the other figure.
    return goal_ == Goal::LeastRestError
               ? a.effectiveLagMilliseconds.value_or(0) < b.effectiveLagMilliseconds.value_or(0)
               : a.restErrorDegrees.value_or(0) < b.restErrorDegrees.value_or(0);
}

std::optional<ConstrainedSearch::Indices> ConstrainedSearch::Evaluate(
    std::vector<Indices> candidates, const std::optional<Indices>& best) {
    std::optional<Indices> better;
    for (const Indices& candidate : walk_.MeasureNew(std::move(candidates))) {
        const HeadMetrics& metrics = walk_.MetricsAt(candidate);
        if (!CostOf(metrics)) {
            continue;
        }
        const Indices* incumbent = better ? &*better : best ? &*best : nullptr;
        if (incumbent == nullptr || Less(metrics, walk_.MetricsAt(*incumbent))) {
            better = candidate;
        }
    }
    return better;
}

std::optional<Candidate> ConstrainedSearch::Run(const std::vector<Setting>& starts) {
    std::vector<Indices> first;
    for (const Setting& setting : starts) {
        first.push_back(walk_.IndicesOf(setting));
    }
    std::optional<Indices> best = Evaluate(first, std::nullopt);
    // Starts tried before (another run of the same search) count as well.
    for (const Indices& start : first) {
        const HeadMetrics& metrics = walk_.MetricsAt(start);
        if (CostOf(metrics) && (!best || Less(metrics, walk_.MetricsAt(*best)))) {
            best = start;
        }
    }
    while (best) {
        const auto better = Evaluate(walk_.Neighbours(*best), best);
        if (!better) {
            break;
        }
        best = better;
    }
    if (!best) {
        return std::nullopt;
    }
    return Candidate{walk_.SettingAt(*best), walk_.MetricsAt(*best)};
}

std::optional<Candidate> ConstrainedSearch::BestWith(std::size_t key, double value) const {
    const Indices* best = nullptr;
    for (const auto& [indices, metrics] : walk_.Tried()) {
        if (walk_.Keys()[key].values[indices[key]] == value && CostOf(metrics) &&
            (!best || Less(metrics, walk_.MetricsAt(*best)))) {
            best = &indices;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return Candidate{walk_.SettingAt(*best), walk_.MetricsAt(*best)};
}

}  // namespace velmora::tune
