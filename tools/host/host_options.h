#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora::host {

struct VehicleChange {
    double at = 0.0;  // seconds after Start
    std::string name;
};

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

// False with a message on anything it does not understand.
bool ParseOptions(int argc, const char* const* argv, HostOptions& options, std::string& error);

const char* UsageText();

}  // namespace velmora::host
