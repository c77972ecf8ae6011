// QueryControl runs for every control in every frame of the game, and the polling thread's
// reading path a hundred times a second: neither may allocate. This program replaces the global
// allocator to count, so it is a program of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "controls/camera_controls.h"
#include "controls/control_names.h"
#include "simulated_driver.h"
#include "tracking/tracker_poller.h"
#include "wait_until.h"

extern "C" {
#include "host_os.h"
}

namespace {
std::atomic<long> g_allocations{0};
}

// Every form, so that whatever a form allocates, its matching delete frees (the thread start
// allocates with nothrow; a sanitizer would otherwise see its own new freed by this delete).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size) {
    if (void* memory = operator new(size, std::nothrow)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace velmora {
namespace {

TEST(QueryControl, AllocatesNothingForAnyName) {
    Switches switches;
    SharedHead head(switches, "");
    CameraControls controls(head, switches);
    const long atStart = g_allocations.load();
    controls.Bind();
    ASSERT_GT(g_allocations.load(), atStart) << "the counting allocator is not in use";
    switches.BeginSession();
    head.AddReading({9000, 0, 5000});
    // Some of the names are longer than a typical small-string buffer.
    std::vector<const char*> names(kControlNames.begin(), kControlNames.end());
    names.push_back("Camera_NotDrivenByVelmora_WithAVeryLongName");
    float value = 0.0f;
    const long before = g_allocations.load();
    for (int frame = 0; frame < 1000; ++frame) {
        for (const char* name : names) {
            controls.Query(name, &value);
        }
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
}

// The polling thread reads, filters and (with "Record Trace") records: after a recording has
// begun, with the memory it reserved, nothing more; with the switch off, nothing at all.
TEST(PollingThread, TakesReadingsWithoutAllocatingWithTheRecorderOffAndOn) {
    std::string error;
    static const auto driver = test::SimulatedDriver::Preload("driver", error);
    ASSERT_NE(driver, nullptr) << error;
    // The driver's call log grows to its capacity as it goes: grown first, it allocates no more.
    const auto bound = TrackerDriver::Load(HostDriverFileName());
    ASSERT_NE(bound, nullptr);
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    std::int32_t roll = 0;
    for (int read = 0; read < 5000; ++read) {
        bound->GetTracking(&yaw, &pitch, &roll);
    }
    driver->Reset();
    driver->SetPose(100, 200, 300);

    const auto folder = std::filesystem::temp_directory_path() / "velmora-allocation-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Switches switches;
    SharedHead head(switches, (folder / "Velmora.cfg").string());
    TrackerPoller poller(head, switches, HostDriverFileName());
    auto goodReads = [&] {
        const SimTrackerCounters counters = driver->Counters();
        return counters.reads - counters.failedReads;
    };
    auto allocationsOver = [&](int reads) {
        const int from = goodReads();
        const long before = g_allocations.load();
        // Over a second: a write of the recorder falls in it.
        EXPECT_TRUE(test::WaitUntil([&] { return goodReads() >= from + reads; }));
        return g_allocations.load() - before;
    };

    poller.Start();
    ASSERT_TRUE(test::WaitUntil([&] { return goodReads() >= 20; }));
    EXPECT_EQ(allocationsOver(150), 0) << "with Record Trace off";
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    SwitchOverrides record;
    record.recordTrace = true;
    switches.Apply(record);
    ASSERT_TRUE(test::WaitUntil([&] { return !std::filesystem::is_empty(folder); }));
    const int began = goodReads();
    ASSERT_TRUE(test::WaitUntil([&] { return goodReads() >= began + 5; }));
    EXPECT_EQ(allocationsOver(150), 0) << "while recording";
    poller.Stop();
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace velmora
