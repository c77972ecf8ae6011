#pragma once

#include <cstdint>
#include <cstdio>

namespace velmora::check {

// Listens where the bridge would (the game must be closed: while it runs, the bridge holds the
// port) and shows the head poses that arrive, about four lines a second; says so when nothing
// arrives within a few seconds, when something other than a head pose arrives, and when another
// program holds the port. Uses the bridge's own socket and decoder. True when poses arrived.
bool ListenForPoses(std::uint32_t address, std::uint16_t port, double seconds, std::FILE* out);

}  // namespace velmora::check
