#include "tune/filter_front.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <utility>

#include "config/filter_settings.h"
#include "drivers/raw_angle.h"
#include "tracking/axis_filter.h"

namespace velmora::tune {
namespace {

using Indices = std::vector<std::size_t>;

constexpr std::size_t kDrawnStarts = 1000;

// Steps of about a fifth to a half, so that a neighbour is a change a player would try, over
// ranges wide enough that no front point sits at an edge on the driving benchmark.
const std::vector<SearchKey> kAxisFilterKeys = {
    {"MinFrames", {1, 2, 3, 4, 5, 6, 8, 10, 12, 15, 20}, 3},
    {"MaxFrames", {5, 7, 10, 14, 20, 28, 40, 56, 80, 113, 160, 226, 320, 453}, 3},
    {"DecreaseFrame",
     {1, 1.4, 2, 2.8, 4, 5.6, 8, 11, 16, 23, 32, 45, 64, 90, 128, 181, 256, 362, 512, 724, 1024},
     4},
    {"OffsetFrame",
     {0, 1, 2, 3, 4, 6, 8, 11, 16, 23, 32, 45, 64, 90, 128, 181, 256, 362, 512, 724},
     4},
    {"SD Skipfactor", {0.5, 0.7, 1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 6.0}, 4},
};

// The same with Trend, over its whole range.
const std::vector<SearchKey> kTrendFilterKeys = [] {
    std::vector<SearchKey> keys = kAxisFilterKeys;
    keys.push_back({"Trend", {0.0, 0.25, 0.5, 0.75, 1.0}, 1});
    return keys;
}();

const std::vector<SearchKey> kOneEuroKeys = {
    {"mincutoff",
     {0.005, 0.01, 0.02, 0.03, 0.05, 0.07, 0.1, 0.14, 0.2, 0.28, 0.4,
      0.56,  0.8,  1.1,  1.6,  2.2,  3.2,  4.5, 6.4,  9.0, 13.0, 18.0},
     2},
    {"beta",
     {0.0,  0.0003, 0.0005, 0.0007, 0.001, 0.0014, 0.002, 0.003, 0.005, 0.007, 0.01, 0.014, 0.02,
      0.03, 0.05,   0.07,   0.1,    0.14,  0.2,    0.3,   0.5,   0.7,   1.0,   1.4,  2.0,   3.0},
     2},
    {"dcutoff", {0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0}, 1},
};

bool WithinBudget(const HeadMetrics& metrics, double budget) {
    return metrics.restErrorDegrees && metrics.effectiveLagMilliseconds &&
           *metrics.effectiveLagMilliseconds <= budget;
}

// Calmer at rest, and at equal calm the quicker.
bool Better(const HeadMetrics& candidate, const HeadMetrics& incumbent) {
    if (*candidate.restErrorDegrees != *incumbent.restErrorDegrees) {
        return *candidate.restErrorDegrees < *incumbent.restErrorDegrees;
    }
    return *candidate.effectiveLagMilliseconds < *incumbent.effectiveLagMilliseconds;
}

class FrontSearch {
public:
    FrontSearch(const std::vector<SearchKey>& keys, const AxisRun& run, const HeadReference& head)
        : walk_(keys, run, head) {}

