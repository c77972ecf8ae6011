#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "drivers/udp/bridge_settings.h"

namespace velmora::check {

// IWEARDRV.cfg as the UDP bridge reads it: what may surprise a player, line by line, and the
// settings the bridge ends up with.
struct BridgeReport {
    std::vector<Finding> findings;
    udp::BridgeSettings settings;
};

// Whether an address is one this computer listens on is found by binding a socket to it (on a
// port the system picks), as the bridge itself would.
BridgeReport CheckBridge(std::string_view bytes);

// An IPv4 address in host byte order as the file writes it: dotted.
std::string DottedAddress(std::uint32_t address);

}  // namespace velmora::check
