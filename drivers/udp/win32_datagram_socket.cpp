#include <winsock2.h>

#include "drivers/udp/datagram_socket.h"

namespace velmora::udp {
namespace {

SOCKET Socket(std::uintptr_t handle) {
    return static_cast<SOCKET>(handle);
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    socketAddress.sin_addr.s_addr = htonl(address);
    return socketAddress;
}

}  // namespace

bool DatagramSocket::Open(std::uint32_t address, std::uint16_t port) {
    Close();
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) {
        WSACleanup();
        return false;
    }
    // Exclusive: without it another program could bind the same port with SO_REUSEADDR and take
    // the datagrams away. Non-blocking, so that a read never waits. Not inheritable, so that a
    // program the game starts does not hold the port (best effort: a failure changes nothing else).
    SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    BOOL exclusive = TRUE;
    u_long nonBlocking = 1;
    const sockaddr_in local = SocketAddress(address, port);
    if (setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&exclusive), sizeof exclusive) != 0 ||
        ioctlsocket(socket, FIONBIO, &nonBlocking) != 0 ||
        bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        closesocket(socket);
        WSACleanup();
        return false;
    }
    handle_ = static_cast<std::uintptr_t>(socket);
    open_ = true;
    return true;
}

void DatagramSocket::Close() {
    if (open_) {
        closesocket(Socket(handle_));
        WSACleanup();
        open_ = false;
    }
}

std::uint16_t DatagramSocket::Port() const {
    sockaddr_in local{};
    int length = sizeof local;
    if (!open_ || getsockname(Socket(handle_), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

DatagramSocket::Receipt DatagramSocket::Receive(unsigned char* buffer, std::size_t capacity,
                                                std::size_t& length) {
    length = 0;
    if (!open_) {
        return Receipt::Failed;
    }
    const int received =
        recv(Socket(handle_), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0);
    if (received != SOCKET_ERROR) {
        length = static_cast<std::size_t>(received);
        return Receipt::Datagram;
    }
    switch (WSAGetLastError()) {
        case WSAEWOULDBLOCK:
            return Receipt::Empty;
        case WSAEMSGSIZE:
            // Winsock fails a datagram that does not fit, but takes it off the queue all the same.
            length = capacity;
            return Receipt::Datagram;
        case WSAECONNRESET:
            // A port-unreachable report for something this socket sent, queued like a datagram:
            // nothing usable, but the queue goes on behind it. The bridge's socket never sends, so
            // there this is a guard only.
            return Receipt::Datagram;
        default:
            return Receipt::Failed;
    }
}

bool DatagramSocket::Send(std::uint32_t address, std::uint16_t port, const unsigned char* data,
                          std::size_t size) {
    const sockaddr_in target = SocketAddress(address, port);
    return open_ && sendto(Socket(handle_), reinterpret_cast<const char*>(data),
                           static_cast<int>(size), 0, reinterpret_cast<const sockaddr*>(&target),
                           sizeof target) == static_cast<int>(size);
}

}  // namespace velmora::udp
