#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "simulated_driver.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"
#include "tracking/tracker_poller.h"
#include "wait_until.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::test {

// A poller feeding a shared head from one variant of the simulated driver, as Start and Stop use
// it. The variant is loaded once per program and reset before each test.
class PollingTest : public testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    explicit PollingTest(const char* variant)
        // Unique per process: test runs of other checkouts share the temporary folder.
        : settingsPath_(std::filesystem::temp_directory_path() /
                        ("velmora-polling-" + std::string(variant) + "-" +
                         std::to_string(std::random_device{}()) + ".cfg")),
          variant_(variant) {}

    void SetUp() override {
        static std::map<std::string, std::unique_ptr<SimulatedDriver>> loaded;
        auto& entry = loaded[variant_];
        if (!entry) {
            std::string error;
            entry = SimulatedDriver::Preload(variant_, error);
            ASSERT_NE(entry, nullptr) << error;
        }
        driver = entry.get();
        driver->Reset();
        driver->SetPose(0, 0, 0);
    }

    void TearDown() override {
        if (poller) {
            poller->Stop();
        }
        if (driver != nullptr) {
            driver->ReleaseHang();
        }
        std::error_code ignored;
        std::filesystem::remove(settingsPath_, ignored);
    }

    // Writes the settings file and reads it, as Start does before it polls.
    void UseSettings(const std::string& text) {
        std::ofstream(settingsPath_, std::ios::binary) << text;
        head.LoadSettings();
    }

    void StartPolling() { poller->Start(); }

    // Answers how long Stop took.
    Clock::duration StopPolling() {
        const auto start = Clock::now();
        poller->Stop();
        return Clock::now() - start;
    }

    Reading Outputs() const {
        Reading outputs;
        head.Outputs(outputs);
        return outputs;
    }

    SimTrackerCounters Counters() const { return driver->Counters(); }

    // A library that cannot be opened or read would be retried for ever: no thread polls it, and
    // nothing in it is ever called.
    void ExpectTakenForNoDriver() {
        StartPolling();
        EXPECT_FALSE(poller->Polling());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(driver->CallLog(), "");
    }

private:
    const std::filesystem::path settingsPath_;  // before the head that reads it
    const std::string variant_;

protected:
    Switches switches;
    SharedHead head{switches, settingsPath_.string()};
    std::unique_ptr<TrackerPoller> poller =
        std::make_unique<TrackerPoller>(head, switches, HostDriverFileName());
    const SimulatedDriver* driver = nullptr;
};

// Well under the second after which Stop ends a thread by force, and well over one polling cycle
// (100 ms at most, plus one driver call) on a loaded machine.
constexpr auto EndedByItself = std::chrono::milliseconds(900);

}  // namespace velmora::test
