#include "check_options.h"

#include <cmath>
#include <string_view>
#include "command_line.h"

#include "command_line.h"
#include "drivers/udp/bridge_settings.h"

namespace velmora::check {

const char kCheckUsage[] =
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
                  and roll in degrees (yaw positive to the right, pitch up, roll to the
                  right), or "sweep" for a head turning slowly left and right
  --address A     listen or send on this address instead
  --port N        listen or send on this port instead
  --seconds S     how long to listen (default 30) or to send (default 10)

Exit status: 0 when nothing was found (or poses arrived, or were sent), 1 otherwise, 2 when a
file cannot be read or the command line is not understood.
)";

namespace {

using tools::ReadNumber;

std::optional<udp::SenderPose> ReadPose(std::string_view text) {
    udp::SenderPose pose;
    double* const angles[3] = {&pose.yaw, &pose.pitch, &pose.roll};
    for (int i = 0; i < 3; ++i) {
        const auto comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos || !ReadNumber(text.substr(0, comma), *angles[i])) {
            return std::nullopt;
        }
        text.remove_prefix(i < 2 ? comma + 1 : comma);
    }
    return pose;
}

}  // namespace

std::optional<CheckOptions> CheckOptions::Parse(int argc, const char* const* argv,
                                                std::string& error) {
    CheckOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h" || option == "/?") {
            options.help = true;
            return options;
        }
        if (option == "--listen") {
            options.mode = CheckMode::Listen;
            continue;
        }
        if (!option.starts_with("--")) {
            options.files.emplace_back(option);
            continue;
        }
        std::string value;
        if (!tools::TakeValue(option, {"--send", "--address", "--port", "--seconds"}, argc, argv, i,
                              value, error)) {
            return std::nullopt;
        }
        // The bridge's own rules for its address and port.
        udp::BridgeSettings read;
        double seconds = 0.0;
        if (option == "--send") {
            options.mode = CheckMode::Send;
            if (value != "sweep") {
                options.pose = ReadPose(value);
                if (!options.pose) {
                    error = "--send takes YAW,PITCH,ROLL in degrees (as 30,0,0) or sweep";
                    return std::nullopt;
                }
            }
        } else if (option == "--address") {
            if (!udp::ApplyBridgeSetting(read, "address", value)) {
                error = "--address takes an IPv4 address such as 127.0.0.1";
                return std::nullopt;
            }
            options.address = read.address;
        } else if (option == "--port") {
            if (!udp::ApplyBridgeSetting(read, "port", value)) {
                error = "--port takes a port from 1 to 65535";
                return std::nullopt;
            }
            options.port = read.port;
        } else {
            if (!ReadNumber(value, seconds) || seconds <= 0.0) {
                error = "--seconds takes a number of seconds";
                return std::nullopt;
            }
            options.seconds = seconds;
        }
    }
    if (options.mode != CheckMode::Files && options.files.size() > 1) {
        error = "--listen and --send read one IWEARDRV.cfg at most";
        return std::nullopt;
    }
    return options;
}

}  // namespace velmora::check
