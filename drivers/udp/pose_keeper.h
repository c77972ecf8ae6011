#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "drivers/udp/bridge_settings.h"
#include "drivers/udp/datagram.h"

namespace velmora::udp {

// The three raw readings the plug-in takes: 65536 units to a full turn, in the plug-in's
// convention (yaw positive = head turned left, pitch positive = looking up, roll positive = head
// tilted right).
struct RawReading {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;
    bool operator==(const RawReading&) const = default;
};

// The newest pose from the sender, its age, the user's zero and the per-axis settings; turns the
// sender's degrees into raw readings.
//
// The sender counts yaw positive to the right, pitch positive up and roll positive to the right
// (the flight-simulation convention of the open head-pose senders). Each angle is measured from
// the zero, inverted if its setting says so, offset, wrapped into [-180, 180) degrees and scaled;
// yaw then changes sign, since the plug-in counts yaw positive to the left.
//
// Everything but RequestZero belongs to whoever holds the bridge's lock. RequestZero comes from the
// game's thread at any time and only raises a flag: the next read that has a fresh pose takes that
// pose as the zero. While the sender is quiet the flag waits: the camera holds the last pose, and
// the player who presses reset then expects the head's pose when tracking resumes to be the centre.
class PoseKeeper {
public:
    // New settings; the pose and the zero stay.
    void Configure(const BridgeSettings& settings);
    // The newest pose, arrived at `nowMs`.
    void Accept(const SenderPose& pose, std::uint64_t nowMs);
    // Forgets the pose, so that the next read fails until a datagram arrives. The zero stays.
    void Forget();
    void RequestZero() { zeroRequested_.store(true, std::memory_order_release); }

    // The newest pose as raw readings; nothing when none has arrived or the newest is older than
    // the staleness limit.
    std::optional<RawReading> Read(std::uint64_t nowMs);

private:
    struct Angles {
        double yaw = 0.0;
        double pitch = 0.0;
        double roll = 0.0;
    };

    BridgeSettings settings_;
    std::optional<Angles> newest_;
    std::uint64_t arrivalMs_ = 0;
    Angles zero_;
    std::atomic<bool> zeroRequested_{false};
};

}  // namespace velmora::udp
