// velmora-host: runs a plug-in library the way the driving game does, without the game.

#include <cstdio>
#include <string>

#include "host/host_options.h"
#include "host/host_session.h"

int main(int argc, char** argv) {
    using namespace velmora::host;
    HostOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "velmora-host: %s\n%s", error.c_str(), UsageText());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitSuccess;
    }
    return RunHost(options);
}
