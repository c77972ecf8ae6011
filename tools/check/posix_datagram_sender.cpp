#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "datagram_sender.h"

namespace velmora::check {

DatagramSender::~DatagramSender() {
    if (open_) {
        close(static_cast<int>(handle_));
    }
}

bool DatagramSender::Open(std::uint32_t address, std::uint16_t port) {
    const int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
    if (descriptor < 0) {
        return false;
    }
    handle_ = static_cast<std::uintptr_t>(descriptor);
    open_ = true;
    address_ = address;
    port_ = port;
    return true;
}

bool DatagramSender::Send(const unsigned char* data, std::size_t size) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port_);
    target.sin_addr.s_addr = htonl(address_);
    return open_ && sendto(static_cast<int>(handle_), data, size, 0,
                           reinterpret_cast<const sockaddr*>(&target),
                           sizeof target) == static_cast<ssize_t>(size);
}

}  // namespace velmora::check