    FilterFront Run(const std::vector<Setting>& starts) {
        std::vector<Indices> first;
        for (const Setting& setting : starts.empty() ? CoarseGrid(walk_.Keys()) : starts) {
            first.push_back(walk_.IndicesOf(setting));
        }
        if (starts.empty()) {
            // With outliers the front is rugged: a walk from the grid's best stops at the first
            // local best, which settings drawn across the whole space often beat (pitch at 0.02°
            // with outliers, 15 ms: 0.263° from the grid alone, 0.213° with these).
            for (const Setting& setting : DrawnSettings(walk_.Keys(), kDrawnStarts)) {
                first.push_back(walk_.IndicesOf(setting));
            }
        }
        Evaluate(first);
        for (;;) {
            std::vector<Indices> steps;
            for (const auto& best : best_) {
                if (best) {
                    const std::vector<Indices> near = walk_.Neighbours(*best);
                    steps.insert(steps.end(), near.begin(), near.end());
                }
            }
            if (!Evaluate(steps)) {
                break;
            }
        }
        FilterFront front;
        front.tried = walk_.Tried().size();
        for (std::size_t b = 0; b < best_.size(); ++b) {
            if (best_[b]) {
                front.best[b] = FrontPoint{walk_.SettingAt(*best_[b]), walk_.MetricsAt(*best_[b])};
            }
        }
        return front;
    }

private:
    // Runs the settings not tried before; true when some budget's best changed.
    bool Evaluate(std::vector<Indices> candidates) {
        bool changed = false;
        for (const Indices& candidate : walk_.MeasureNew(std::move(candidates))) {
            const HeadMetrics& metrics = walk_.MetricsAt(candidate);
            for (std::size_t b = 0; b < best_.size(); ++b) {
                if (WithinBudget(metrics, kLagBudgetsMilliseconds[b]) &&
                    (!best_[b] || Better(metrics, walk_.MetricsAt(*best_[b])))) {
                    best_[b] = candidate;
                    changed = true;
                }
            }
        }
        return changed;
    }

    SettingWalk walk_;
    std::array<std::optional<Indices>, kLagBudgetsMilliseconds.size()> best_;
};

}  // namespace

Setting SettingWalk::SettingAt(const Indices& indices) const {
    Setting setting;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        setting.push_back(keys_[k].values[indices[k]]);
    }
    return setting;
}

SettingWalk::Indices SettingWalk::IndicesOf(const Setting& setting) const {
    Indices indices;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const std::vector<double>& values = keys_[k].values;
        const auto nearest =
            std::min_element(values.begin(), values.end(), [&](double a, double b) {
                return std::abs(a - setting[k]) < std::abs(b - setting[k]);
            });
        indices.push_back(static_cast<std::size_t>(nearest - values.begin()));
    }
    return indices;
}

std::vector<SettingWalk::Indices> SettingWalk::Neighbours(const Indices& from) const {
    auto moved = [&](Indices indices, std::size_t key, int step) -> std::optional<Indices> {
        const auto to = static_cast<std::ptrdiff_t>(indices[key]) + step;
        if (to < 0 || to >= static_cast<std::ptrdiff_t>(keys_[key].values.size())) {
            return std::nullopt;
        }
        indices[key] = static_cast<std::size_t>(to);
        return indices;
    };
    std::vector<Indices> near;
    for (std::size_t a = 0; a < keys_.size(); ++a) {
        for (const int stepA : {-1, 1}) {
            const auto one = moved(from, a, stepA);
            if (!one) {
                continue;
            }
            near.push_back(*one);
            for (std::size_t b = a + 1; b < keys_.size(); ++b) {
                for (const int stepB : {-1, 1}) {
                    if (const auto two = moved(*one, b, stepB)) {
                        near.push_back(*two);
                    }
                }
            }
        }
    }
    return near;
}

std::vector<SettingWalk::Indices> SettingWalk::MeasureNew(std::vector<Indices> candidates) {
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    std::erase_if(candidates, [&](const Indices& c) { return tried_.contains(c); });
    const std::vector<HeadMetrics> metrics = HeadMetrics::MeasureAll(
        head_, candidates.size(), [&](std::size_t i) { return run_(SettingAt(candidates[i])); });
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        tried_.emplace(candidates[i], metrics[i]);
    }
    return candidates;
}

FilterFront SearchFront(const std::vector<SearchKey>& keys, const AxisRun& run,
                        const HeadReference& head, const std::vector<Setting>& starts) {
    return FrontSearch(keys, run, head).Run(starts);
}

std::vector<Setting> DrawnSettings(const std::vector<SearchKey>& keys, std::size_t count,
                                   std::uint32_t seed) {
    std::mt19937 random(seed);  // its raw draws are the same on every system
    std::vector<Setting> drawn(count);
    for (Setting& setting : drawn) {
        for (const SearchKey& key : keys) {
            setting.push_back(key.values[random() % key.values.size()]);
        }
    }
    return drawn;
}

