// QueryControl runs for every control in every frame of the game: it may not allocate. This program
// replaces the global allocator to count, so it is a program of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "controls/camera_controls.h"
#include "controls/control_names.h"

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

}  // namespace
}  // namespace velmora
