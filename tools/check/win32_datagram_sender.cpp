#include <winsock2.h>

#include "datagram_sender.h"

namespace velmora::check {

DatagramSender::~DatagramSender() {
    if (open_) {
        closesocket(static_cast<SOCKET>(handle_));
        WSACleanup();
    }
}

bool DatagramSender::Open(std::uint32_t address, std::uint16_t port) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) {
        WSACleanup();
        return false;
    }
    handle_ = static_cast<std::uintptr_t>(socket);
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
    return open_ && sendto(static_cast<SOCKET>(handle_), reinterpret_cast<const char*>(data),
                           static_cast<int>(size), 0, reinterpret_cast<const sockaddr*>(&target),
                           sizeof target) == static_cast<int>(size);
}

}  // namespace velmora::check
