#include "drivers/udp/udp_bridge.h"

#include <utility>

#include "drivers/udp/datagram.h"
#include "platform/platform.h"

namespace velmora::udp {
namespace {

std::uint64_t Milliseconds() {
    return platform::Microseconds() / 1000u;
}

class Held {
public:
    explicit Held(platform::CriticalSection& lock) : lock_(lock) { lock_.Enter(); }
    ~Held() { lock_.Leave(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    platform::CriticalSection& lock_;
};

}  // namespace

UdpBridge::UdpBridge(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

std::int32_t UdpBridge::Open() {
    {
        const Held held(lock_);
        if (socket_.IsOpen()) {
            ++holders_;
            return 0;
        }
    }
    // Read outside the lock: a slow disk or a network folder holds up no other reader.
    const BridgeSettings settings = LoadSettings(settingsFile_);
    {
        const Held held(lock_);
        // Another reader may have opened it meanwhile, with the same settings.
        if (!socket_.IsOpen()) {
            keeper_.Configure(settings);
            if (socket_.Open(settings.address, settings.port) != DatagramSocket::Opened::Yes) {
                return 1;
            }
        }
        ++holders_;
    }
    // The plug-in unloads the driver when it stops, and it stops without closing the tracker when
    // its last read failed (a sender that went quiet). An unloaded driver could never close its
    // socket, and the port would stay taken for every later load: kept loaded, the next load
    // finds the same driver with its socket still open. (The Linux build is linked with
    // -z nodelete to the same end.)
    platform::PinThisLibrary();
    return 0;
}

std::int32_t UdpBridge::Read(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll) {
    if (yaw == nullptr || pitch == nullptr || roll == nullptr) {
        return 1;
    }
    std::optional<RawReading> reading;
    {
        const Held held(lock_);
        if (!socket_.IsOpen()) {
            return 1;
        }
        reading = keeper_.Read(Drain());
        if (!reading && holders_ > 0) {
            --holders_;
        }
    }
    if (!reading) {
        return 1;
    }
    *yaw = reading->yaw;
    *pitch = reading->pitch;
    *roll = reading->roll;
    return 0;
}

std::int32_t UdpBridge::Close() {
    const Held held(lock_);
    if (holders_ > 0) {
        --holders_;
    }
    if (holders_ == 0) {
        socket_.Close();
        keeper_.Forget();
    }
    return 0;
}

std::int32_t UdpBridge::ZeroSet() {
    keeper_.RequestZero();
    return 0;
}

std::uint64_t UdpBridge::Drain() {
    // Longer than any datagram we accept, so that a longer one cannot pass for a valid one.
    unsigned char buffer[kDatagramSize + 16];
    std::optional<SenderPose> newest;
    const std::uint64_t start = Milliseconds();
    std::uint64_t now = start;
    for (int i = 0; i < kMaxDatagramsPerRead && now - start < kDrainBudgetMs;
         ++i, now = Milliseconds()) {
        std::size_t length = 0;
        const auto receipt = socket_.Receive(buffer, sizeof buffer, length);
        if (receipt != DatagramSocket::Receipt::Datagram) {
            break;
        }
        if (auto pose = DecodeDatagram(buffer, length)) {
            newest = pose;
        }
    }
    if (newest) {
        keeper_.Accept(*newest, now);
    }
    return now;
}

}  // namespace velmora::udp
