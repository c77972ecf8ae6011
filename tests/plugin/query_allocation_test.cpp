// QueryControl runs for every control in every frame of the game: it must never allocate. This
// program replaces the global allocator to count, so it is a program of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "plugin/velmora_plugin.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace velmora {
namespace {

TEST(QueryControl, AllocatesNothingForAnyName) {
    VelmoraPlugin plugin;
    const long atStart = g_allocations.load();
    plugin.RegisterControls();
    ASSERT_GT(g_allocations.load(), atStart) << "the counting allocator is not in use";
    plugin.enabled = true;
    for (auto* flag : {&plugin.yawLeftEnabled, &plugin.rollRightEnabled}) {
        *flag = true;
    }
    plugin.yawFilter.Output = 9000;
    plugin.rollFilter.Output = 5000;
    // Three of the names are longer than a typical small-string buffer.
    const char* names[] = {"Camera_YawLeft",  "Camera_YawRight",
                           "Camera_PitchUp",  "Camera_PitchDown",
                           "Camera_RollLeft", "Camera_RollRight",
                           "Camera_MoveLeft", "Camera_MoveRight",
                           "Camera_MoveUp",   "Camera_NotDrivenByVelmora_WithAVeryLongName"};
    float value = 0.0f;
    const long before = g_allocations.load();
    for (int frame = 0; frame < 1000; ++frame) {
        for (const char* name : names) {
            plugin.QueryControl(name, &value);
        }
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
}

}  // namespace
}  // namespace velmora
