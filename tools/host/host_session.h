#pragma once

#include "host/host_options.h"

namespace velmora::host {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitUsage = 1,
    kExitPluginUnusable = 2,
    kExitDriverUnusable = 3,
};

// Loads the driver and the plug-in, runs the game's sequence for the set duration with the live
// view, prints the summary and unloads. Returns the program's exit status.
int RunHost(const HostOptions& options);

}  // namespace velmora::host
