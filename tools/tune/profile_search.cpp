#include "profile_search.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

#include "axis_metrics.h"
#include "profile_replay.h"

namespace velmora::tune {
namespace {

constexpr double kShortestBlock = 5.0;  // seconds
constexpr double kLongestBlock = 30.0;
constexpr int kCoarsePasses = 4;
constexpr int kFinePasses = 3;

// The values the coarse passes try: wide enough to reach any sensible profile, few enough to
// search a ten-minute trace in well under a minute. Rings beyond 10 s smooth nothing a driver
// sees and cost the most time.
const std::vector<std::int32_t> kMinFrames = {1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 15, 20};
const std::vector<std::int32_t> kMaxFrames = {10,  20,  30,  50,  75,  100, 150,
                                              200, 250, 300, 400, 500, 700, 1000};
const std::vector<double> kDecreaseFrames = {10,  20,  30,  40,  50,  60,  80,  100,
                                             120, 150, 200, 300, 400, 600, 1000};
const std::vector<std::int32_t> kOffsetFrames = {0, 1, 2, 3, 4, 6, 8};
const std::vector<float> kSdSkipfactors = {1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 5.0f, 6.0f};

// The values tried for one key of one axis: the coarse grid, or a step either way of the best.
std::vector<FilterSettings> Variants(const FilterSettings& best, ProfileSearch::Key key,
                                     bool fine) {
    std::vector<FilterSettings> variants;
    auto add = [&](auto set) {
        variants.push_back(best);
        set(variants.back());
    };
    auto scaled = [](double value) {
        std::vector<double> values;
        for (double factor : {0.85, 0.93, 1.07, 1.17}) {
            values.push_back(std::round(value * factor));
        }
        return values;
    };
    switch (key) {
        case ProfileSearch::Key::MinFrames:
            for (std::int32_t v :
                 fine ? std::vector<std::int32_t>{best.MinFrames - 1, best.MinFrames + 1}
                      : kMinFrames) {
                add([v](FilterSettings& k) { k.MinFrames = v; });
            }
            break;
        case ProfileSearch::Key::MaxFrames:
            if (!fine) {
                for (std::int32_t v : kMaxFrames) {
                    add([v](FilterSettings& k) { k.MaxFrames = v; });
                }
            } else {
                for (double v : scaled(best.MaxFrames)) {
                    add([v](FilterSettings& k) { k.MaxFrames = static_cast<std::int32_t>(v); });
                }
            }
            break;
        case ProfileSearch::Key::DecreaseFrame:
            for (double v :
                 fine ? scaled(best.DecreaseFrame)
                      : std::vector<double>(kDecreaseFrames.begin(), kDecreaseFrames.end())) {
                add([v](FilterSettings& k) { k.DecreaseFrame = static_cast<float>(v); });
            }
            break;
        case ProfileSearch::Key::OffsetFrame:
            for (std::int32_t v :
                 fine ? std::vector<std::int32_t>{best.OffsetFrame - 1, best.OffsetFrame + 1}
                      : kOffsetFrames) {
                add([v](FilterSettings& k) { k.OffsetFrame = v; });
            }
            break;
    }
    if (key != ProfileSearch::Key::MinFrames) {
        // A calmer key mostly costs lag, which a smaller MinFrames buys back: one key at a time,
        // the search would never cross from the one to the other within a tight budget.
        const std::size_t plain = variants.size();
        for (std::size_t i = 0; i < plain; ++i) {
            for (std::int32_t fewer : {1, 2}) {
                if (variants[i].MinFrames - fewer >= 1) {
                    variants.push_back(variants[i]);
                    variants.back().MinFrames -= fewer;
                }
            }
        }
    }
    return variants;
}

}  // namespace

HeldOutSplit HeldOutSplit::Of(std::size_t readings, double pollSeconds) {
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

std::string ProfileSearch::SettingsOf(const FilterProfile& profile) const {
    return PastedOnTop(PasteBlock(profile, setup_.section, "velmora-tune --suggest"),
                       setup_.settings);
}

std::array<std::vector<double>, 3> ProfileSearch::Replay(const FilterProfile& profile) const {
    const std::string settings = SettingsOf(profile);
    ProfileReplay replay(SettingsText{settings}, setup_.vehicle);
    std::array<std::vector<double>, 3> outputs;
    for (auto& output : outputs) {
        output.reserve(setup_.trace->readings.size());
    }
    for (const sim::Pose& reading : setup_.trace->readings) {
        replay.Feed(reading);
        const auto raw = replay.Outputs();
        for (std::size_t axis = 0; axis < 3; ++axis) {
            outputs[axis].push_back(RawToDegrees(raw[axis]));
        }
    }
    return outputs;
}

std::array<AxisScore, 3> ProfileSearch::Score(const FilterProfile& profile) const {
    const auto outputs = Replay(profile);
    std::array<AxisScore, 3> scores;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const MotionStretches& part = setup_.choosing[axis];
        scores[axis].jitterDegrees = JitterAtRest(outputs[axis], part.still);
        scores[axis].lagMilliseconds =
            LagInMotion((*setup_.inputDegrees)[axis], outputs[axis], part.moving, part.pollSeconds);
        scores[axis].largestStepsDegrees = LargestSteps(outputs[axis], part);
        for (std::size_t fold = 0; fold < 2; ++fold) {
            scores[axis].foldJitterDegrees[fold] =
                JitterAtRest(outputs[axis], setup_.folds[axis][fold].still);
        }
    }
    return scores;
}

std::vector<std::array<AxisScore, 3>> ProfileSearch::ScoreAll(
    const std::vector<FilterProfile>& candidates, const Progress& progress) {
    std::vector<std::array<AxisScore, 3>> scores(candidates.size());
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        try {
            for (std::size_t i; (i = next.fetch_add(1)) < candidates.size();) {
                scores[i] = Score(candidates[i]);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failureLock);
            failure = std::current_exception();
        }
    };
    const std::size_t threads =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), candidates.size());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    tried_ += candidates.size();
    if (progress) {
        progress(tried_);
    }
    return scores;
}

