#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::udp {

// A non-blocking UDP socket bound to one local IPv4 address and port: the bridge's, which only
// receives, and the senders' in velmora-check and the tests. One implementation per OS
// (posix_datagram_socket.cpp, win32_datagram_socket.cpp).
//
// On Windows, Open starts Winsock and Close ends it, once each per socket: the driver's open and
// close entry points are where that may happen, never while the library is being loaded.
class DatagramSocket {
public:
    enum class Receipt {
        Datagram,  // one datagram was taken off the queue, whole (see Receive)
        Empty,     // nothing queued
        Failed,    // the socket reports an error; try again on a later read
    };

    // What Open came to.
    enum class Opened {
        Yes,
        PortTaken,        // another socket holds the port (or keeps it for its exclusive use)
        NotThisComputer,  // the address is none of this computer's
        Failed,           // anything else the system refused
    };

    DatagramSocket() = default;
    ~DatagramSocket() { Close(); }
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    // Address and port in host byte order; port 0 lets the system pick one, and address 0 (any)
    // suits a socket that only sends.
    Opened Open(std::uint32_t address, std::uint16_t port);
    void Close();
    bool IsOpen() const { return open_; }
    // The port bound to; 0 when closed.
    std::uint16_t Port() const;

    // Takes the oldest queued datagram without waiting. One that does not fit is consumed whole
    // and reported with a `length` of `capacity`: a caller whose buffer is longer than any size it
    // accepts can never mistake the cut-off part of a long datagram for a short one.
    Receipt Receive(unsigned char* buffer, std::size_t capacity, std::size_t& length);
    // One datagram to `address` and `port` (host byte order), without waiting; false when it was
    // not sent whole.
    bool Send(std::uint32_t address, std::uint16_t port, const unsigned char* data,
              std::size_t size);

private:
    std::uintptr_t handle_ = 0;  // a file descriptor or a SOCKET
    bool open_ = false;
};

}  // namespace velmora::udp
