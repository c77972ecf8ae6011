#pragma once

// Head poses over UDP, for trying the bridge before the game: a listener where the bridge would
// listen, and a sender as tracking software sends. Both use the bridge's own socket, encoder and
// decoder, so what they see is what the bridge would.

#include <cstdint>
#include <cstdio>
#include <optional>

#include "drivers/udp/datagram.h"

namespace velmora::check {

// Listens where the bridge would (the game must be closed: while it runs, the bridge holds the
// port) and shows the head poses that arrive, about four lines a second; says so when nothing
// arrives within a few seconds, when something other than a head pose arrives, and when another
// program holds the port. True when poses arrived.
bool ListenForPoses(std::uint32_t address, std::uint16_t port, double seconds, std::FILE* out);

// Sends head poses as tracking software does, 100 a second, to try the bridge (or the listening
// mode) without any: `pose` held still, or with no pose a slow sweep of the head from left to
// right and back. False when nothing could be sent.
bool SendPoses(std::uint32_t address, std::uint16_t port,
               const std::optional<udp::SenderPose>& pose, double seconds, std::FILE* out);

}  // namespace velmora::check
