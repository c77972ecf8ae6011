// velmora-check: Velmora.cfg and IWEARDRV.cfg as the plug-in and the UDP bridge read them, and a
// listener and a sender of head poses for trying the bridge. This file holds its command line
// and what each mode does with the files and the console.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/bridge_check.h"
#include "check/check_report.h"
#include "check/findings.h"
#include "check/head_poses.h"
#include "check/settings_check.h"
#include "common/command_line.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "drivers/udp/bridge_settings.h"
#include "drivers/udp/datagram.h"

extern "C" {
#include "common/host_os.h"
}

namespace {

using namespace velmora;
using namespace velmora::check;

constexpr char kBridgeFile[] = "IWEARDRV.cfg";
constexpr double kListenSeconds = 30.0;
constexpr double kSendSeconds = 10.0;
constexpr double kMostSeconds = 3600.0;
// A head pose's angles, as a sender's are, and as far as the bridge's offsets go.
constexpr double kMostDegrees = 180.0;

// What the check found; a command line it cannot run, or a file it cannot read, is
// tools::kMisuse.
enum Status { kClean = 0, kFound = 1 };

const char kUsage[] =
    R"(usage: velmora-check [FILE...]
       velmora-check --listen [IWEARDRV.cfg] [--address A] [--port N] [--seconds S]
       velmora-check --send YAW,PITCH,ROLL|sweep [IWEARDRV.cfg] [--address A] [--port N]
                     [--seconds S]

Reads Velmora.cfg, and the UDP bridge's IWEARDRV.cfg, exactly as Velmora and the bridge read
them, and reports line by line what will not do what it seems to say; then shows what Velmora
applies for each car. A file whose name begins with IWEARDRV is read as the bridge's settings,
any other as a Velmora.cfg. Without a file: Velmora.cfg and IWEARDRV.cfg in this folder.

  --listen        with the game closed, listen where the bridge would (the address and port
                  of IWEARDRV.cfg, or 127.0.0.1 and 4242) and show the head poses arriving
  --send POSE     send head poses there, 100 a second, as tracking software does: yaw, pitch
                  and roll in degrees from -180 to 180 (yaw positive to the right, pitch up,
                  roll to the right), or "sweep" for a head turning slowly left and right
  --address A     listen or send on this address instead
  --port N        listen or send on this port (1 to 65535) instead
  --seconds S     how long to listen (default 30) or to send (default 10), at most 3600

Exit status: 0 when nothing was found (or poses arrived, or were sent), 1 otherwise, 2 when a
file cannot be read or the command line is not understood.
)";

constexpr tools::Option kOptions[] = {
    {"--help"},          {"--listen"},     {"--send", true},
    {"--address", true}, {"--port", true}, {"--seconds", true},
};

enum class CheckMode { Files, Listen, Send };

struct CheckOptions {
    CheckMode mode = CheckMode::Files;
    std::vector<std::string> files;
    std::optional<udp::SenderPose> pose;  // --send: nothing for the sweep
    std::optional<std::uint32_t> address;
    std::optional<std::uint16_t> port;
    std::optional<double> seconds;
    bool help = false;
};

std::optional<udp::SenderPose> ReadPose(std::string_view text) {
    udp::SenderPose pose;
    double* const angles[3] = {&pose.yaw, &pose.pitch, &pose.roll};
    for (int i = 0; i < 3; ++i) {
        const auto comma = i < 2 ? text.find(',') : text.size();
        const auto angle =
            comma == std::string_view::npos
                ? std::nullopt
                : tools::NumberWithin(text.substr(0, comma), -kMostDegrees, kMostDegrees);
        if (!angle) {
            return std::nullopt;
        }
        *angles[i] = *angle;
        text.remove_prefix(i < 2 ? comma + 1 : comma);
    }
    return pose;
}

// Empty, with the reason in `error`, for a command line it does not understand.
std::optional<CheckOptions> ReadCommandLine(int argc, const char* const* argv, std::string& error) {
    CheckOptions options;
    std::string_view placeOption;  // the last of --address, --port and --seconds
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "-h" || word == "/?") {
            options.help = true;
            return options;
        }
        if (!word.starts_with('-')) {
            options.files.emplace_back(word);
            continue;
        }
        std::string value;
        const auto option = tools::ReadOption(kOptions, argc, argv, i, value, error);
        if (!option) {
            return std::nullopt;
        }
        const std::string_view name = option->name;
        // The bridge's own rules for its address and port.
        udp::BridgeSettings read;
        if (name == "--help") {
            options.help = true;
            return options;
        }
        if (name == "--listen" || name == "--send") {
            const CheckMode mode = name == "--listen" ? CheckMode::Listen : CheckMode::Send;
            if (options.mode != CheckMode::Files && options.mode != mode) {
                error = "--listen and --send go one at a time";
                return std::nullopt;
            }
            options.mode = mode;
            if (mode == CheckMode::Send && value != "sweep") {
                options.pose = ReadPose(value);
                if (!options.pose) {
                    error =
                        "--send takes YAW,PITCH,ROLL in degrees, each from -180 to 180 (as "
                        "30,0,0), or sweep";
                    return std::nullopt;
                }
            }
        } else if (name == "--address") {
            if (!udp::ApplyBridgeSetting(read, "address", value)) {
                error = "--address takes an IPv4 address such as 127.0.0.1";
                return std::nullopt;
            }
            options.address = read.address;
        } else if (name == "--port") {
            if (!udp::ApplyBridgeSetting(read, "port", value)) {
                error = "--port takes a port from 1 to 65535";
                return std::nullopt;
            }
            options.port = read.port;
        } else {
            options.seconds = tools::NumberWithin(value, 0.0, kMostSeconds);
            if (!options.seconds || *options.seconds <= 0.0) {
                error = "--seconds takes a number of seconds above 0, at most 3600 (an hour)";
                return std::nullopt;
            }
        }
        placeOption =
            name == "--address" || name == "--port" || name == "--seconds" ? name : placeOption;
    }
    if (options.mode == CheckMode::Files && !placeOption.empty()) {
        error = std::string(placeOption) + " goes with --listen or --send";
        return std::nullopt;
    }
    if (options.mode != CheckMode::Files && options.files.size() > 1) {
        error = "--listen and --send read one IWEARDRV.cfg at most";
        return std::nullopt;
    }
    return options;
}

bool IsBridgeFile(const std::string& path) {
    return Lowered(std::filesystem::path(path).filename().string()).starts_with("iweardrv");
}

// Checks one file; kFound when it holds findings.
int CheckFile(const std::string& path) {
    const auto bytes = ReadSettingsFile(path);
    if (!bytes) {
        std::fprintf(stdout, "%s: cannot be read (is the name right?)\n", path.c_str());
        return tools::kMisuse;
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
        return tools::kMisuse;
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
        std::fputs(kUsage, stdout);
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
    HostShowUtf8Output();
    std::string error;
    const auto options = ReadCommandLine(argc, argv, error);
    const int status = options ? Run(*options) : tools::Misuse("velmora-check", error);
    std::fflush(stdout);
    HostHoldOwnConsoleWindow();
    return status;
}