bool ProfileSearch::WithinBudget(std::size_t axis, const AxisScore& score) const {
    return score.jitterDegrees && score.lagMilliseconds &&
           *score.lagMilliseconds <= setup_.lagBudgetMilliseconds[axis] &&
           score.largestStepsDegrees <= stepsBudget_[axis];
}

double ProfileSearch::Gain(const AxisScore& candidate, const AxisScore& incumbent,
                           std::size_t fold) {
    // A fold without a rest falls back on the whole half.
    const double after = candidate.foldJitterDegrees[fold].value_or(*candidate.jitterDegrees);
    const double before = incumbent.foldJitterDegrees[fold].value_or(*incumbent.jitterDegrees);
    return (before - after) / std::max(before, 1e-9);
}

bool ProfileSearch::Better(std::size_t axis, const AxisScore& candidate,
                           const AxisScore& incumbent) const {
    if (!WithinBudget(axis, candidate)) {
        // Over the budget, nearer to it is better: that is how a given --max-lag is reached.
        return !WithinBudget(axis, incumbent) && candidate.lagMilliseconds &&
               incumbent.lagMilliseconds && *candidate.lagMilliseconds < *incumbent.lagMilliseconds;
    }
    if (!WithinBudget(axis, incumbent)) {
        return true;
    }
    return Gain(candidate, incumbent, 0) > kLeastGain && Gain(candidate, incumbent, 1) > kLeastGain;
}

