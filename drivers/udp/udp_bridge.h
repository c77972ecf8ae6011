#pragma once

#include <cstdint>
#include <string>

#include "drivers/udp/datagram_socket.h"
#include "drivers/udp/pose_keeper.h"
#include "platform/platform.h"

namespace velmora::udp {

// The driver behind the four entry points: a UDP socket that the plug-in's polling threads drain
// on every read, keeping the newest valid pose.
//
// The bridge has no thread of its own: the datagrams wait in the socket's queue and each read
// takes them, up to kMaxDatagramsPerRead and for at most kDrainBudgetMs, so that a flood costs a
// read a bounded time whatever one receive costs (under a microsecond on Linux, some 70 under
// Wine); what a flood leaves queued goes with the next reads.
//
// One bridge serves the whole process, and two plug-in objects poll it from two threads, while
// ZeroSet comes from the game's thread at any time. A lock keeps the socket, the pose and the
// count of holders whole; it is held only for a drain and the pose's update, or to open or close
// the socket, never while the settings file is read, so a read waits at most one other's drain.
// Nothing in it can wait long, so the forced end of a polling thread stuck in a driver call
// never finds that thread holding it. ZeroSet only raises the keeper's flag, without the lock.
//
// The readers share the socket: every open that succeeds makes the caller a holder, and the
// socket closes when the last holder closes, so one plug-in object's close leaves the other
// reading. A failed read also ends the caller's hold, since the plug-in then opens again without
// closing; a plug-in object stopped after a failed read thus holds nothing, as one that closed.
class UdpBridge {
public:
    static constexpr int kMaxDatagramsPerRead = 1000;
    static constexpr std::uint64_t kDrainBudgetMs = 2;

    // `settingsFile` is read whenever the socket is opened.
    explicit UdpBridge(std::string settingsFile);

    // 0 when the socket is open. An open socket stays as it is: another reader may hold it, and
    // the datagrams queued since a reader's failed read must not be lost.
    std::int32_t Open();
    // 0 with the newest pose written; nonzero (and nothing written) while closed, before the
    // first datagram, and once the newest is older than the staleness limit.
    std::int32_t Read(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll);
    // Closes the socket, forgetting the pose, when no other holder is left.
    std::int32_t Close();
    std::int32_t ZeroSet();

private:
    // Takes the queued datagrams and keeps the newest valid pose; the time after it. Under the
    // lock.
    std::uint64_t Drain();

    const std::string settingsFile_;
    platform::CriticalSection lock_;
    DatagramSocket socket_;
    PoseKeeper keeper_;
    int holders_ = 0;
};

}  // namespace velmora::udp
