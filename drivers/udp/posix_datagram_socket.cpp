#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "drivers/udp/datagram_socket.h"

namespace velmora::udp {
namespace {

int Descriptor(std::uintptr_t handle) {
    return static_cast<int>(handle);
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    socketAddress.sin_addr.s_addr = htonl(address);
    return socketAddress;
}

// Non-blocking, so that a read never waits; close-on-exec, so that a program the game starts does
// not inherit the port.
DatagramSocket::Opened Bind(int descriptor, std::uint32_t address, std::uint16_t port) {
    using Opened = DatagramSocket::Opened;
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(descriptor, F_SETFD, FD_CLOEXEC) != 0) {
        return Opened::Failed;
    }
    const sockaddr_in local = SocketAddress(address, port);
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) {
        return Opened::Yes;
    }
    switch (errno) {
        case EADDRNOTAVAIL:
            return Opened::NotThisComputer;
        case EADDRINUSE:
            return Opened::PortTaken;
        default:
            return Opened::Failed;
    }
}

}  // namespace

DatagramSocket::Opened DatagramSocket::Open(std::uint32_t address, std::uint16_t port) {
    Close();
    const int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
    if (descriptor < 0) {
        return Opened::Failed;
    }
    const Opened opened = Bind(descriptor, address, port);
    if (opened != Opened::Yes) {
        close(descriptor);
        return opened;
    }
    handle_ = static_cast<std::uintptr_t>(descriptor);
    open_ = true;
    return opened;
}

void DatagramSocket::Close() {
    if (open_) {
        close(Descriptor(handle_));
        open_ = false;
    }
}

std::uint16_t DatagramSocket::Port() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (!open_ ||
        getsockname(Descriptor(handle_), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
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
    // recv cuts a longer datagram to the buffer's length and drops the rest of it.
    const ssize_t received = recv(Descriptor(handle_), buffer, capacity, 0);
    if (received >= 0) {
        length = static_cast<std::size_t>(received);
        return Receipt::Datagram;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return Receipt::Empty;
    }
    return Receipt::Failed;
}

bool DatagramSocket::Send(std::uint32_t address, std::uint16_t port, const unsigned char* data,
                          std::size_t size) {
    const sockaddr_in target = SocketAddress(address, port);
    return open_ &&
           sendto(Descriptor(handle_), data, size, 0, reinterpret_cast<const sockaddr*>(&target),
                  sizeof target) == static_cast<ssize_t>(size);
}

}  // namespace velmora::udp
