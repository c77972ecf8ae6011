#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::check {

// A UDP socket that sends datagrams to one address and port, as tracking software does. One
// implementation per OS (posix_datagram_sender.cpp, win32_datagram_sender.cpp); the bridge's own
// socket only receives.
class DatagramSender {
public:
    DatagramSender() = default;
    ~DatagramSender();
    DatagramSender(const DatagramSender&) = delete;
    DatagramSender& operator=(const DatagramSender&) = delete;

    // Address and port in host byte order. False when no socket could be made.
    bool Open(std::uint32_t address, std::uint16_t port);
    bool Send(const unsigned char* data, std::size_t size);

private:
    std::uintptr_t handle_ = 0;  // a file descriptor or a SOCKET
    bool open_ = false;
    std::uint32_t address_ = 0;
    std::uint16_t port_ = 0;
};

}  // namespace velmora::check
