// velmora-tune: replays a head trace through Velmora's filter profiles and measures the camera.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/command_line.h"
#include "config/config_file.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "config/shown_name.h"
#include "tune/profile_replay.h"
#include "tune/suggestion.h"
#include "tune/tuning_report.h"

extern "C" {
#include "common/host_os.h"
}

namespace {

using namespace velmora;
using namespace velmora::tune;

struct TuneOptions {
    std::string tracePath;
    TraceUnits units = TraceUnits::FromHeader;
    std::string traceVehicle;  // only the rows recorded while driving it; empty: all
    std::vector<std::string> configPaths;
    std::vector<std::string> vehicles;
    std::string htmlPath;
    std::string csvPath;
    std::string seriesPath;
    std::optional<double> detailStartSeconds;
    std::string title = "Velmora tuning bench";
    bool suggest = false;
    bool leastLag = false;
    std::optional<double> maxLagMilliseconds;
    std::string writePath;
    bool help = false;

    // Empty, with the reason in `error`, when the arguments do not make a run.
    static std::optional<TuneOptions> Parse(int argc, const char* const* argv, std::string& error);
};

constexpr char kTuneUsage[] =
    R"(usage: velmora-tune --trace FILE --config FILE [options]
       velmora-tune --trace FILE --config FILE [--vehicle NAME] --suggest [--least-lag |
                    --max-lag MS] [--write NEW-FILE] [--html FILE]

Replays a recorded head trace through Velmora's own filters and profiles, as the plug-in
would while you drive, and measures what the camera does; or suggests a profile.

  --trace FILE          CSV "time_s,yaw,pitch,roll": degrees, or raw tracker units when the
                        header says so ("yaw_raw") or --units raw is given; Velmora.dll
                        records one with "Record Trace = true"
  --units U             degrees | raw: overrides the header
  --trace-vehicle NAME  only the rows recorded while driving NAME (a recording by
                        Velmora.dll names the car)
  --config FILE         a Velmora.cfg; give several to compare them
  --vehicle NAME        the vehicle driven (its section applies over "General Filter"); give
                        several to compare them; none: "General Filter" alone
  --html FILE           write a self-contained report with a plot per axis
  --csv FILE            write the metrics table as CSV
  --series FILE         write every reading as CSV: input, outputs and the nine controls
  --detail SECONDS      where each axis's 10-second close-up begins in the report
  --title TEXT          the report's title
  --suggest             search the profile's keys for the least rest error with no more lag
                        and onset delay than it has, and print the keys to set in Velmora.cfg
                        (one --config, at most one --vehicle; a trace that names cars: each)
  --least-lag           with --suggest: the least lag with no more rest error and onset delay
  --max-lag MS          with --suggest: the least rest error within MS of lag, 1 to 500
  --write NEW-FILE      with --suggest: write the settings file with the suggestion in place
                        to NEW-FILE, which must not exist yet

Exit status: 0 when measured, 1 when a file cannot be used, 2 when the command line is wrong.
)";

constexpr tools::Option kOptions[] = {
    {"--trace", true},      {"--units", true}, {"--trace-vehicle", true}, {"--config", true},
    {"--vehicle", true},    {"--html", true},  {"--csv", true},           {"--series", true},
    {"--detail", true},     {"--title", true}, {"--suggest", false},      {"--max-lag", true},
    {"--least-lag", false}, {"--write", true}, {"--help", false},         {"-h", false}};

// The lag measure looks no further than 50 readings, half a second at the usual poll: a budget
// beyond it buys nothing the measure could show.
constexpr double kLeastLagBudget = 1.0;
constexpr double kMostLagBudget = 500.0;

