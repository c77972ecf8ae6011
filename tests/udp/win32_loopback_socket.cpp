#include <winsock2.h>

#include "loopback_socket.h"

namespace velmora::udp::test {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

SOCKET Socket(std::uintptr_t handle) {
    return static_cast<SOCKET>(handle);
}

}  // namespace

LoopbackSocket::LoopbackSocket() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) {
        WSACleanup();
        return;
    }
    handle_ = static_cast<std::uintptr_t>(socket);
    valid_ = true;
}

LoopbackSocket::~LoopbackSocket() {
    if (valid_) {
        closesocket(Socket(handle_));
        WSACleanup();
    }
}

bool LoopbackSocket::Bind(std::uint16_t port) {
    // Exclusive like the bridge's own socket, so that a bind here fails where the bridge's would.
    BOOL exclusive = TRUE;
    setsockopt(Socket(handle_), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    const sockaddr_in address = Loopback(port);
    return valid_ &&
           bind(Socket(handle_), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::uint16_t LoopbackSocket::Port() const {
    sockaddr_in address{};
    int length = sizeof address;
    if (!valid_ ||
        getsockname(Socket(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

bool LoopbackSocket::Send(std::uint16_t port, const void* data, std::size_t size) {
    const sockaddr_in address = Loopback(port);
    return valid_ && sendto(Socket(handle_), static_cast<const char*>(data), static_cast<int>(size),
                            0, reinterpret_cast<const sockaddr*>(&address),
                            sizeof address) == static_cast<int>(size);
}

}  // namespace velmora::udp::test
