#include "tune_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>

namespace velmora::tune {

const char kTuneUsage[] =
    R"(usage: velmora-tune --trace FILE --config FILE [options]

Replays a recorded head trace through Velmora's own filters and profiles, as the plug-in
would while you drive, and measures what the camera does.

  --trace FILE       CSV "time_s,yaw,pitch,roll": degrees, or raw tracker units when the
                     header says so ("yaw_raw") or --units raw is given
  --units U          degrees | raw: overrides the header
  --config FILE      a Velmora.cfg; give several to compare them
  --vehicle NAME     the vehicle driven (its section applies over "General Filter"); give
                     several to compare them; none: "General Filter" alone
  --html FILE        write a self-contained report with a plot per axis
  --csv FILE         write the metrics table as CSV
  --series FILE      write every reading as CSV: input, outputs and the nine controls
  --detail SECONDS   where each axis's 10-second close-up begins in the report
  --title TEXT       the report's title
)";

namespace {

bool ReadSeconds(std::string_view text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::optional<TuneOptions> TuneOptions::Parse(int argc, const char* const* argv,
                                              std::string& error) {
    TuneOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        }
        constexpr std::string_view kTakingValues[] = {"--trace",   "--units",  "--config",
                                                      "--vehicle", "--html",   "--csv",
                                                      "--series",  "--detail", "--title"};
        if (std::find(std::begin(kTakingValues), std::end(kTakingValues), option) ==
            std::end(kTakingValues)) {
            error = "unknown option " + std::string(option);
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = std::string(option) + " needs a value";
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (option == "--trace") {
            options.tracePath = value;
        } else if (option == "--units") {
            if (value != "degrees" && value != "raw") {
                error = "--units takes degrees or raw";
                return std::nullopt;
            }
            options.units = value == "raw" ? TraceUnits::Raw : TraceUnits::Degrees;
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
            if (!ReadSeconds(value, seconds) || seconds < 0.0) {
                error = "--detail takes a number of seconds";
                return std::nullopt;
            }
            options.detailStartSeconds = seconds;
        } else {
            options.title = value;
        }
    }
    if (options.tracePath.empty() || options.configPaths.empty()) {
        error = "--trace and --config are required";
        return std::nullopt;
    }
    return options;
}

}  // namespace velmora::tune