std::optional<TuneOptions> TuneOptions::Parse(int argc, const char* const* argv,
                                              std::string& error) {
    TuneOptions options;
    std::set<std::string_view> given;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        const auto option = tools::ReadOption(kOptions, argc, argv, i, value, error);
        if (!option) {
            return std::nullopt;
        }
        const std::string_view name = option->name;
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        // A second --trace would silently replace the first; files and cars are compared.
        if (!given.insert(name).second && name != "--config" && name != "--vehicle") {
            error = std::string(name) + " is given twice";
            return std::nullopt;
        }
        if (name == "--suggest") {
            options.suggest = true;
        } else if (name == "--least-lag") {
            options.leastLag = true;
        } else if (name == "--write") {
            options.writePath = value;
        } else if (name == "--trace") {
            options.tracePath = value;
        } else if (name == "--units") {
            if (value != "degrees" && value != "raw") {
                error = "--units takes degrees or raw, not " + value;
                return std::nullopt;
            }
            options.units = value == "raw" ? TraceUnits::Raw : TraceUnits::Degrees;
        } else if (name == "--trace-vehicle") {
            options.traceVehicle = value;
        } else if (name == "--config") {
            options.configPaths.push_back(value);
        } else if (name == "--vehicle") {
            options.vehicles.push_back(value);
        } else if (name == "--html") {
            options.htmlPath = value;
        } else if (name == "--csv") {
            options.csvPath = value;
        } else if (name == "--series") {
            options.seriesPath = value;
        } else if (name == "--detail") {
            options.detailStartSeconds =
                tools::NumberWithin(value, 0.0, std::numeric_limits<double>::max());
            if (!options.detailStartSeconds) {
                error =
                    "--detail takes the seconds into the trace where the close-up begins, "
                    "0 or more, not " +
                    value;
                return std::nullopt;
            }
        } else if (name == "--max-lag") {
            options.maxLagMilliseconds =
                tools::NumberWithin(value, kLeastLagBudget, kMostLagBudget);
            if (!options.maxLagMilliseconds) {
                error = "--max-lag takes a lag budget from " + FormatNumber("%g", kLeastLagBudget) +
                        " to " + FormatNumber("%g", kMostLagBudget) + " ms, not " + value;
                return std::nullopt;
            }
        } else {
            options.title = value;
        }
    }
    if (options.tracePath.empty() || options.configPaths.empty()) {
        error = "--trace and --config are required";
        return std::nullopt;
    }
    if (options.suggest) {
        if (options.configPaths.size() > 1 || options.vehicles.size() > 1) {
            error = "--suggest tunes one profile: one --config and at most one --vehicle";
            return std::nullopt;
        }
        if (!options.csvPath.empty() || !options.seriesPath.empty() || options.detailStartSeconds) {
            error = "--suggest writes its report (--html) and the settings (--write) only";
            return std::nullopt;
        }
        if (options.leastLag && options.maxLagMilliseconds) {
            error = "--least-lag and --max-lag ask for different things: give one";
            return std::nullopt;
        }
    } else if (options.maxLagMilliseconds || options.leastLag || !options.writePath.empty()) {
        error = "--max-lag, --least-lag and --write go with --suggest";
        return std::nullopt;
    }
    return options;
}

// What keeps `path` from being read, or `toWrite` written, that a player can tell from the path
// alone ("cannot read" says nothing of a folder or a typing mistake); empty when nothing does.
std::string WhyNot(const std::string& path, bool toWrite) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return ": it is a folder";
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
        return ": there is no folder " + folder.string();
    }
    return toWrite || std::filesystem::exists(path, ignored) ? "" : ": there is no such file";
}

// Writes `text` to `path` and says so, naming what it holds.
bool WriteFile(const std::string& path, const std::string& text, const char* holding) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) {
        std::fprintf(stderr, "velmora-tune: cannot write %s%s\n", path.c_str(),
                     WhyNot(path, true).c_str());
        return false;
    }
    std::printf("Wrote %s: %s.\n", path.c_str(), holding);
    return true;
}

