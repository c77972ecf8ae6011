// The built bridge, loaded by path from a private copy and called through its four entry points
// the way the plug-in's polling thread calls them, with datagrams sent over the loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "bridge_copy.h"
#include "datagram_bytes.h"
#include "loopback_socket.h"
#include "wait_until.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::udp::test {
namespace {

using Clock = std::chrono::steady_clock;
using velmora::test::WaitUntil;

struct Reading {
    std::int32_t yaw;
    std::int32_t pitch;
    std::int32_t roll;
    bool operator==(const Reading&) const = default;
};

std::int32_t Raw(double degrees) {
    return static_cast<std::int32_t>(std::lround(degrees * 65536.0 / 360.0));
}

// The sender's pose in degrees as the plug-in reads it: yaw changes sign (the plug-in counts it
// positive to the left), pitch and roll do not.
Reading Expected(double yaw, double pitch, double roll) {
    return {Raw(-yaw), Raw(pitch), Raw(roll)};
}

class LoadedBridge : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        copy = std::make_unique<BridgeCopy>();
        Load();
    }
    // The library stays loaded to the end of the program. Its directory goes all the same where
    // the system lets a loaded library's file be removed; Windows keeps it.
    static void TearDownTestSuite() { copy.reset(); }

    static void Load() {
        library = HostLoadLibrary(copy->Library().string().c_str());
        ASSERT_NE(library, nullptr);
        open = reinterpret_cast<std::int32_t (*)()>(HostFindSymbol(library, "IWROpenTracker"));
        read = reinterpret_cast<std::int32_t (*)(std::int32_t*, std::int32_t*, std::int32_t*)>(
            HostFindSymbol(library, "IWRGetTracking"));
        close = reinterpret_cast<std::int32_t (*)()>(HostFindSymbol(library, "IWRCloseTracker"));
        zeroSet = reinterpret_cast<std::int32_t (*)()>(HostFindSymbol(library, "IWRZeroSet"));
        ASSERT_TRUE(open && read && close && zeroSet);
    }

    void SetUp() override { copy->WriteSettings("staleness_ms = 200\n"); }
    void TearDown() override { close(); }

    void Send(double yaw, double pitch, double roll) {
        const auto bytes = EncodeAngles(yaw, pitch, roll);
        ASSERT_TRUE(sender.Send(copy->Port(), bytes.data(), bytes.size()));
    }

    std::optional<Reading> ReadOnce() {
        Reading r{1, 2, 3};
        if (read(&r.yaw, &r.pitch, &r.roll) != 0) {
            return std::nullopt;
        }
        return r;
    }

    // Reads every 2 ms, as a busy polling thread would, until the reading is `expected`.
    bool ReadsSoon(const Reading& expected) {
        return WaitUntil([&] { return ReadOnce() == expected; });
    }

    static inline std::unique_ptr<BridgeCopy> copy;
    static inline void* library = nullptr;
    static inline std::int32_t (*open)() = nullptr;
    static inline std::int32_t (*read)(std::int32_t*, std::int32_t*, std::int32_t*) = nullptr;
    static inline std::int32_t (*close)() = nullptr;
    static inline std::int32_t (*zeroSet)() = nullptr;
    LoopbackSocket sender;
};

TEST_F(LoadedBridge, ReadsFailUntilTheFirstDatagramAndThenGiveItsPose) {
    EXPECT_NE(read(nullptr, nullptr, nullptr), 0) << "closed";
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(ReadOnce(), std::nullopt);
    Send(-30.0, 20.0, 10.0);
    EXPECT_TRUE(ReadsSoon(Expected(-30.0, 20.0, 10.0)));
}

TEST_F(LoadedBridge, AReadKeepsTheNewestOfTheQueuedDatagrams) {
    ASSERT_EQ(open(), 0);
    for (int i = 1; i <= 50; ++i) {
        Send(i, 0.0, 0.0);
    }
    EXPECT_TRUE(ReadsSoon(Expected(50.0, 0.0, 0.0)));
}

