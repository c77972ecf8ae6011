#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

}  // namespace

LoopbackSocket::LoopbackSocket() {
    const int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
    valid_ = descriptor >= 0;
    handle_ = valid_ ? static_cast<std::uintptr_t>(descriptor) : 0;
}

LoopbackSocket::~LoopbackSocket() {
    if (valid_) {
        close(static_cast<int>(handle_));
    }
}

bool LoopbackSocket::Bind(std::uint16_t port) {
    const sockaddr_in address = Loopback(port);
    return valid_ && bind(static_cast<int>(handle_), reinterpret_cast<const sockaddr*>(&address),
                          sizeof address) == 0;
}

std::uint16_t LoopbackSocket::Port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (!valid_ || getsockname(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&address),
                               &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

bool LoopbackSocket::Send(std::uint16_t port, const void* data, std::size_t size) {
    const sockaddr_in address = Loopback(port);
    return valid_ && sendto(static_cast<int>(handle_), data, size, 0,
                            reinterpret_cast<const sockaddr*>(&address),
                            sizeof address) == static_cast<ssize_t>(size);
}

}  // namespace velmora::udp::test
