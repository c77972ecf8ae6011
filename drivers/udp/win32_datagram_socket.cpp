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

// False only when the system lists this computer's addresses and `address` is not among them.
// Windows refuses to bind to a foreign address (WSAEADDRNOTAVAIL), but Wine binds its own socket
// to every interface instead and reports success: a player under Wine with a mistyped address
// would have the tracker open to the whole network and hear nothing from the sender. The
// loopback addresses are all this computer's and need no list; a list that does not fit, or a
// system that gives none, leaves the answer to bind.
bool MayBeThisComputers(SOCKET socket, std::uint32_t address) {
    if (address == 0 || address >> 24 == 127) {
        return true;
    }
    alignas(SOCKET_ADDRESS_LIST) char buffer[4096];
    DWORD size = 0;
    if (WSAIoctl(socket, SIO_ADDRESS_LIST_QUERY, nullptr, 0, buffer, sizeof buffer, &size, nullptr,
                 nullptr) != 0) {
        return true;
    }
    const auto& list = *reinterpret_cast<const SOCKET_ADDRESS_LIST*>(buffer);
    for (INT i = 0; i < list.iAddressCount; ++i) {
        const SOCKET_ADDRESS& entry = list.Address[i];
        if (entry.lpSockaddr->sa_family == AF_INET &&
            ntohl(reinterpret_cast<const sockaddr_in*>(entry.lpSockaddr)->sin_addr.s_addr) ==
                address) {
            return true;
        }
    }
    return false;
}

// Exclusive: without it another program could bind the same port with SO_REUSEADDR and take the
// datagrams away. Non-blocking, so that a read never waits. Not inheritable, so that a program the
// game starts does not hold the port (best effort: a failure changes nothing else).
DatagramSocket::Opened Bind(SOCKET socket, std::uint32_t address, std::uint16_t port) {
    using Opened = DatagramSocket::Opened;
    if (!MayBeThisComputers(socket, address)) {
        return Opened::NotThisComputer;
    }
    SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    BOOL exclusive = TRUE;
    u_long nonBlocking = 1;
    if (setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&exclusive), sizeof exclusive) != 0 ||
        ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        return Opened::Failed;
    }
    const sockaddr_in local = SocketAddress(address, port);
    if (bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) {
        return Opened::Yes;
    }
    switch (WSAGetLastError()) {
        case WSAEADDRNOTAVAIL:
            return Opened::NotThisComputer;
        // A port another program keeps for its exclusive use answers "access denied".
        case WSAEADDRINUSE:
        case WSAEACCES:
            return Opened::PortTaken;
        default:
            return Opened::Failed;
    }
}

}  // namespace

DatagramSocket::Opened DatagramSocket::Open(std::uint32_t address, std::uint16_t port) {
    Close();
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return Opened::Failed;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const Opened opened = socket == INVALID_SOCKET ? Opened::Failed : Bind(socket, address, port);
    if (opened != Opened::Yes) {
        if (socket != INVALID_SOCKET) {
            closesocket(socket);
        }
        WSACleanup();
        return opened;
    }
    handle_ = static_cast<std::uintptr_t>(socket);
    open_ = true;
    return opened;
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
