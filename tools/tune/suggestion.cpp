#include "tune/suggestion.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/shown_name.h"
#include "tune/axis_metrics.h"
#include "tune/profile_replay.h"
#include "tune/tuning_report.h"

namespace velmora::tune {

bool Suggestion::CalmerWhereUnseen() const {
    for (std::size_t axis = 0; axis < 3; ++axis) {
        // An axis's settings hold the outlier factor, which the search changes on all three.
        const bool changed = suggested[axis] != inUse[axis];
        const auto& before = inUseHeldOut[axis].jitterDegrees;
        const auto& after = suggestedHeldOut[axis].jitterDegrees;
        if (changed && before && after && *after < *before) {
            return true;
        }
    }
    return false;
}

std::optional<Suggestion> Suggestion::Find(const PolledTrace& trace, const std::string& settings,
                                           const std::string& vehicle,
                                           std::optional<double> maxLagMilliseconds,
                                           const ProfileSearch::Progress& progress) {
    Suggestion suggestion;
    {
        const ProfileReplay replay(SettingsText{settings}, vehicle);
        if (!replay.Filtering()) {
            return std::nullopt;
        }
        suggestion.inUse = replay.Filters().Settings();
    }
    suggestion.section = vehicle.empty() ? keys::kGeneralFilter : vehicle;
    const std::size_t readings = trace.readings.size();
    suggestion.split = HeldOutSplit::Of(readings, trace.pollSeconds);

    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    std::array<std::vector<double>, 3> input;
    std::array<MotionStretches, 3> heldOut;
    ProfileSearch::Setup setup;
    setup.trace = &trace;
    setup.inputDegrees = &input;
    setup.settings = settings;
    setup.section = suggestion.section;
    setup.vehicle = vehicle;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        input[axis] = StoredDegrees(trace, axes[axis]);
        const MotionStretches whole =
            MotionStretches::Find(input[axis], trace.joins, trace.pollSeconds);
        setup.choosing[axis] = whole.Within(suggestion.split.choosing, readings);
        for (std::size_t fold = 0; fold < 2; ++fold) {
            std::vector<Stretch> blocks;
            for (std::size_t i = fold; i < suggestion.split.choosing.size(); i += 2) {
                blocks.push_back(suggestion.split.choosing[i]);
            }
            setup.folds[axis][fold] = whole.Within(blocks, readings);
        }
        heldOut[axis] = whole.Within(suggestion.split.reporting, readings);
    }
    const auto inUseOutputs = ProfileSearch(setup).Replay(suggestion.inUse);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        setup.lagBudgetMilliseconds[axis] =
            maxLagMilliseconds ? *maxLagMilliseconds
                               : LagInMotion(input[axis], inUseOutputs[axis],
                                             setup.choosing[axis].moving, trace.pollSeconds)
                                     .value_or(0.0);
    }
    suggestion.lagBudgetMilliseconds = setup.lagBudgetMilliseconds;

    ProfileSearch search(setup);
    suggestion.suggested = search.Run(suggestion.inUse, progress);
    suggestion.tuned = search.Tuned();
    suggestion.tried = search.Tried();
    const auto suggestedOutputs = search.Replay(suggestion.suggested);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        suggestion.inUseHeldOut[axis] =
            AxisMetrics::Measure(input[axis], inUseOutputs[axis], heldOut[axis]);
        suggestion.suggestedHeldOut[axis] =
            AxisMetrics::Measure(input[axis], suggestedOutputs[axis], heldOut[axis]);
    }
    return suggestion;
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

// What the reader should know about one axis after the search, measured where it did not look.
std::string AxisNote(std::size_t axis, bool tuned, const AxisMetrics& inUse,
                     const AxisMetrics& suggested, std::optional<double> givenBudget) {
    const std::string name = kAxisNames[axis];
    if (!tuned) {
        return Wrapped(name + ": kept as it is: the half the search chooses on holds less than " +
                           FormatNumber("%.0f s", ProfileSearch::kLeastSeconds) +
                           " of rest or of movement on it, too little to measure its jitter "
                           "and lag.",
                       2);
    }
    std::string note;
    if (suggested.jitterDegrees && inUse.jitterDegrees &&
        *suggested.jitterDegrees >= *inUse.jitterDegrees) {
        note += Wrapped(name + ": no calmer on the held-out half (" +
                            FormatNumber("%.3f", *suggested.jitterDegrees) + "° against " +
                            FormatNumber("%.3f", *inUse.jitterDegrees) + "°): keep your own " +
                            name + " keys.",
                        2);
    }
    // The default budget was measured on the other half; here, the fair mark is what the profile
    // in use lags on this one.
    const std::optional<double> mark = givenBudget ? givenBudget : inUse.lagMilliseconds;
    if (mark && suggested.lagMilliseconds && *suggested.lagMilliseconds > *mark + 0.5) {
        note += Wrapped(name + ": on the held-out half it lags " +
                            FormatNumber("%.0f ms", *suggested.lagMilliseconds) +
                            (givenBudget ? ", over the budget of " : ", more than yours: ") +
                            FormatNumber("%.0f ms", *mark) + ".",
                        2);
    }
    return note;
}

}  // namespace