TEST_F(LoadedBridge, AReadWithANullPointerFailsAndWritesNothing) {
    ASSERT_EQ(open(), 0);
    Send(10.0, 0.0, 0.0);
    ASSERT_TRUE(ReadsSoon(Expected(10.0, 0.0, 0.0)));
    std::int32_t yaw = 7;
    std::int32_t pitch = 8;
    EXPECT_NE(read(&yaw, &pitch, nullptr), 0);
    EXPECT_EQ(yaw, 7);
    EXPECT_EQ(pitch, 8);
}

// The plug-in's path for a sender that stops: reads fail once the pose is stale, the plug-in
// opens again without closing, and reads come back when the datagrams do.
TEST_F(LoadedBridge, AQuietSenderMakesReadsFailUntilItSendsAgainAfterAReopen) {
    ASSERT_EQ(open(), 0);
    Send(5.0, 0.0, 0.0);
    ASSERT_TRUE(ReadsSoon(Expected(5.0, 0.0, 0.0)));
    const auto lastSend = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !ReadOnce(); }));
    EXPECT_GE(Clock::now() - lastSend, std::chrono::milliseconds(200)) << "the staleness limit";

    ASSERT_EQ(open(), 0) << "an open after a failed read, with no close";
    EXPECT_EQ(ReadOnce(), std::nullopt);
    Send(-15.0, 0.0, 0.0);
    EXPECT_TRUE(ReadsSoon(Expected(-15.0, 0.0, 0.0)));
}

TEST_F(LoadedBridge, ACloseForgetsThePose) {
    ASSERT_EQ(open(), 0);
    Send(5.0, 0.0, 0.0);
    ASSERT_TRUE(ReadsSoon(Expected(5.0, 0.0, 0.0)));
    EXPECT_EQ(close(), 0);
    EXPECT_EQ(ReadOnce(), std::nullopt);
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(ReadOnce(), std::nullopt);
}

TEST_F(LoadedBridge, TheOpenFailsWhileAnotherProgramHoldsThePort) {
    {
        LoopbackSocket holder;
        ASSERT_TRUE(holder.Bind(copy->Port()));
        EXPECT_NE(open(), 0);
    }
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(PortIsTaken(copy->Port()));
    close();
    EXPECT_FALSE(PortIsTaken(copy->Port()));
}

TEST_F(LoadedBridge, TheSettingsBesideTheLibraryInvertAndOffsetAnAxis) {
    copy->WriteSettings("invert_yaw = true\noffset_pitch = 10 ; up a little\n");
    ASSERT_EQ(open(), 0);
    Send(-30.0, 0.0, 0.0);
    EXPECT_TRUE(ReadsSoon(Expected(30.0, 10.0, 0.0)));
}

TEST_F(LoadedBridge, ZeroSetMakesTheCurrentPoseTheCentre) {
    ASSERT_EQ(open(), 0);
    Send(20.0, -10.0, 5.0);
    ASSERT_TRUE(ReadsSoon(Expected(20.0, -10.0, 5.0)));
    EXPECT_EQ(zeroSet(), 0);
    EXPECT_TRUE(ReadsSoon(Expected(0.0, 0.0, 0.0)));
    Send(30.0, 0.0, 5.0);
    EXPECT_TRUE(ReadsSoon(Expected(10.0, 10.0, 0.0)));
    // Back to the sender's own centre for the tests that follow.
    Send(0.0, 0.0, 0.0);
    ASSERT_TRUE(ReadsSoon(Expected(-20.0, 10.0, -5.0)));
    zeroSet();
    EXPECT_TRUE(ReadsSoon(Expected(0.0, 0.0, 0.0)));
}