// Each file as the fewest trailing parts of its path that tell it from the others: its name
// alone, or "car-b/Velmora.cfg" beside "car-a/Velmora.cfg". A whole path (a deep build folder, a
// user's profile) would push the table's labels past a terminal's width.
std::vector<std::string> ShortestDistinctNames(const std::vector<std::string>& paths) {
    std::vector<std::vector<std::string>> parts;  // each path's parts, the file's name first
    for (const std::string& path : paths) {
        std::vector<std::string>& reversed = parts.emplace_back();
        for (const auto& part : std::filesystem::path(path).lexically_normal()) {
            if (!part.empty()) {
                reversed.insert(reversed.begin(), part.string());
            }
        }
    }
    auto tail = [&](std::size_t p, std::size_t depth) {
        const std::vector<std::string>& reversed = parts[p];
        std::filesystem::path shown;
        for (std::size_t d = std::min(depth, reversed.size()); d-- > 0;) {
            shown /= reversed[d];
        }
        return depth >= reversed.size() ? paths[p] : shown.generic_string();
    };
    std::vector<std::string> names(paths.size());
    for (std::size_t p = 0; p < paths.size(); ++p) {
        for (std::size_t depth = 1;; ++depth) {
            names[p] = tail(p, depth);
            bool alone = true;
            for (std::size_t q = 0; q < paths.size() && alone; ++q) {
                alone = q == p || tail(q, depth) != names[p];
            }
            if (alone || depth >= parts[p].size()) {
                break;
            }
        }
    }
    return names;
}

// One profile per file and vehicle. The plug-in ignores what it cannot read; a tuning session
// should say so instead, and measure no file that would only show the built-in defaults.
bool ChooseProfiles(const TuneOptions& options, std::vector<ProfileChoice>& choices) {
    const bool manyFiles = options.configPaths.size() > 1;
    const std::vector<std::string> shortNames = ShortestDistinctNames(options.configPaths);
    for (std::size_t f = 0; f < options.configPaths.size(); ++f) {
        const std::string& path = options.configPaths[f];
        const std::string whyNot = WhyNot(path, false);
        const auto bytes = whyNot.empty() ? ReadSettingsFile(path) : std::nullopt;
        if (!bytes) {
            std::fprintf(stderr, "velmora-tune: cannot read %s%s\n", path.c_str(), whyNot.c_str());
            return false;
        }
        ConfigFile config;
        config.Parse(*bytes);
        // Counted before the lookups below, which insert what they miss.
        std::size_t keys = 0;
        for (const auto& [name, section] : config.Sections()) {
            keys += section.size();
        }
        if (keys == 0) {
            std::fprintf(stderr,
                         "velmora-tune: %s holds no setting (no \"Key = Value\" line under a "
                         "[Section]): left out, it would show only the built-in defaults\n",
                         path.c_str());
            continue;
        }
        if (config.Sections().count(keys::kSettings) == 0) {
            std::fprintf(stderr,
                         "velmora-tune: %s has no [%s] section: the switches and SD Skipfactor "
                         "keep their defaults\n",
                         path.c_str(), keys::kSettings);
        }
        if (ReadSwitches(config).useTracker == false) {
            std::fprintf(stderr,
                         "velmora-tune: %s switches the tracker off (Use Tracker): the controls "
                         "will not answer\n",
                         path.c_str());
        }
        const std::string& file = shortNames[f];
        std::vector<std::string> vehicles = options.vehicles;
        if (vehicles.empty()) {
            vehicles.push_back("");
        }
        for (const std::string& vehicle : vehicles) {
            // A section applies only when it is named exactly like the car: what the name hides
            // (a space at its end) is most likely why there is none.
            if (!vehicle.empty() && config.KeyCount(vehicle) == 0) {
                const std::string hidden = HiddenInName(vehicle);
                std::fprintf(stderr,
                             "velmora-tune: %s has no section named %s%s: \"General Filter\" "
                             "alone applies to it\n",
                             path.c_str(), QuotedName(vehicle).c_str(),
                             hidden.empty() ? "" : (" (" + hidden + ")").c_str());
            }
            const std::string name = vehicle.empty() ? keys::kGeneralFilter : QuotedName(vehicle);
            choices.push_back({path, vehicle, manyFiles ? file + ": " + name : name});
        }
    }
    if (choices.empty()) {
        std::fprintf(stderr, "velmora-tune: no settings file to measure\n");
        return false;
    }
    return true;
}

