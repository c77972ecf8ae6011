// The built bridge, a copy loaded by path and called through its entry points by the plug-in's
// own TrackerDriver, as the polling thread calls them, with datagrams sent over the loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "bridge_copy.h"
#include "drivers/udp/datagram.h"
#include "tracking/tracker_driver.h"
#include "wait_until.h"

namespace velmora::udp::test {
namespace {

using Opened = DatagramSocket::Opened;

// Raw yaw: 65536 units to the turn, positive to the left.
constexpr std::int32_t kLeft10 = 1820;  // 1820.44
constexpr std::int32_t kRight30 = -5461;

class LoadedBridge : public ::testing::Test {
protected:
    // One copy for the program, since an opened bridge stays loaded; a pose stays fresh for a
    // second, longer than a loaded machine may pause between two reads.
    static const BridgeCopy& Copy() {
        static const BridgeCopy copy("library", "staleness_ms = 1000\n");
        return copy;
    }
    void SetUp() override {
        driver = TrackerDriver::Load(Copy().library.string().c_str());
        ASSERT_TRUE(driver && sender.Open(kLoopback, 0) == Opened::Yes);
        driver->Close();  // each test begins with the bridge closed
    }

    void Send(const std::vector<unsigned char>& bytes) {
        sender.Send(kLoopback, Copy().port, bytes.data(), bytes.size());
    }
    // The sender's angles in degrees: yaw positive to the right, pitch up, roll to the right.
    void Send(double yaw, double pitch = 0.0, double roll = 0.0) {
        const auto bytes = EncodeDatagram(SenderPose{0.0, 0.0, 0.0, yaw, pitch, roll});
        Send({bytes.begin(), bytes.end()});
    }
    std::optional<std::int32_t> ReadYaw() {
        std::int32_t yaw = 0, pitch = 0, roll = 0;
        return driver->GetTracking(&yaw, &pitch, &roll) == 0 ? std::optional(yaw) : std::nullopt;
    }
    // Reads every millisecond or so, as a busy polling thread would, until the raw yaw is `raw`.
    bool ReadsSoon(std::int32_t raw) {
        return velmora::test::WaitUntil([&] { return ReadYaw() == raw; });
    }

    std::shared_ptr<TrackerDriver> driver;
    DatagramSocket sender;
};

// Datagrams of any length but a pose's are ignored, among them one the system would cut to the
// bridge's buffer, and a pose with one byte after it. Another reader's close leaves the socket.
TEST_F(LoadedBridge, AnOpenTakesThePortUnlessHeldAndReadsGiveTheNewestPoseUntilAClose) {
    EXPECT_EQ(ReadYaw(), std::nullopt) << "closed";
    DatagramSocket holder;
    ASSERT_EQ(holder.Open(kLoopback, Copy().port), Opened::Yes);
    EXPECT_NE(driver->Open(), 0);
    holder.Close();
    ASSERT_EQ(driver->Open(), 0);
    const auto other = TrackerDriver::Load(Copy().library.string().c_str());
    ASSERT_EQ(other->Open(), 0);
    other->Close();
    EXPECT_EQ(DatagramSocket().Open(kLoopback, Copy().port), Opened::PortTaken);
    EXPECT_EQ(ReadYaw(), std::nullopt) << "no datagram yet";
    for (int i = 1; i <= 30; ++i) {
        Send(-i / 3.0);
    }
    ASSERT_TRUE(ReadsSoon(kLeft10));
    for (const std::size_t size : {0u, 47u, 64u, 65u, 1400u, 9000u}) {
        Send(std::vector<unsigned char>(size, 0x40));
    }
    const auto good = EncodeDatagram(SenderPose{0.0, 0.0, 0.0, 30.0, 0.0, 0.0});
    std::vector<unsigned char> longer(good.begin(), good.end());
    longer.push_back(0);
    Send(longer);
    EXPECT_EQ(ReadYaw(), kLeft10);
    Send(std::vector<unsigned char>(9000, 0x40));
    Send(30.0);
    EXPECT_EQ(ReadYaw(), kRight30) << "one read takes what follows a datagram too long for it";
    driver->Close();
    EXPECT_EQ(DatagramSocket().Open(kLoopback, Copy().port), Opened::Yes) << "a close frees it";
    ASSERT_EQ(driver->Open(), 0);
    EXPECT_EQ(ReadYaw(), std::nullopt) << "a close forgets the pose";
}

// The plug-in's path for a sender that stops: reads fail once the pose is stale, and the plug-in
// then opens again without closing, or stops and unloads the driver without closing it. The port
// stays the bridge's, and reads come back with the datagrams queued meanwhile.
TEST_F(LoadedBridge, AfterAQuietSpellAnUnloadAndOpenWithoutACloseKeepThePortAndWhatIsQueued) {
    ASSERT_EQ(driver->Open(), 0);
    Send(-10.0);
    ASSERT_TRUE(ReadsSoon(kLeft10));
    ASSERT_TRUE(velmora::test::WaitUntil([&] { return !ReadYaw(); }));
    Send(30.0);
    driver.reset();
    driver = TrackerDriver::Load(Copy().library.string().c_str());
    ASSERT_EQ(driver->Open(), 0);
    EXPECT_TRUE(ReadsSoon(kRight30));
}

// Two plug-in objects poll the one bridge at once, free of races under ThreadSanitizer: each read
// gives a whole pose (the sender's angles are equal, so pitch and roll are the negated yaw).
TEST_F(LoadedBridge, TwoReadersPollingAtOnceEachReadAWholePose) {
    const auto other = TrackerDriver::Load(Copy().library.string().c_str());
    std::atomic<int> running = 2, reads = 0;
    // As the polling thread does, but faster: after a failed read it opens again.
    const auto poll = [&](const TrackerDriver& reader) {
        for (int cycle = 0; cycle < 40; ++cycle) {
            bool open = reader.Open() == 0;
            for (int i = 0; i < 5 && open; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                std::int32_t yaw = 0, pitch = 0, roll = 0;
                if (reader.GetTracking(&yaw, &pitch, &roll) != 0) {
                    open = reader.Open() == 0;
                } else {
                    EXPECT_TRUE(pitch == -yaw && roll == pitch)
                        << yaw << ' ' << pitch << ' ' << roll;
                    ++reads;
                }
            }
            if (open) {
                reader.Close();
            }
        }
        --running;
    };
    std::thread first(poll, std::cref(*driver));
    std::thread second(poll, std::cref(*other));
    for (int i = 0; running > 0; ++i) {
        const double angle = i % 81 - 40;
        Send(angle, angle, angle);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    first.join();
    second.join();
    EXPECT_GT(reads, 0);
}

}  // namespace
}  // namespace velmora::udp::test