std::vector<Setting> CoarseGrid(const std::vector<SearchKey>& keys) {
    std::vector<Setting> grid(1);
    for (const SearchKey& key : keys) {
        std::vector<double> choices;
        const std::size_t step = std::max<std::size_t>(1, key.coarseStep);
        for (std::size_t i = 0; i < key.values.size(); i += step) {
            choices.push_back(key.values[i]);
        }
        if (choices.back() != key.values.back()) {
            choices.push_back(key.values.back());
        }
        std::vector<Setting> longer;
        for (const Setting& partial : grid) {
            for (const double choice : choices) {
                longer.push_back(partial);
                longer.back().push_back(choice);
            }
        }
        grid.swap(longer);
    }
    return grid;
}

std::string SettingText(const std::vector<SearchKey>& keys, const Setting& setting) {
    std::string text;
    for (std::size_t k = 0; k < keys.size() && k < setting.size(); ++k) {
        char value[32];
        std::snprintf(value, sizeof value, "%g", setting[k]);
        text += (k == 0 ? "" : ", ") + keys[k].name + " " + value;
    }
    return text;
}

const std::vector<SearchKey>& AxisFilterKeys() {
    return kAxisFilterKeys;
}

const std::vector<SearchKey>& TrendFilterKeys() {
    return kTrendFilterKeys;
}

Setting AxisFilterSetting(const FilterSettings& settings) {
    return {static_cast<double>(settings.MinFrames),     static_cast<double>(settings.MaxFrames),
            static_cast<double>(settings.DecreaseFrame), static_cast<double>(settings.OffsetFrame),
            static_cast<double>(settings.SDSkipfactor),  static_cast<double>(settings.Trend)};
}

FilterSettings FilterSettingsOf(const Setting& setting) {
    FilterSettings settings;
    settings.MinFrames = static_cast<std::int32_t>(setting[0]);
    // The ring as the plug-in sizes it: never shorter than MinFrames.
    settings.MaxFrames = RingLength(static_cast<std::int32_t>(setting[1]), settings.MinFrames);
    settings.DecreaseFrame = static_cast<float>(setting[2]);
    settings.OffsetFrame = static_cast<std::int32_t>(setting[3]);
    settings.SDSkipfactor = static_cast<float>(setting[4]);
    settings.Trend = setting.size() > 5 ? static_cast<float>(setting[5]) : 0.0f;
    return settings;
}

std::vector<double> RunFilter(const std::vector<std::int32_t>& raw, FilterSettings settings) {
    // The ring as the plug-in sizes it: never shorter than MinFrames.
    settings.MaxFrames = RingLength(settings.MaxFrames, settings.MinFrames);
    AxisFilter filter(settings.MinFrames, settings.MaxFrames, settings.DecreaseFrame,
                      settings.OffsetFrame);
    filter.Set(settings);
    std::vector<double> camera;
    camera.reserve(raw.size());
    for (const std::int32_t reading : raw) {
        filter.AddSample(reading);
        camera.push_back(raw_angle::RawToDegrees(filter.Output()));
    }
    return camera;
}

std::vector<double> RunAxisFilter(const std::vector<std::int32_t>& raw, const Setting& setting) {
    return RunFilter(raw, FilterSettingsOf(setting));
}

const std::vector<SearchKey>& OneEuroKeys() {
    return kOneEuroKeys;
}

OneEuroParameters OneEuroOf(const Setting& setting) {
    return {setting[0], setting[1], setting[2]};
}

std::vector<double> RunOneEuro(const std::vector<double>& degrees, double pollSeconds,
                               const Setting& setting) {
    OneEuroFilter filter(OneEuroOf(setting));
    std::vector<double> camera;
    camera.reserve(degrees.size());
    for (const double reading : degrees) {
        camera.push_back(filter.Filter(reading, pollSeconds));
    }
    return camera;
}

}  // namespace velmora::tune
