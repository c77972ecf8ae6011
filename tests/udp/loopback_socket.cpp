#include "loopback_socket.h"

namespace velmora::udp::test {

std::uint16_t FindFreePort() {
    LoopbackSocket socket;
    return socket.Bind(0) ? socket.Port() : 0;
}

bool PortIsTaken(std::uint16_t port) {
    LoopbackSocket socket;
    return socket.Valid() && !socket.Bind(port);
}

}  // namespace velmora::udp::test
