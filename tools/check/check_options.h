#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drivers/udp/datagram.h"

namespace velmora::check {

enum class CheckMode { Files, Listen, Send };

struct CheckOptions {
    CheckMode mode = CheckMode::Files;
    std::vector<std::string> files;
    std::optional<udp::SenderPose> pose;  // --send: nothing for the sweep
    std::optional<std::uint32_t> address;
    std::optional<std::uint16_t> port;
    std::optional<double> seconds;
    bool help = false;

    // Empty, with the reason in `error`, for a command line it does not understand.
    static std::optional<CheckOptions> Parse(int argc, const char* const* argv, std::string& error);
};

extern const char kCheckUsage[];

}  // namespace velmora::check
