#pragma once

#include <optional>
#include <string>
#include <vector>

#include "polled_trace.h"

namespace velmora::tune {

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
    std::optional<double> maxLagMilliseconds;
    bool help = false;

    // Empty, with the reason in `error`, when the arguments do not make a run.
    static std::optional<TuneOptions> Parse(int argc, const char* const* argv, std::string& error);
};

extern const char kTuneUsage[];

}  // namespace velmora::tune
