#include "tune/suggestion.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <stdexcept>

#include "config/config_file.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/shown_name.h"
#include "tune/one_euro_filter.h"
#include "tune/profile_replay.h"
#include "tune/tuning_report.h"

namespace velmora::tune {
namespace {

// The yardstick's keys as the suggestion searches them: coarser first steps than the benchmark's,
// for a player's minute.
std::vector<SearchKey> YardstickKeys() {
    std::vector<SearchKey> keys = OneEuroKeys();
    keys[0].coarseStep = 4;
    keys[1].coarseStep = 4;
    keys[2].coarseStep = 3;
    return keys;
}

std::optional<double> Ratio(const std::optional<double>& after,
                            const std::optional<double>& before) {
    if (!after || !before || *before <= 0.0) {
        return std::nullopt;
    }
    return *after / *before;
}

// The choosing half as the search measures a profile: the axes side by side.
class AxisSearches {
public:
    AxisSearches(const std::array<std::vector<std::int32_t>, 3>& raw,
                 const std::array<HeadReference, 3>& choosing, const std::vector<Stretch>& blocks,
                 Goal goal, const std::array<AxisBounds, 3>& bounds, const FilterProfile& inUse)
        : raw_(raw),
          choosing_(choosing),
          blocks_(blocks),
          goal_(goal),
          bounds_(bounds),
          inUse_(inUse) {}

    // The best settings of one axis with the outlier factor held at `factor` (or walked with the
    // other keys, when empty), from `starts` and the profile in use's own keys.
    std::optional<Candidate> Search(std::size_t axis, std::optional<double> factor,
                                    std::vector<Setting> starts) {
        std::vector<SearchKey> keys = FilterSearchKeys();
        const double inUseFactor = inUse_[axis].SDSkipfactor;
        if (factor) {
            keys.back().values = {*factor};
        }
        Setting own = SettingOf(inUse_[axis]);
        own.back() = factor.value_or(inUseFactor);
        starts.push_back(own);
        ConstrainedSearch search(
            keys,
            [&, axis](const Setting& s) {
                return RunFilterWithin(raw_[axis], FilterSettingsFrom(s, inUse_[axis]), blocks_,
                                       choosing_[axis].pollSeconds);
            },
            choosing_[axis], goal_, bounds_[axis]);
        auto best = search.Run(starts);
        tried_ += search.Tried();
        if (!factor && best) {
            // The best at each outlier factor, for the three axes to agree on one.
            for (const double value : keys.back().values) {
                if (auto at = search.BestWith(keys.size() - 1, value)) {
                    bestByFactor_[axis][value] = std::move(*at);
                }
            }
        }
        return best;
    }

    const std::map<double, Candidate>& BestByFactor(std::size_t axis) const {
        return bestByFactor_[axis];
    }
    std::optional<double> CostOf(std::size_t axis, const HeadMetrics& metrics) const {
        return Cost(metrics, goal_, bounds_[axis]);
    }
    std::size_t Tried() const { return tried_; }

private:
    const std::array<std::vector<std::int32_t>, 3>& raw_;
    const std::array<HeadReference, 3>& choosing_;
    const std::vector<Stretch>& blocks_;
    Goal goal_;
    const std::array<AxisBounds, 3>& bounds_;
    const FilterProfile& inUse_;
    std::array<std::map<double, Candidate>, 3> bestByFactor_;
    std::size_t tried_ = 0;
};

}  // namespace

bool Suggestion::BetterWhereUnseen(Goal goal) const {
    bool better = false;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (suggested[axis] == inUse[axis]) {
            continue;
        }
        const HeadMetrics& before = inUseHeldOut[axis].head;
        const HeadMetrics& after = suggestedHeldOut[axis].head;
        const auto ratio =
            goal == Goal::LeastRestError
                ? Ratio(after.restErrorDegrees, before.restErrorDegrees)
                : Ratio(after.effectiveLagMilliseconds, before.effectiveLagMilliseconds);
        if (!ratio || *ratio > 1.0) {
            return false;
        }
        better |= *ratio < 1.0;
    }
    return better;
}

