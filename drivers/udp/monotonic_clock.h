#pragma once

#include <cstdint>

namespace velmora::udp {

// Milliseconds from an arbitrary start, never going back. One implementation per OS.
std::uint64_t MonotonicMilliseconds();

}  // namespace velmora::udp
