// velmora-tune: replays a head trace through Velmora's filter profiles and measures the camera.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/config_file.h"
#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "html_report.h"
#include "metrics_table.h"
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
// should say so instead.
bool ChooseProfiles(const TuneOptions& options, std::vector<ProfileChoice>& choices) {
    const bool manyFiles = options.configPaths.size() > 1;
    for (const std::string& path : options.configPaths) {
        ConfigFile config;
        if (!std::ifstream(path)) {
            std::fprintf(stderr, "velmora-tune: cannot read %s\n", path.c_str());
            return false;
        }
        config.Load(path);
        if (ReadSwitches(config).useTracker == false) {
            std::fprintf(stderr,
                         "velmora-tune: %s switches the tracker off (Use Tracker): the controls "
                         "will not answer\n",
                         path.c_str());
        }
        const std::string file = std::filesystem::path(path).filename().string();
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
    return true;
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
    auto trace = LoadPolledTrace(options->tracePath, options->units, error);
    if (!trace) {
        std::fprintf(stderr, "velmora-tune: %s\n", error.c_str());
        return 1;
    }
    std::vector<ProfileChoice> choices;
    if (!ChooseProfiles(*options, choices)) {
        return 1;
    }
    const TuningRun run = TuningRun::Replay(std::move(*trace), choices);
    const MetricsTable table = MetricsTable::From(run);
    std::printf("%s: %.1f s, %zu readings\n\n%s", options->tracePath.c_str(), run.trace.Duration(),
                run.trace.readings.size(), table.AsText().c_str());

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