std::optional<Suggestion> Suggestion::Find(const PolledTrace& trace, const std::string& settings,
                                           const std::string& vehicle, const std::string& section,
                                           const SuggestOptions& options,
                                           const Progress& progress) {
    Suggestion found;
    found.vehicle = vehicle;
    found.section = section;
    {
        const ProfileReplay replay(SettingsText{settings}, vehicle);
        if (!replay.Filtering()) {
            return std::nullopt;
        }
        found.inUse = replay.Filters().Settings();
    }
    const std::size_t readings = trace.readings.size();
    found.split = HeldOutSplit::Of(readings, trace.pollSeconds);
    std::array<std::vector<std::int32_t>, 3> raw;
    std::array<HeadReference, 3> choosing;
    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        found.stretches[axis] =
            MotionStretches::Find(StoredDegrees(trace, axes[axis]), trace.joins, trace.pollSeconds);
        raw[axis] = RawAxis(trace, axis);
    }
    found.heads = HeadsOf(trace, found.stretches);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        choosing[axis] = found.heads[axis].head.Within(found.split.choosing);
        const AxisMetrics inUse =
            AxisMetrics::Measure(found.heads[axis].Within(found.split.choosing),
                                 RunFilter(raw[axis], found.inUse[axis]), found.stretches[axis]);
        found.bounds[axis] = BoundsOf(inUse.head, options.goal);
        if (options.maxLagMilliseconds) {
            found.bounds[axis] = {options.maxLagMilliseconds, std::nullopt, std::nullopt};
        }
        found.tuned[axis] =
            inUse.head.restErrorDegrees && inUse.restSeconds >= kLeastRestSeconds &&
            ((inUse.head.effectiveLagMilliseconds && inUse.movingSeconds >= kLeastMovingSeconds) ||
             inUse.head.glances >= kLeastGlances);
    }

    AxisSearches searches(raw, choosing, found.split.choosing, options.goal, found.bounds,
                          found.inUse);
    // The outlier factor acts on all three axes: it is searched only when all three are tuned.
    const bool allTuned = found.tuned[0] && found.tuned[1] && found.tuned[2];
    const bool searchFactor = allTuned && options.outlierFactor;
    const double inUseFactor = found.inUse[0].SDSkipfactor;
    std::array<std::optional<Candidate>, 3> best;
    std::array<std::optional<double>, 3> inUseCost;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (!found.tuned[axis]) {
            continue;
        }
        inUseCost[axis] = searches.CostOf(
            axis, HeadMetrics::Measure(choosing[axis], RunFilter(raw[axis], found.inUse[axis])));
        best[axis] =
            searches.Search(axis, searchFactor ? std::nullopt : std::optional<double>(inUseFactor),
                            StartingGrid(FilterSearchKeys(), inUseFactor));
        if (progress) {
            progress(searches.Tried());
        }
    }
    // A change of an axis counts only when it wins kLeastGain. Measured against the profile in use
    // when it keeps the bounds; a given --max-lag it may not keep.
    auto worthIt = [&](std::size_t axis, const std::optional<Candidate>& candidate) {
        if (!candidate) {
            return false;
        }
        const auto cost = searches.CostOf(axis, candidate->metrics);
        return cost && (!inUseCost[axis] || *cost <= (1.0 - kLeastGain) * *inUseCost[axis]);
    };
    // The profile at one outlier factor: each tuned axis its best there when that is worth it.
    auto profileAt = [&](double factor, const std::array<std::optional<Candidate>, 3>& at) {
        FilterProfile profile = found.inUse;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (found.tuned[axis] && worthIt(axis, at[axis])) {
                profile[axis] = FilterSettingsFrom(at[axis]->setting, found.inUse[axis]);
            }
            profile[axis].SDSkipfactor = static_cast<float>(factor);
        }
        return profile;
    };
    found.suggested = profileAt(inUseFactor, best);
    if (searchFactor) {
        // The factors the axes' own bests chose, each walked again with the factor held, and taken
        // when all three axes keep their bounds there and their costs fall the most together.
        std::set<double> factors;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (best[axis]) {
                factors.insert(best[axis]->setting.back());
            }
        }
        factors.insert(inUseFactor);
        double leastSum = HUGE_VAL;
        for (const double factor : factors) {
            std::array<std::optional<Candidate>, 3> at;
            double sum = 0.0;
            for (std::size_t axis = 0; axis < 3 && sum < HUGE_VAL; ++axis) {
                std::vector<Setting> starts;
                if (const auto there = searches.BestByFactor(axis).find(factor);
                    there != searches.BestByFactor(axis).end()) {
                    starts.push_back(there->second.setting);
                }
                at[axis] = searches.Search(axis, factor, starts);
                const auto cost =
                    at[axis] ? searches.CostOf(axis, at[axis]->metrics) : std::nullopt;
                const bool keep = factor == inUseFactor && !worthIt(axis, at[axis]);
                sum += keep ? 1.0 : cost && inUseCost[axis] ? *cost / *inUseCost[axis] : HUGE_VAL;
            }
            if (progress) {
                progress(searches.Tried());
            }
            // Another factor must win for the three axes together, and for each.
            const bool each = factor == inUseFactor ||
                              (worthIt(0, at[0]) && worthIt(1, at[1]) && worthIt(2, at[2]));
            if (each && sum < leastSum) {
                leastSum = sum;
                found.suggested = profileAt(factor, at);
            }
        }
    }
    found.tried = searches.Tried();

    // The file with the suggestion in place, read back as the plug-in reads it: what is measured
    // below is what the player will have.
    found.changes = ChangesFor(settings, section, found.inUse, found.suggested);
    found.edited = Edited(settings, found.changes);
    ProfileReplay inUseReplay(SettingsText{settings}, vehicle);
    ProfileReplay suggestedReplay(SettingsText{found.edited}, vehicle);
    if (suggestedReplay.Filters().Settings() != found.suggested) {
        throw std::logic_error("the settings written do not read back as the suggestion");
    }
    for (const sim::Pose& reading : trace.readings) {
        inUseReplay.Feed(reading);
        suggestedReplay.Feed(reading);
        const auto before = inUseReplay.Outputs();
        const auto after = suggestedReplay.Outputs();
        for (std::size_t axis = 0; axis < 3; ++axis) {
            found.cameras[0][axis].push_back(RawToDegrees(before[axis]));
            found.cameras[1][axis].push_back(RawToDegrees(after[axis]));
        }
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const AxisHead heldOut = found.heads[axis].Within(found.split.reporting);
        const MotionStretches part = found.stretches[axis].Within(found.split.reporting, readings);
        found.inUseHeldOut[axis] = AxisMetrics::Measure(heldOut, found.cameras[0][axis], part);
        found.suggestedHeldOut[axis] = AxisMetrics::Measure(heldOut, found.cameras[1][axis], part);

        // The yardstick, tuned to the same goal within the same bounds on the same half.
        const std::vector<double> degrees = Unwrapped(raw[axis]);
        const AxisRun euro = [&](const Setting& s) {
            return RunOneEuro(degrees, trace.pollSeconds, s);
        };
        std::optional<Candidate> yardstick;
        if (found.tuned[axis]) {
            ConstrainedSearch search(YardstickKeys(), euro, choosing[axis], options.goal,
                                     found.bounds[axis]);
            yardstick = search.Run(CoarseGrid(YardstickKeys()));
            found.tried += search.Tried();
        }
        if (yardstick) {
            found.yardstick[axis] = yardstick->setting;
            found.cameras[2][axis] = euro(yardstick->setting);
            found.yardstickHeldOut[axis] =
                AxisMetrics::Measure(heldOut, found.cameras[2][axis], part);
        } else {
            found.cameras[2][axis] = found.cameras[0][axis];
        }
    }
    if (progress) {
        progress(found.tried);
    }
    return found;
}

