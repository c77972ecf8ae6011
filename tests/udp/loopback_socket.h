#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::udp::test {

// The tests' side of the loopback: a UDP socket on 127.0.0.1 that sends datagrams to the bridge,
// or holds a port so that the bridge cannot have it. One implementation per OS.
class LoopbackSocket {
public:
    LoopbackSocket();
    ~LoopbackSocket();
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // Binds to 127.0.0.1:`port`, or to a port the system picks when `port` is 0. False when the
    // port is taken.
    bool Bind(std::uint16_t port);
    // False when the system gave no socket: nothing can be sent or bound then.
    bool Valid() const { return valid_; }
    // The port bound to; 0 when not bound.
    std::uint16_t Port() const;
    // One datagram to 127.0.0.1:`port`.
    bool Send(std::uint16_t port, const void* data, std::size_t size);

private:
    std::uintptr_t handle_ = 0;
    bool valid_ = false;
};

// A port that was free a moment ago, for a bridge of one test run: runs side by side do not meet.
std::uint16_t FindFreePort();

// True while something holds 127.0.0.1:`port` (the bridge, once the plug-in has opened it); false
// also when no socket could be made to find out.
bool PortIsTaken(std::uint16_t port);

}  // namespace velmora::udp::test
