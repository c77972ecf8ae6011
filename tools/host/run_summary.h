#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "host/run_statistics.h"

namespace velmora::host {

struct RunSummary {
    std::string plugin;
    std::string pluginName;
    std::string longName;
    std::string driver;
    double seconds = 0.0;
    const RunStatistics* statistics = nullptr;
    std::int64_t vehicleUpdates = 0;
    std::string lastVehicle;
    std::string tracker;
    // Counters of the simulated driver, read after Stop; empty when it has no test interface.
    std::vector<std::pair<std::string, std::int64_t>> driverCounters;
    double startMilliseconds = 0.0;
    double stopMilliseconds = 0.0;
    std::string endedWith;
};

// "summary.<key> = <value>" lines in a fixed order: tests and scripts parse them. Each queried name
// has one line, "summary.control.<name> = queries Q answered A min X max Y", with min and max
// "none" when it was never answered.
void WriteSummary(std::FILE* out, const RunSummary& summary);

}  // namespace velmora::host