namespace {

using Clock = std::chrono::steady_clock;

// Half of it is held out: shorter, and neither half says much.
constexpr double kShortestTrace = 60.0;
constexpr double kProgressSeconds = 3.0;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "0-30 s, 60-90 s, ..."
std::string Blocks(const std::vector<Stretch>& blocks, double pollSeconds) {
    std::string text;
    for (std::size_t i = 0; i < blocks.size() && i < 2; ++i) {
        Add(text, {i == 0 ? "" : ", ",
                   FormatNumber("%.0f", static_cast<double>(blocks[i].begin) * pollSeconds), "-",
                   FormatNumber("%.0f s", static_cast<double>(blocks[i].end) * pollSeconds)});
    }
    return text + (blocks.size() > 2 ? ", ..." : "");
}

std::string Figure(const std::optional<double>& value, const char* format) {
    return value ? FormatNumber(format, *value) : "-";
}

// What the player will feel on one axis the suggestion changes, from the held-out figures.
std::string FeltText(std::size_t axis, const HeadMetrics& before, const HeadMetrics& after) {
    std::string text = std::string(kAxisNames[axis]) + ": at rest the camera will sit " +
                       Figure(after.restErrorDegrees, "%.3f°") + " from your head instead of " +
                       Figure(before.restErrorDegrees, "%.3f°");
    const auto trail = Ratio(after.trailDegrees, before.trailDegrees);
    const auto shake = Ratio(after.shakeDegrees, before.shakeDegrees);
    if (trail && shake) {
        text += *trail < 0.9 && *shake < 0.9   ? " (less trail behind a slow drift, less shake)"
                : *trail < 0.9                 ? " (less trail behind a slow drift)"
                : *shake < 0.9                 ? " (less shake)"
                : *trail > 1.1 || *shake > 1.1 ? " (a little more trail or shake)"
                                               : "";
    }
    text += "; in a turn it will follow " + Figure(after.effectiveLagMilliseconds, "%.0f ms") +
            " behind instead of " + Figure(before.effectiveLagMilliseconds, "%.0f ms");
    if (after.onsetDelayMilliseconds && before.onsetDelayMilliseconds) {
        text += ", and start a glance " + Figure(after.onsetDelayMilliseconds, "%.0f ms") +
                " after your head instead of " + Figure(before.onsetDelayMilliseconds, "%.0f ms");
    }
    return Wrapped(text + ".", 2);
}

std::string AxisNote(std::size_t axis, const Suggestion& found) {
    if (!found.tuned[axis]) {
        return Wrapped(std::string(kAxisNames[axis]) +
                           ": kept as it is: the half the search chooses on holds less than " +
                           FormatNumber("%.0f s", kLeastRestSeconds) + " of rest or " +
                           FormatNumber("%.1f s", kLeastMovingSeconds) + " of movement (or " +
                           std::to_string(kLeastGlances) +
                           " glances) on it, too little to measure.",
                       2);
    }
    if (found.suggested[axis] == found.inUse[axis]) {
        return Wrapped(std::string(kAxisNames[axis]) + ": kept as it is: nothing within its " +
                           "bounds takes " + FormatNumber("%.0f%%", kLeastGain * 100) +
                           " off on the half the search chose on.",
                       2);
    }
    return FeltText(axis, found.inUseHeldOut[axis].head, found.suggestedHeldOut[axis].head);
}

std::string YardstickLine(const Suggestion& found) {
    std::string text = "The yardstick, the One Euro filter tuned by the same search:";
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (found.yardstick[axis]) {
            text += " " + std::string(kAxisNames[axis]) + " " +
                    SettingText(OneEuroKeys(), *found.yardstick[axis]) + ";";
        }
    }
    if (text.back() == ':') {
        return Wrapped(text + " nothing keeps within the bounds.");
    }
    text.back() = '.';
    return Wrapped(text +
                   " It is no setting of Velmora's: it shows how close the suggestion comes "
                   "to a well-known filter.");
}