int Suggest(const SuggestRequest& request, const PolledTrace& trace) {
    const std::string& path = request.configPath;
    const std::string file = std::filesystem::path(path).filename().string();
    const std::string& vehicle = request.vehicle;
    const auto settings = ReadSettingsFile(path);
    if (!settings) {
        std::fprintf(stderr, "velmora-tune: cannot read %s\n", path.c_str());
        return 1;
    }
    if (trace.Duration() < kShortestTrace) {
        std::fprintf(stderr,
                     "velmora-tune: --suggest needs a trace of a minute or more (this one lasts "
                     "%.1f s): it chooses on one half and checks on the other\n",
                     trace.Duration());
        return 1;
    }
    const std::string profileName =
        file + ": " + (vehicle.empty() ? std::string(keys::kGeneralFilter) : QuotedName(vehicle));
    std::fputs(
        Wrapped("Searching " + profileName + " for the least jitter at rest within a lag budget.")
            .c_str(),
        stdout);
    std::fflush(stdout);

    const auto start = Clock::now();
    double reported = 0.0;
    const auto found = Suggestion::Find(
        trace, *settings, vehicle, request.maxLagMilliseconds, [&](std::size_t tried) {
            const double seconds = SecondsSince(start);
            if (seconds - reported >= kProgressSeconds) {
                reported = seconds;
                std::fprintf(stderr, "  ... %zu profiles tried, %.0f s\n", tried, seconds);
            }
        });
    if (!found) {
        std::fprintf(stderr,
                     "velmora-tune: %s switches the smoothing off (Use Filtering = false): "
                     "there is nothing to tune\n",
                     path.c_str());
        return 1;
    }
    const Suggestion& suggestion = *found;
    std::string budgets;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        Add(budgets, {axis == 0 ? "" : ", ", kAxisNames[axis], " ",
                      FormatNumber("%.0f ms", suggestion.lagBudgetMilliseconds[axis])});
    }
    std::fputs(Wrapped("Tried " + std::to_string(suggestion.tried) + " profiles in " +
                       FormatNumber("%.1f s", SecondsSince(start)) +
                       ". The lag budget: " + budgets + " (" +
                       (request.maxLagMilliseconds
                            ? "--max-lag"
                            : "the lag of the profile in use, on the half the search chose on") +
                       ").")
                   .c_str(),
               stdout);
    std::fputs("\n", stdout);

    MetricsTable table = MetricsTable::Empty();
    std::string notes;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        table.Add("in use: " + profileName, axis, suggestion.inUseHeldOut[axis]);
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
        table.Add("suggested", axis, suggestion.suggestedHeldOut[axis]);
        // An axis the search left as it was needs no word.
        const bool tuned = suggestion.tuned[axis];
        if (!tuned || suggestion.suggested[axis] != suggestion.inUse[axis]) {
            notes += AxisNote(axis, tuned, suggestion.inUseHeldOut[axis],
                              suggestion.suggestedHeldOut[axis], request.maxLagMilliseconds);
        }
    }
    const double block = static_cast<double>(suggestion.split.blockReadings) * trace.pollSeconds;
    std::printf("%s%s\n%s\n",
                Wrapped("Chosen on half of the trace: alternate stretches of " +
                        FormatNumber("%.0f s", block) + " (" +
                        Blocks(suggestion.split.choosing, trace.pollSeconds) + ").")
                    .c_str(),
                Wrapped("Measured below on the other half (" +
                        Blocks(suggestion.split.reporting, trace.pollSeconds) +
                        "), which the search did not see:")
                    .c_str(),
                table.AsText().c_str());
    if (!notes.empty()) {
        std::printf("%s\n", notes.c_str());
    }
    if (!suggestion.Changed()) {
        std::printf("No calmer profile within the budget: keep yours.\n");
        return 0;
    }
    if (!suggestion.CalmerWhereUnseen()) {
        std::fputs(Wrapped("The suggestion is calmer only on the half it chose on, not on the "
                           "other: keep yours.")
                       .c_str(),
                   stdout);
        return 0;
    }
    const std::string comment = "velmora-tune --suggest, from " + request.traceName;
    std::printf(
        "%s\n%s",
        Wrapped("Paste these lines at the very top of " + file +
                ". A key given twice in a section counts where it first appears, so they take "
                "the place of the same keys further down (delete those if you like); the rest of "
                "the file stays as it is." +
                (OutlierFactor(suggestion.suggested) != OutlierFactor(suggestion.inUse)
                     ? " SD Skipfactor is one for every car."
                     : ""))
            .c_str(),
        PasteBlock(suggestion.suggested, suggestion.section, comment).c_str());
    return 0;
}

}  // namespace velmora::tune