TEST_F(LoadedBridge, ZeroSetFromTheGamesThreadWhileTheTrackerIsReadIsSafe) {
    ASSERT_EQ(open(), 0);
    std::atomic<bool> done{false};
    std::thread game([&] {
        for (int i = 0; i < 2000 && !done; ++i) {
            zeroSet();
        }
    });
    for (int i = 0; i < 2000; ++i) {
        Send(0.0, 0.0, 0.0);
        ReadOnce();
    }
    done = true;
    game.join();
    EXPECT_TRUE(ReadsSoon(Expected(0.0, 0.0, 0.0)));
}

TEST_F(LoadedBridge, MalformedDatagramsAreIgnoredAndTheLastGoodPoseStays) {
    copy->WriteSettings("staleness_ms = 10000\n");
    ASSERT_EQ(open(), 0);
    Send(12.0, 0.0, 0.0);
    ASSERT_TRUE(ReadsSoon(Expected(12.0, 0.0, 0.0)));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::vector<unsigned char>> bad;
    for (const std::size_t size : {0u, 1u, 8u, 47u, 49u, 56u, 63u, 64u, 65u, 96u, 1400u, 9000u}) {
        bad.emplace_back(size, 0x40);
    }
    for (int slot = 0; slot < 6; ++slot) {
        for (const double value : {nan, inf, -inf}) {
            double values[6] = {1.0, 2.0, 3.0, 40.0, 50.0, 60.0};
            values[slot] = value;
            const auto bytes =
                EncodeDatagram(values[0], values[1], values[2], values[3], values[4], values[5]);
            bad.emplace_back(bytes.begin(), bytes.end());
        }
    }
    // A valid datagram with bytes after it is no valid datagram.
    const auto good = EncodeAngles(40.0, 0.0, 0.0);
    bad.emplace_back(good.begin(), good.end());
    bad.back().push_back(0);

    for (int round = 0; round < 20; ++round) {
        for (const auto& bytes : bad) {
            sender.Send(copy->Port(), bytes.data(), bytes.size());
        }
        const auto reading = ReadOnce();
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(*reading, Expected(12.0, 0.0, 0.0));
    }
}

TEST_F(LoadedBridge, AFloodCostsEachReadLittleAndTheNewestPoseComesThrough) {
    copy->WriteSettings("staleness_ms = 10000\n");
    ASSERT_EQ(open(), 0);
    // Bounded in count and in time; every read in between is timed.
    const auto end = Clock::now() + std::chrono::seconds(5);
    Clock::duration longestRead{};
    for (int i = 0; i < 40000 && Clock::now() < end; ++i) {
        const auto bytes = EncodeAngles(i % 90, 0.0, 0.0);
        sender.Send(copy->Port(), bytes.data(), bytes.size());
        if (i % 500 == 0) {
            const auto before = Clock::now();
            ReadOnce();
            longestRead = std::max(longestRead, Clock::now() - before);
        }
    }
    EXPECT_LT(longestRead, std::chrono::milliseconds(250))
        << "a generous bound for a shared machine";
    std::printf("longest read during the flood: %.3f ms\n",
                std::chrono::duration<double, std::milli>(longestRead).count());
    // What the flood left queued goes in a few reads; a datagram sent then cannot be crowded out.
    for (int i = 0; i < 10; ++i) {
        ReadOnce();
    }
    Send(-33.0, 0.0, 0.0);
    EXPECT_TRUE(ReadsSoon(Expected(-33.0, 0.0, 0.0)));
}

// The plug-in unloads the driver when it stops, and when its last read failed it does not close
// the tracker first. The next load must still get the port.
TEST_F(LoadedBridge, AnUnloadWithoutACloseLeavesThePortToTheNextLoad) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(ReadOnce(), std::nullopt);
    HostFreeLibrary(library);
    Load();
    ASSERT_EQ(open(), 0);
    Send(3.0, 0.0, 0.0);
    EXPECT_TRUE(ReadsSoon(Expected(3.0, 0.0, 0.0)));
}

}  // namespace
}  // namespace velmora::udp::test