// The report of the three profiles, for --html.
std::string SuggestionReport(const Suggestion& found, const PolledTrace& trace,
                             const std::string& traceName) {
    TuningRun run;
    run.trace = trace;
    run.stretches = found.stretches;
    run.heads = found.heads;
    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        run.inputDegrees[axis] = StoredDegrees(trace, axes[axis]);
    }
    const char* labels[] = {"in use", "suggested", "One Euro (yardstick)"};
    const std::array<AxisMetrics, 3>* metrics[] = {&found.inUseHeldOut, &found.suggestedHeldOut,
                                                   &found.yardstickHeldOut};
    for (std::size_t p = 0; p < 3; ++p) {
        ProfileResult result;
        result.choice.label = labels[p];
        result.outputDegrees = found.cameras[p];
        result.metrics = *metrics[p];
        run.profiles.push_back(std::move(result));
    }
    ReportOptions options;
    options.title = "Velmora tuning bench: --suggest";
    options.traceName = traceName + " (the metrics on the held-out half)";
    return HtmlReport(run, options);
}

// The profiles --suggest searches: each car the trace was driven in (each as the plug-in applies
// it), or the one asked for, or "General Filter" alone for a trace that names none.
std::vector<std::string> CarsToSearch(const SuggestRequest& request, const sim::TraceFile& file) {
    if (!request.vehicle.empty()) {
        return {request.vehicle};
    }
    if (!request.traceVehicle.empty()) {
        return {request.traceVehicle};
    }
    std::vector<std::string> cars;
    for (const auto& [car, seconds] : file.VehicleSeconds()) {
        if (!car.empty()) {
            cars.push_back(car);
        }
    }
    return cars.empty() ? std::vector<std::string>{""} : cars;
}

