// How long a pose takes from its datagram to the camera: the real plug-in (a private copy, driven
// through its slots as the game drives it) with a private copy of the bridge as its driver. Each
// round holds one yaw until the camera shows it, then sends another and queries
// "Camera_YawLeft" without pause until its value changes. The plug-in polls the driver every
// 10 ms, so the figure is mostly where in that cycle the datagram arrived. The figures are printed;
// the test asserts only generous bounds. VELMORA_UDP_LATENCY_ROUNDS sets the number of rounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bridge_copy.h"
#include "datagram_bytes.h"
#include "loopback_socket.h"
#include "plugin_under_test.h"
#include "wait_until.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::udp::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int Rounds() {
    const char* text = std::getenv("VELMORA_UDP_LATENCY_ROUNDS");
    const int rounds = text != nullptr ? std::atoi(text) : 0;
    return rounds > 0 ? rounds : 40;
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

TEST(BridgeLatency, ADatagramReachesTheCameraWithinAFewPollingIntervals) {
    const BridgeCopy bridge;
    ASSERT_NE(HostLoadLibrary(bridge.Library().string().c_str()), nullptr);
    velmora::testing::PluginUnderTest plugin(
        "[Settings]\nUse Tracker = true\nTestMode = false\nUse Filtering = true\n");
    plugin.Start();

    LoopbackSocket sender;
    const auto send = [&](double yaw) {
        const auto bytes = EncodeAngles(yaw, 0.0, 0.0);
        sender.Send(bridge.Port(), bytes.data(), bytes.size());
    };
    // Holds a yaw to the left until the camera shows it steadily: the raw reading over 32768
    // times the plug-in's yaw gain of 4.2.
    const auto settle = [&](double yaw) {
        const double steady = std::lround(-yaw * 65536.0 / 360.0) / 32768.0 * 4.2;
        EXPECT_TRUE(velmora::test::WaitUntil([&] {
            send(yaw);
            std::this_thread::sleep_for(5ms);
            return std::fabs(plugin.Query("Camera_YawLeft") - steady) < 1e-4;
        }));
        return plugin.Query("Camera_YawLeft");
    };

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pause(0, 12000);
    std::vector<double> latencies;
    const int rounds = Rounds();
    for (int round = 0; round < rounds; ++round) {
        const double from = round % 2 == 0 ? -10.0 : -20.0;
        const float before = settle(from);
        // Settling ends just after a poll; a random pause puts the datagram anywhere in the
        // polling cycle, as a sender's clock would.
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        const auto sent = Clock::now();
        send(-30.0 + from);
        auto lastSend = sent;
        bool changed = false;
        while (Clock::now() - sent < 2s) {
            if (plugin.Query("Camera_YawLeft") != before) {
                changed = true;
                break;
            }
            // Keep the new pose fresh, as a sender does, without flooding the queue.
            if (Clock::now() - lastSend > 4ms) {
                send(-30.0 + from);
                lastSend = Clock::now();
            }
            std::this_thread::yield();
        }
        ASSERT_TRUE(changed) << "round " << round;
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    }
    plugin.Stop();

    const double median = Percentile(latencies, 0.5);
    const double p99 = Percentile(latencies, 0.99);
    const double longest = Percentile(latencies, 1.0);
    std::printf("datagram to camera over %d rounds: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                rounds, median, p99, longest);
    RecordProperty("median_ms", std::to_string(median));
    RecordProperty("p99_ms", std::to_string(p99));
    // The plug-in polls every 10 ms: a median of more than a few intervals means the bridge waits.
    EXPECT_LT(median, 100.0);
}

}  // namespace
}  // namespace velmora::udp::test
