#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

#include "drivers/udp/datagram.h"

namespace velmora::check {

// Sends head poses as tracking software does, 100 a second, to try the bridge (or the listening
// mode) without any: `pose` held still, or with no pose a slow sweep of the head from left to
// right and back. False when nothing could be sent.
bool SendPoses(std::uint32_t address, std::uint16_t port,
               const std::optional<udp::SenderPose>& pose, double seconds, std::FILE* out);

}  // namespace velmora::check
