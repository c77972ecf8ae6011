#include "suggest_command.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "axis_metrics.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "metrics_table.h"
#include "report_text.h"
#include "suggestion.h"
#include "tuning_run.h"

namespace velmora::tune {
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
        return name + ": kept as it is: the half the search chooses on holds less than " +
               FormatNumber("%.0f s", ProfileSearch::kLeastSeconds) +
               " of rest or of movement on it, too little to measure its jitter and lag.\n";
    }
    std::string note;
    if (suggested.jitterDegrees && inUse.jitterDegrees &&
        *suggested.jitterDegrees >= *inUse.jitterDegrees) {
        note += name + ": no calmer on the held-out half (" +
                FormatNumber("%.3f", *suggested.jitterDegrees) + "° against " +
                FormatNumber("%.3f", *inUse.jitterDegrees) + "°): keep your own " + name +
                " keys.\n";
    }
    // The default budget was measured on the other half; here, the fair mark is what the profile
    // in use lags on this one.
    const std::optional<double> mark = givenBudget ? givenBudget : inUse.lagMilliseconds;
    if (mark && suggested.lagMilliseconds && *suggested.lagMilliseconds > *mark + 0.5) {
        note += name + ": on the held-out half it lags " +
                FormatNumber("%.0f ms", *suggested.lagMilliseconds) +
                (givenBudget ? ", over the budget of " : ", more than yours: ") +
                FormatNumber("%.0f ms", *mark) + ".\n";
    }
    return note;
}

}  // namespace

int Suggest(const TuneOptions& options, const PolledTrace& trace) {
    const std::string& path = options.configPaths.front();
    const std::string file = std::filesystem::path(path).filename().string();
    const std::string vehicle = options.vehicles.empty() ? "" : options.vehicles.front();
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
        file + ": " + (vehicle.empty() ? std::string(keys::kGeneralFilter) : vehicle);
    std::printf("Searching %s for the least jitter at rest within a lag budget.\n",
                profileName.c_str());
    std::fflush(stdout);

    const auto start = Clock::now();
    double reported = 0.0;
    const auto found = Suggestion::Find(
        trace, *settings, vehicle, options.maxLagMilliseconds, [&](std::size_t tried) {
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
    std::printf("Tried %zu profiles in %.1f s. The lag budget: %s (%s).\n\n", suggestion.tried,
                SecondsSince(start), budgets.c_str(),
                options.maxLagMilliseconds
                    ? "--max-lag"
                    : "the lag of the profile in use, on the half the search chose on");

    MetricsTable table = MetricsTable::Empty();
    std::string notes;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        table.Add("in use: " + profileName, axis, suggestion.inUseHeldOut[axis]);
        table.Add("suggested", axis, suggestion.suggestedHeldOut[axis]);
        // An axis the search left as it was needs no word.
        const bool tuned = suggestion.tuned[axis];
        if (!tuned || suggestion.suggested[axis] != suggestion.inUse[axis]) {
            notes += AxisNote(axis, tuned, suggestion.inUseHeldOut[axis],
                              suggestion.suggestedHeldOut[axis], options.maxLagMilliseconds);
        }
    }
    const double block = static_cast<double>(suggestion.split.blockReadings) * trace.pollSeconds;
    std::printf(
        "Chosen on half of the trace: alternate stretches of %.0f s (%s).\n"
        "Measured below on the other half (%s), which the search did not see:\n\n%s\n",
        block, Blocks(suggestion.split.choosing, trace.pollSeconds).c_str(),
        Blocks(suggestion.split.reporting, trace.pollSeconds).c_str(), table.AsText().c_str());
    if (!notes.empty()) {
        std::printf("%s\n", notes.c_str());
    }
    if (!suggestion.Changed()) {
        std::printf("No calmer profile within the budget: keep yours.\n");
        return 0;
    }
    if (!suggestion.CalmerWhereUnseen()) {
        std::printf(
            "The suggestion is calmer only on the half it chose on, not on the other: "
            "keep yours.\n");
        return 0;
    }
    const std::string comment =
        "velmora-tune --suggest, from " +
        std::filesystem::path(options.tracePath).filename().string() +
        (options.traceVehicle.empty() ? "" : " (" + options.traceVehicle + ")");
    std::printf(
        "Paste these lines at the very top of %s. A key given twice in a section counts where it\n"
        "first appears, so they take the place of the same keys further down (delete those if\n"
        "you like); the rest of the file stays as it is.%s\n\n%s",
        file.c_str(),
        OutlierFactor(suggestion.suggested) != OutlierFactor(suggestion.inUse)
            ? " SD Skipfactor is one for every car."
            : "",
        PasteBlock(suggestion.suggested, suggestion.section, comment).c_str());
    return 0;
}

}  // namespace velmora::tune
