#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "plugin/velmora_plugin.h"
#include "simulated_driver.h"
#include "wait_until.h"

namespace velmora::test {

// A plug-in object polling one variant of the simulated driver, through the operations that
// Start and Stop use to bind the driver and to end the thread. The variant is loaded once per
// program and reset before each test.
class PollingTest : public testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    explicit PollingTest(const char* variant) : variant_(variant) {}

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
        if (plugin) {
            plugin->StopPollingAndUnloadDriver();
        }
        if (driver != nullptr) {
            driver->ReleaseHang();
        }
    }

    // As Start does it.
    void StartPolling() {
        plugin->stopRequested = false;
        plugin->BindDriverAndStartPolling();
    }

    // As Stop does it; answers how long that took.
    Clock::duration StopPolling() {
        const auto start = Clock::now();
        plugin->StopPollingAndUnloadDriver();
        return Clock::now() - start;
    }

    SimTrackerCounters Counters() const { return driver->Counters(); }

    // A library that cannot be opened or read would be retried for ever: no thread polls it, and
    // nothing in it is ever called.
    void ExpectTakenForNoDriver() {
        StartPolling();
        EXPECT_EQ(plugin->driverHandle, nullptr);
        EXPECT_EQ(plugin->workerThread, nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(driver->CallLog(), "");
    }

    std::unique_ptr<VelmoraPlugin> plugin = std::make_unique<VelmoraPlugin>();
    const SimulatedDriver* driver = nullptr;

private:
    std::string variant_;
};

// Well under the second after which Stop ends a thread by force, and well over one polling cycle
// (100 ms at most, plus one driver call) on a loaded machine.
constexpr auto EndedByItself = std::chrono::milliseconds(900);

}  // namespace velmora::test
