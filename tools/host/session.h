#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora::host {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitUsage = 1,
    kExitPluginUnusable = 2,
    kExitDriverUnusable = 3,
};

struct VehicleChange {
    double at = 0.0;  // seconds after Start
    std::string name;
};

// What a run is asked to do, as the command line says it (main.cpp reads it).
struct HostOptions {
    std::string pluginPath;  // empty: the plug-in beside the program
    std::string driverPath;  // empty: <program dir>/driver/<driver file name>
    bool noDriver = false;   // --driver none
    double duration = 10.0;
    int fps = 60;
    std::vector<VehicleChange> vehicles;
    std::vector<double> resetAt;
    std::vector<double> disableAt;
    std::vector<double> enableAt;
    bool release = false;
    bool plain = false;
    bool help = false;
    std::string csvPath;
    std::string summaryPath;
    // Variables for the simulated tracker, set before it is loaded.
    std::vector<std::pair<std::string, std::string>> trackerEnvironment;
};

// Loads the driver and the plug-in, runs the game's sequence for the set duration with the live
// view, prints the summary and unloads. Returns the program's exit status.
int RunHost(const HostOptions& options);

}  // namespace velmora::host
