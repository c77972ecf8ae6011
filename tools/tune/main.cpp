// velmora-tune: replays a head trace through Velmora's filter profiles and measures the camera.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "config/config_file.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "html_report.h"
#include "metrics_table.h"
#include "suggest_command.h"
#include "tune_options.h"
#include "tuning_run.h"

namespace {

using namespace velmora;
using namespace velmora::tune;

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) {
        std::fprintf(stderr, "velmora-tune: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// One profile per file and vehicle. The plug-in ignores what it cannot read; a tuning session
// should say so instead, and measure no file that would only show the built-in defaults.
bool ChooseProfiles(const TuneOptions& options, std::vector<ProfileChoice>& choices) {
    const bool manyFiles = options.configPaths.size() > 1;
    // Files are told apart by name, or by the path given when two share a name.
    std::set<std::string> names;
    for (const std::string& path : options.configPaths) {
        names.insert(std::filesystem::path(path).filename().string());
    }
    const bool byPath = names.size() < options.configPaths.size();
    for (const std::string& path : options.configPaths) {
        const auto bytes = ReadSettingsFile(path);
        if (!bytes) {
            std::fprintf(stderr, "velmora-tune: cannot read %s\n", path.c_str());
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
        const std::string file = byPath ? path : std::filesystem::path(path).filename().string();
        std::vector<std::string> vehicles = options.vehicles;
        if (vehicles.empty()) {
            vehicles.push_back("");
        }
        for (const std::string& vehicle : vehicles) {
            if (!vehicle.empty() && config.KeyCount(vehicle) == 0) {
                std::fprintf(stderr,
                             "velmora-tune: %s has no section [%s]: \"General Filter\" alone "
                             "applies to it\n",
                             path.c_str(), vehicle.c_str());
            }
            const std::string name = vehicle.empty() ? keys::kGeneralFilter : vehicle;
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
    if (file.vehicles.empty()) {
        return;
    }
    std::string driven;
    for (const auto& [name, seconds] : file.VehicleSeconds()) {
        char span[32];
        std::snprintf(span, sizeof span, " %.1f s", seconds);
        driven += (driven.empty() ? "" : ", ") +
                  (name.empty() ? std::string("no car yet") : "\"" + name + "\"") + span;
    }
    std::printf("%s names the cars driven: %s (--trace-vehicle NAME takes one alone)\n",
                path.c_str(), driven.c_str());
}

int Run(int argc, char** argv) {
    std::string error;
    const auto options = TuneOptions::Parse(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "velmora-tune: %s\n\n%s", error.c_str(), kTuneUsage);
        return 2;
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
    DescribeTrace(options->tracePath, *file);
    auto trace = PolledTrace::From(*file, options->traceVehicle, error);
    if (!trace) {
        std::fprintf(stderr, "velmora-tune: %s\n", error.c_str());
        return 1;
    }
    if (options->detailStartSeconds && *options->detailStartSeconds >= trace->Duration()) {
        std::fprintf(stderr,
                     "velmora-tune: --detail %g lies beyond the trace, which lasts %.1f s\n",
                     *options->detailStartSeconds, trace->Duration());
        return 2;
    }
    const std::string cut =
        options->traceVehicle.empty() ? "" : " (\"" + options->traceVehicle + "\" only)";
    std::printf("%s%s: %.1f s, %zu readings\n\n", options->tracePath.c_str(), cut.c_str(),
                trace->Duration(), trace->readings.size());
    std::vector<ProfileChoice> choices;
    if (!ChooseProfiles(*options, choices)) {
        return 1;
    }
    if (options->suggest) {
        return Suggest(*options, *trace);
    }
    const TuningRun run = TuningRun::Replay(std::move(*trace), choices);
    const MetricsTable table = MetricsTable::From(run);
    std::fputs(table.AsText().c_str(), stdout);

    bool written = true;
    if (!options->csvPath.empty()) {
        written &= WriteFile(options->csvPath, table.AsCsv());
    }
    if (!options->seriesPath.empty()) {
        written &= WriteFile(options->seriesPath, SeriesCsv(run));
    }
    if (!options->htmlPath.empty()) {
        ReportOptions report;
        report.title = options->title;
        report.traceName = std::filesystem::path(options->tracePath).filename().string();
        report.detailStartSeconds = options->detailStartSeconds;
        written &= WriteFile(options->htmlPath, HtmlReport(run, report));
    }
    return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "velmora-tune: %s\n", exception.what());
        return 1;
    }
}