bool ProfileSearch::Step(FilterProfile& best, std::array<AxisScore, 3>& score, Key key, bool fine,
                         const Progress& progress) {
    std::array<std::vector<FilterSettings>, 3> options;
    std::size_t count = 0;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (!tuned_[axis]) {
            continue;
        }
        for (const FilterSettings& keys : Variants(best[axis], key, fine)) {
            const bool valid = keys.MinFrames >= 1 && keys.MaxFrames >= keys.MinFrames &&
                               keys.MaxFrames <= kMaxFrames.back() && keys.DecreaseFrame >= 1.0f &&
                               keys.OffsetFrame >= 0;
            auto& list = options[axis];
            if (valid && !(keys == best[axis]) &&
                std::find(list.begin(), list.end(), keys) == list.end()) {
                list.push_back(keys);
            }
        }
        count = std::max(count, options[axis].size());
    }
    if (count == 0) {
        return false;
    }
    // Candidate i tries the i-th option of every axis at once.
    std::vector<FilterProfile> candidates(count, best);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (i < options[axis].size()) {
                candidates[i][axis] = options[axis][i];
            }
        }
    }
    const auto scores = ScoreAll(candidates, progress);
    bool improved = false;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (std::size_t i = 0; i < options[axis].size(); ++i) {
            if (Better(axis, scores[i][axis], score[axis])) {
                score[axis] = scores[i][axis];
                best[axis] = options[axis][i];
                improved = true;
            }
        }
    }
    return improved;
}

bool ProfileSearch::StepOutlierFactor(FilterProfile& best, std::array<AxisScore, 3>& score,
                                      const std::vector<float>& factors, const Progress& progress) {
    // It acts on every axis: with one that cannot be measured, it stays as it is.
    if (!std::all_of(tuned_.begin(), tuned_.end(), [](bool on) { return on; })) {
        return false;
    }
    std::vector<FilterProfile> candidates;
    for (float factor : factors) {
        if (factor >= 0.5f && factor != OutlierFactor(best)) {
            candidates.push_back(best);
            SetOutlierFactor(candidates.back(), factor);
        }
    }
    if (candidates.empty()) {
        return false;
    }
    const auto scores = ScoreAll(candidates, progress);
    // The factor is shared: it must help the three axes together, in proportion to each one's
    // jitter, on both folds, and put none of them over its budget.
    std::optional<std::size_t> chosen;
    double bestGain = kLeastGain;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        std::array<double, 2> gains{};
        bool allowed = true;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            allowed &= WithinBudget(axis, scores[i][axis]) || !WithinBudget(axis, score[axis]);
            if (allowed) {
                for (std::size_t fold = 0; fold < 2; ++fold) {
                    gains[fold] += Gain(scores[i][axis], score[axis], fold);
                }
            }
        }
        const double gain = std::min(gains[0], gains[1]);
        if (allowed && gain > bestGain) {
            bestGain = gain;
            chosen = i;
        }
    }
    if (!chosen) {
        return false;
    }
    SetOutlierFactor(best, OutlierFactor(candidates[*chosen]));
    score = scores[*chosen];
    return true;
}

FilterProfile ProfileSearch::Run(const FilterProfile& start, const Progress& progress) {
    FilterProfile best = start;
    std::array<AxisScore, 3> score = ScoreAll({start}, progress).front();
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const MotionStretches& part = setup_.choosing[axis];
        stepsBudget_[axis] = score[axis].largestStepsDegrees * kStepsAllowance;
        tuned_[axis] = score[axis].jitterDegrees && score[axis].lagMilliseconds &&
                       part.Seconds(part.still) >= kLeastSeconds &&
                       part.Seconds(part.moving) >= kLeastSeconds;
    }
    if (std::none_of(tuned_.begin(), tuned_.end(), [](bool on) { return on; })) {
        return best;
    }
    constexpr Key kKeys[] = {Key::MinFrames, Key::MaxFrames, Key::DecreaseFrame, Key::OffsetFrame};
    for (const bool fine : {false, true}) {
        for (int pass = 0; pass < (fine ? kFinePasses : kCoarsePasses); ++pass) {
            bool improved = false;
            for (const Key key : kKeys) {
                improved |= Step(best, score, key, fine, progress);
            }
            const std::vector<float> factors =
                fine ? std::vector<float>{OutlierFactor(best) - 0.25f, OutlierFactor(best) + 0.25f}
                     : kSdSkipfactors;
            improved |= StepOutlierFactor(best, score, factors, progress);
            if (!improved) {
                break;
            }
        }
    }
    return best;
}

}  // namespace velmora::tune