bool WriteNew(const std::string& path, const std::string& text, const char* holding) {
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        std::fprintf(stderr,
                     "velmora-tune: %s exists already: name a new file for --write (it never "
                     "overwrites one)\n",
                     path.c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush()) {
        std::fprintf(stderr, "velmora-tune: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("Wrote %s: %s.\n", path.c_str(), holding);
    return true;
}

}  // namespace

int Suggest(const SuggestRequest& request, const sim::TraceFile& file, const PolledTrace& trace) {
    const std::string& path = request.configPath;
    const std::string fileName = std::filesystem::path(path).filename().string();
    auto settings = ReadSettingsFile(path);
    if (!settings) {
        std::fprintf(stderr, "velmora-tune: cannot read %s\n", path.c_str());
        return 1;
    }
    if (!request.writePath.empty() && std::filesystem::exists(request.writePath)) {
        std::fprintf(stderr,
                     "velmora-tune: %s exists already: name a new file for --write (it never "
                     "overwrites one)\n",
                     request.writePath.c_str());
        return 1;
    }
    const std::vector<std::string> cars = CarsToSearch(request, file);
    const bool severalCars = cars.size() > 1;
    const Goal goal = request.options.goal;
    bool anySuggested = false;
    bool reported = false;
    for (const std::string& car : cars) {
        std::string error;
        // A car the player named is taken to be the whole of the trace given.
        const bool whole = car.empty() || !request.vehicle.empty() || !request.traceVehicle.empty();
        const auto own =
            whole ? std::optional<PolledTrace>(trace) : PolledTrace::From(file, car, error);
        const std::string profileName =
            fileName + ": " + (car.empty() ? std::string(keys::kGeneralFilter) : QuotedName(car));
        if (!own || own->Duration() < kShortestTrace) {
            std::fputs(
                Wrapped(severalCars
                            ? profileName + ": left out: driven for less than a minute, too little "
                                            "to choose on one half and check on the other."
                            : std::string("velmora-tune: --suggest needs a trace of a minute or "
                                          "more (this one lasts ") +
                                  FormatNumber("%.1f s", own ? own->Duration() : 0.0) +
                                  "): it chooses on one half and checks on the other")
                    .c_str(),
                severalCars ? stdout : stderr);
            if (!severalCars) {
                return 1;
            }
            continue;
        }
        // The car's own section when the file has one. A car without one that the player named,
        // or one of several, gets a section of its own rather than change "General Filter" under
        // every other car.
        const bool ownSection = !car.empty() && HeaderLine(*settings, car) != 0;
        const bool newSection = !car.empty() && (severalCars || !request.vehicle.empty());
        const std::string section =
            ownSection || newSection ? car : std::string(keys::kGeneralFilter);
        std::string asked =
            goal == Goal::LeastRestError
                ? "the least rest error with no more lag and onset delay than it has now"
                : "the least lag with no more rest error and onset delay than it has now";
        if (request.options.maxLagMilliseconds) {
            asked = "the least rest error within " +
                    FormatNumber("%g ms", *request.options.maxLagMilliseconds) + " of lag";
        }
        std::fputs(
            Wrapped(std::string(&car == &cars.front() ? "" : "\n") + "Searching " + profileName +
                    (car.empty() ? "" : ", on the rows recorded in that car,") + " for " + asked +
                    ".")
                .c_str(),
            stdout);
        std::fflush(stdout);
        const auto start = Clock::now();
        double shown = 0.0;
        SuggestOptions options = request.options;
        // One outlier factor serves every car: with several, it stays as it is.
        options.outlierFactor = !severalCars;
        const auto found =
            Suggestion::Find(*own, *settings, car, section, options, [&](std::size_t tried) {
                const double seconds = SecondsSince(start);
                if (seconds - shown >= kProgressSeconds) {
                    shown = seconds;
                    std::fprintf(stderr, "  ... %zu settings tried, %.0f s\n", tried, seconds);
                }
            });
        if (!found) {
            std::fprintf(stderr,
                         "velmora-tune: %s switches the smoothing off (Use Filtering = false): "
                         "there is nothing to tune\n",
                         path.c_str());
            return 1;
        }
        const double block = static_cast<double>(found->split.blockReadings) * own->pollSeconds;
        std::fputs(
            Wrapped("Tried " + std::to_string(found->tried) + " settings in " +
                    FormatNumber("%.1f s", SecondsSince(start)) + ", chosen on half of the " +
                    "trace (alternate stretches of " + FormatNumber("%.0f s", block) + ": " +
                    Blocks(found->split.choosing, own->pollSeconds) +
                    "). Measured below on the other half, which the search did not see:")
                .c_str(),
            stdout);
        std::fputs("\n", stdout);
        MetricsTable table = MetricsTable::Empty();
        for (std::size_t axis = 0; axis < 3; ++axis) {
            table.Add("in use", axis, found->inUseHeldOut[axis]);
        }
        for (std::size_t axis = 0; axis < 3; ++axis) {
            table.Add("suggested", axis, found->suggestedHeldOut[axis]);
        }
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (found->yardstick[axis]) {
                table.Add("One Euro (yardstick)", axis, found->yardstickHeldOut[axis]);
            }
        }
        std::printf("%s\n%s\n", table.AsText().c_str(), TrackerText(found->heads).c_str());
        for (std::size_t axis = 0; axis < 3; ++axis) {
            std::fputs(AxisNote(axis, *found).c_str(), stdout);
        }
        std::fputs(YardstickLine(*found).c_str(), stdout);
        std::fputs("\n", stdout);
        if (!request.htmlPath.empty() && !reported) {
            reported = true;
            if (!WriteNew(request.htmlPath, SuggestionReport(*found, *own, request.traceName),
                          ("the report of " + profileName).c_str())) {
                return 1;
            }
        }
        if (!found->Changed()) {
            std::fputs(Wrapped("Nothing takes " + FormatNumber("%.0f%%", kLeastGain * 100) +
                               " off within the bounds: keep " + profileName + " as it is.")
                           .c_str(),
                       stdout);
            continue;
        }
        if (!found->BetterWhereUnseen(goal)) {
            std::fputs(Wrapped("The suggestion is better only on the half it chose on, not on the "
                               "other: keep " +
                               profileName + " as it is.")
                           .c_str(),
                       stdout);
            continue;
        }
        anySuggested = true;
        std::printf("%s%s",
                    Wrapped("Set these keys in " + fileName +
                            (request.writePath.empty() ? " (or add --write NEW-FILE)" : "") +
                            ", each where it stands; a key a section lacks goes under its header:" +
                            (found->changes.front().section == keys::kSettings
                                 ? " SD Skipfactor is one for every car."
                                 : ""))
                        .c_str(),
                    ChangesText(*settings, found->changes).c_str());
        *settings = found->edited;
    }
    if (!request.writePath.empty()) {
        if (!anySuggested) {
            std::printf("Nothing to write: %s stays as it is.\n", fileName.c_str());
            return 0;
        }
        if (!WriteNew(request.writePath, *settings,
                      (fileName + " with the suggestion in place").c_str())) {
            return 1;
        }
    }
    return 0;
}

}  // namespace velmora::tune
