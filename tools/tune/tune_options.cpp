#include "tune_options.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "command_line.h"

namespace velmora::tune {

const char kTuneUsage[] =
    R"(usage: velmora-tune --trace FILE --config FILE [options]
       velmora-tune --trace FILE --config FILE [--vehicle NAME] --suggest [--max-lag MS]

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
  --suggest             search the profile's keys for the least jitter at rest within a lag
                        budget, and print the profile to paste into Velmora.cfg (one --config,
                        at most one --vehicle)
  --max-lag MS          the lag budget of --suggest, in milliseconds; default: each axis's
                        lag under the profile in use
)";

using tools::ReadNumber;

std::optional<TuneOptions> TuneOptions::Parse(int argc, const char* const* argv,
                                              std::string& error) {
    TuneOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        }
        if (option == "--suggest") {
            options.suggest = true;
            continue;
        }
        std::string value;
        if (!tools::TakeValue(option,
                              {"--trace", "--units", "--trace-vehicle", "--config", "--vehicle",
                               "--html", "--csv", "--series", "--detail", "--title", "--max-lag"},
                              argc, argv, i, value, error)) {
            return std::nullopt;
        }
        if (option == "--trace") {
            options.tracePath = value;
        } else if (option == "--units") {
            if (value != "degrees" && value != "raw") {
                error = "--units takes degrees or raw";
                return std::nullopt;
            }
            options.units = value == "raw" ? TraceUnits::Raw : TraceUnits::Degrees;
        } else if (option == "--trace-vehicle") {
            options.traceVehicle = value;
        } else if (option == "--config") {
            options.configPaths.push_back(value);
        } else if (option == "--vehicle") {
            options.vehicles.push_back(value);
        } else if (option == "--html") {
            options.htmlPath = value;
        } else if (option == "--csv") {
            options.csvPath = value;
        } else if (option == "--series") {
            options.seriesPath = value;
        } else if (option == "--detail") {
            double seconds = 0.0;
            if (!ReadNumber(value, seconds) || seconds < 0.0) {
                error = "--detail takes a number of seconds";
                return std::nullopt;
            }
            options.detailStartSeconds = seconds;
        } else if (option == "--max-lag") {
            double milliseconds = 0.0;
            if (!ReadNumber(value, milliseconds) || milliseconds < 0.0) {
                error = "--max-lag takes a number of milliseconds";
                return std::nullopt;
            }
            options.maxLagMilliseconds = milliseconds;
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
        if (!options.htmlPath.empty() || !options.csvPath.empty() || !options.seriesPath.empty() ||
            options.detailStartSeconds) {
            error = "--suggest prints its profile only; paste it, then compare with --html";
            return std::nullopt;
        }
    } else if (options.maxLagMilliseconds) {
        error = "--max-lag is the budget of --suggest";
        return std::nullopt;
    }
    return options;
}

}  // namespace velmora::tune