// What the reader should know about the file before any number: rows left out, and the cars.
void DescribeTrace(const std::string& path, const sim::TraceFile& file) {
    if (file.skippedRows != 0) {
        std::fprintf(stderr,
                     "velmora-tune: %s: %zu rows left out that no tracker gives (a value not a "
                     "number, or beyond a billion), the first on line %zu\n",
                     path.c_str(), file.skippedRows, file.firstSkippedLine);
    }
    if (file.cutLastLine != 0) {
        std::fprintf(stderr,
                     "velmora-tune: %s: line %zu, the last, has no line end (a recording cut "
                     "short): left out\n",
                     path.c_str(), file.cutLastLine);
    }
    if (!file.vehicles.empty()) {
        std::fputs(CarsDriven(file).c_str(), stdout);
    }
    // Before any complaint about a car, in a log that holds both streams too.
    std::fflush(stdout);
}

int Run(int argc, char** argv) {
    std::string error;
    const auto options = TuneOptions::Parse(argc, argv, error);
    if (!options) {
        return tools::Misuse("velmora-tune", error);
    }
    if (options->help) {
        std::fputs(kTuneUsage, stdout);
        return 0;
    }
    const auto file = sim::ReadTraceFile(options->tracePath, options->units, error);
    if (!file) {
        std::fprintf(stderr, "velmora-tune: %s\n", error.c_str());
        return 1;
    }
    // The file's name alone: the player knows where it is, and a path would not fit a line.
    const std::string traceFile = std::filesystem::path(options->tracePath).filename().string();
    DescribeTrace(options->tracePath, *file);
    auto trace = PolledTrace::From(*file, options->traceVehicle, error);
    if (!trace) {
        std::fprintf(stderr, "velmora-tune: %s\n", error.c_str());
        return 1;
    }
    if (options->detailStartSeconds && *options->detailStartSeconds >= trace->Duration()) {
        return tools::Misuse("velmora-tune", "--detail " +
                                                 FormatNumber("%g", *options->detailStartSeconds) +
                                                 " lies beyond the trace, which lasts " +
                                                 FormatNumber("%.1f s", trace->Duration()));
    }
    const std::string cut =
        options->traceVehicle.empty() ? "" : " (" + QuotedName(options->traceVehicle) + " only)";
    std::printf("%s%s: %.1f s, %zu readings\n\n", traceFile.c_str(), cut.c_str(), trace->Duration(),
                trace->readings.size());
    std::fflush(stdout);
    std::vector<ProfileChoice> choices;
    if (!ChooseProfiles(*options, choices)) {
        return 1;
    }
    if (options->suggest) {
        SuggestRequest request;
        request.configPath = options->configPaths.front();
        request.vehicle = options->vehicles.empty() ? "" : options->vehicles.front();
        request.traceVehicle = options->traceVehicle;
        request.options.goal = options->leastLag ? Goal::LeastLag : Goal::LeastRestError;
        request.options.maxLagMilliseconds = options->maxLagMilliseconds;
        request.writePath = options->writePath;
        request.htmlPath = options->htmlPath;
        request.traceName = traceFile;
        return Suggest(request, *file, *trace);
    }
    const TuningRun run = TuningRun::Replay(std::move(*trace), choices);
    const MetricsTable table = MetricsTable::From(run);
    std::fputs(table.AsText().c_str(), stdout);
    std::fputs(("\n" + TrackerText(run.heads)).c_str(), stdout);

    std::string report;
    if (!options->htmlPath.empty()) {
        ReportOptions reportOptions;
        reportOptions.title = options->title;
        reportOptions.traceName = traceFile;
        reportOptions.detailStartSeconds = options->detailStartSeconds;
        report = HtmlReport(run, reportOptions);
    }
    const bool anyFile =
        !options->csvPath.empty() || !options->seriesPath.empty() || !report.empty();
    if (anyFile) {
        std::fputs("\n", stdout);
    }
    bool written = true;
    if (!options->csvPath.empty()) {
        written &= WriteFile(options->csvPath, table.AsCsv(), "the metrics table, as CSV");
    }
    if (!options->seriesPath.empty()) {
        written &= WriteFile(options->seriesPath, SeriesCsv(run),
                             "every reading, each profile's outputs and controls, as CSV");
    }
    if (!report.empty()) {
        written &= WriteFile(options->htmlPath, report, "the report, to open in any browser");
    }
    return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    HostShowUtf8Output();
    try {
        return Run(argc, argv);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "velmora-tune: %s\n", exception.what());
        return 1;
    }
}
