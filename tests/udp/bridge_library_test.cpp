// The built bridge, a copy loaded by path and called through its entry points by the plug-in's
// own TrackerDriver, as the polling thread calls them, with datagrams sent over the loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bridge_copy.h"
#include "drivers/udp/datagram.h"
#include "tracking/tracker_driver.h"
#include "wait_until.h"

namespace velmora::udp::test {
namespace {

using velmora::test::WaitUntil;

// Raw yaw: 65536 units to the turn, positive to the left.
constexpr std::int32_t kLeft10 = 1820;  // 1820.44
constexpr std::int32_t kRight30 = -5461;

class LoadedBridge : public ::testing::Test {
protected:
    // One copy for the program: once opened, the bridge stays loaded until the program ends.
    static const BridgeCopy& Copy() {
        static const BridgeCopy copy("library", "staleness_ms = 1000\n");
        return copy;
    }
    void SetUp() override {
        driver = TrackerDriver::Load(Copy().library.string().c_str());
        ASSERT_TRUE(driver && sender.Open(kLoopback, 0));
    }
    void TearDown() override { driver->Close(); }

    void Send(const unsigned char* bytes, std::size_t size) {
        sender.Send(kLoopback, Copy().port, bytes, size);
    }
    // The sender's yaw in degrees, positive to the right.
    void Send(double yaw) {
        const auto bytes = EncodeDatagram(SenderPose{0.0, 0.0, 0.0, yaw, 0.0, 0.0});
        Send(bytes.data(), bytes.size());
    }
    std::optional<std::int32_t> ReadYaw() {
        std::int32_t yaw = 0, pitch = 0, roll = 0;
        return driver->GetTracking(&yaw, &pitch, &roll) == 0 ? std::optional(yaw) : std::nullopt;
    }
    // Reads every millisecond or so, as a busy polling thread would, until the raw yaw is `raw`.
    bool ReadsSoon(std::int32_t raw) {
        return WaitUntil([&] { return ReadYaw() == raw; });
    }

    std::shared_ptr<TrackerDriver> driver;
    DatagramSocket sender;
};

TEST_F(LoadedBridge, AnOpenTakesThePortUnlessHeldAndReadsGiveTheNewestQueuedPoseUntilAClose) {
    EXPECT_EQ(ReadYaw(), std::nullopt) << "closed";
    DatagramSocket holder;
    ASSERT_TRUE(holder.Open(kLoopback, Copy().port));
    EXPECT_NE(driver->Open(), 0);
    holder.Close();
    ASSERT_EQ(driver->Open(), 0);
    EXPECT_TRUE(PortIsTaken(Copy().port));
    EXPECT_EQ(ReadYaw(), std::nullopt) << "no datagram yet";
    for (int i = 1; i <= 30; ++i) {
        Send(-i / 3.0);
    }
    EXPECT_TRUE(ReadsSoon(kLeft10));
    std::int32_t yaw = 7;
    EXPECT_NE(driver->GetTracking(&yaw, &yaw, nullptr), 0);
    EXPECT_EQ(yaw, 7) << "a read with a null pointer writes nothing";
    driver->Close();
    EXPECT_FALSE(PortIsTaken(Copy().port));
    ASSERT_EQ(driver->Open(), 0);
    EXPECT_EQ(ReadYaw(), std::nullopt) << "a close forgets the pose";
}

// The plug-in's path for a sender that stops: reads fail once the pose is stale, the plug-in
// opens again without closing, and reads come back with the datagrams.
TEST_F(LoadedBridge, AQuietSenderMakesReadsFailAndAnOpenWithoutACloseKeepsWhatIsQueued) {
    ASSERT_EQ(driver->Open(), 0);
    Send(-10.0);
    ASSERT_TRUE(ReadsSoon(kLeft10));
    const auto lastSend = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !ReadYaw(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - lastSend, std::chrono::milliseconds(1000));
    Send(30.0);
    ASSERT_EQ(driver->Open(), 0);
    EXPECT_TRUE(ReadsSoon(kRight30));
}

// Shorter or longer than the bridge's buffer, or a good pose with one byte after it: a datagram
// the system cuts to the buffer's length must not pass for a pose.
TEST_F(LoadedBridge, DatagramsOfAnyOtherLengthAreIgnoredAndTheLastGoodPoseStays) {
    ASSERT_EQ(driver->Open(), 0);
    Send(-10.0);
    ASSERT_TRUE(ReadsSoon(kLeft10));
    for (const std::size_t size : {0u, 47u, 64u, 65u, 1400u, 9000u}) {
        const std::vector<unsigned char> bytes(size, 0x40);
        Send(bytes.data(), size);
    }
    const auto good = EncodeDatagram(SenderPose{0.0, 0.0, 0.0, 30.0, 0.0, 0.0});
    std::vector<unsigned char> longer(good.begin(), good.end());
    longer.push_back(0);
    Send(longer.data(), longer.size());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ReadYaw(), kLeft10);
    }
}

// The plug-in unloads the driver when it stops, and when its last read failed it does not close
// the tracker first. The next load must still get the port.
TEST_F(LoadedBridge, AnUnloadWithoutACloseLeavesThePortToTheNextLoad) {
    ASSERT_EQ(driver->Open(), 0);
    driver.reset();
    driver = TrackerDriver::Load(Copy().library.string().c_str());
    ASSERT_EQ(driver->Open(), 0);
    Send(-10.0);
    EXPECT_TRUE(ReadsSoon(kLeft10));
}

}  // namespace
}  // namespace velmora::udp::test
