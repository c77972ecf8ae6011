// velmora-check: Velmora.cfg and IWEARDRV.cfg as the plug-in and the UDP bridge read them, and a
// listener and a sender of head poses for trying the bridge.

#include <cstdio>
#include <filesystem>
#include <string>

#include "bridge_check.h"
#include "check_options.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "pose_listener.h"
#include "pose_sender.h"
#include "report_text.h"
#include "written_text.h"

extern "C" {
#include "common/host_os.h"
}

namespace {

using namespace velmora;
using namespace velmora::check;

constexpr char kBridgeFile[] = "IWEARDRV.cfg";
constexpr double kListenSeconds = 30.0;
constexpr double kSendSeconds = 10.0;

enum Status { kClean = 0, kFound = 1, kCannot = 2 };

bool IsBridgeFile(const std::string& path) {
    return Lowered(std::filesystem::path(path).filename().string()).starts_with("iweardrv");
}

// Checks one file; kFound when it holds findings.
int CheckFile(const std::string& path) {
    const auto bytes = ReadSettingsFile(path);
    if (!bytes) {
        std::fprintf(stdout, "%s: cannot be read (is the name right?)\n", path.c_str());
        return kCannot;
    }
    if (Lowered(path).ends_with(".txt")) {
        PrintWrapped(stdout, "", 0,
                     path +
                         ": the name ends in .txt, which Windows may hide: Velmora and the "
                         "bridge read only Velmora.cfg and IWEARDRV.cfg.");
    }
    if (IsBridgeFile(path)) {
        const BridgeReport report = CheckBridge(*bytes);
        PrintBridgeReport(stdout, path, report);
        return report.findings.empty() ? kClean : kFound;
    }
    const SettingsReport report = CheckSettings(*bytes);
    PrintSettingsReport(stdout, path, report);
    return report.findings.empty() ? kClean : kFound;
}

int CheckFiles(std::vector<std::string> files) {
    if (files.empty()) {
        for (const char* name : {keys::kSettingsFile, kBridgeFile}) {
            if (std::filesystem::exists(name)) {
                files.emplace_back(name);
            }
        }
    }
    if (files.empty()) {
        PrintWrapped(stdout, "", 0,
                     "No Velmora.cfg or IWEARDRV.cfg in this folder: give the file's path, or "
                     "drop the file onto velmora-check.");
        return kCannot;
    }
    int status = kClean;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) {
            std::fprintf(stdout, "\n");
        }
        status = std::max(status, CheckFile(files[i]));
    }
    return status;
}

// Where the bridge listens: the file given, or IWEARDRV.cfg in this folder, or the defaults;
// then the address and port given on the command line.
udp::BridgeSettings BridgePlace(const CheckOptions& options) {
    const std::string path = options.files.empty() ? kBridgeFile : options.files.front();
    udp::BridgeSettings settings;
    if (const auto bytes = ReadSettingsFile(path)) {
        settings = udp::ParseSettings(*bytes);
        std::fprintf(stdout, "Address and port from %s.\n", path.c_str());
    } else if (!options.files.empty()) {
        std::fprintf(stdout, "%s cannot be read: the bridge's defaults apply.\n", path.c_str());
    }
    settings.address = options.address.value_or(settings.address);
    settings.port = options.port.value_or(settings.port);
    return settings;
}

int Run(const CheckOptions& options) {
    if (options.help) {
        std::fputs(kCheckUsage, stdout);
        return kClean;
    }
    switch (options.mode) {
        case CheckMode::Listen: {
            const udp::BridgeSettings place = BridgePlace(options);
            return ListenForPoses(place.address, place.port,
                                  options.seconds.value_or(kListenSeconds), stdout)
                       ? kClean
                       : kFound;
        }
        case CheckMode::Send: {
            const udp::BridgeSettings place = BridgePlace(options);
            return SendPoses(place.address, place.port, options.pose,
                             options.seconds.value_or(kSendSeconds), stdout)
                       ? kClean
                       : kFound;
        }
        case CheckMode::Files:
            break;
    }
    return CheckFiles(options.files);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = CheckOptions::Parse(argc, argv, error);
    int status = kCannot;
    if (!options) {
        std::fprintf(stderr, "velmora-check: %s\n\n%s", error.c_str(), kCheckUsage);
    } else {
        status = Run(*options);
    }
    std::fflush(stdout);
    HostHoldOwnConsoleWindow();
    return status;
}
