#pragma once

#include <cstdint>
#include <string>

#include "drivers/udp/datagram_socket.h"
#include "drivers/udp/pose_keeper.h"

namespace velmora::udp {

// The driver behind the four entry points: a UDP socket that the plug-in's polling thread drains
// on every read, keeping the newest valid pose.
//
// The bridge has no thread of its own: the datagrams wait in the socket's queue and each read
// takes them, up to kMaxDatagramsPerRead and for at most kDrainBudgetMs, so that a flood costs a
// read a bounded time whatever one receive costs (under a microsecond on Linux, some 70 under
// Wine); what a flood leaves queued goes with the next reads. Open, Read and Close come from the
// plug-in's polling thread, one at a time; ZeroSet from the game's thread at any time.
class UdpBridge {
public:
    static constexpr int kMaxDatagramsPerRead = 1000;
    static constexpr std::uint64_t kDrainBudgetMs = 2;

    // `settingsFile` is read on every open of a closed bridge.
    explicit UdpBridge(std::string settingsFile);

    // 0 when the socket is open. An open bridge stays as it is: the plug-in opens again after a
    // failed read without closing, and the datagrams queued meanwhile must not be lost.
    std::int32_t Open();
    // 0 with the newest pose written; nonzero (and nothing written) while closed, before the
    // first datagram, and once the newest is older than the staleness limit.
    std::int32_t Read(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll);
    std::int32_t Close();
    std::int32_t ZeroSet();

private:
    // Takes the queued datagrams and keeps the newest valid pose; the time after it.
    std::uint64_t Drain();

    std::string settingsFile_;
    DatagramSocket socket_;
    PoseKeeper keeper_;
};

}  // namespace velmora::udp
