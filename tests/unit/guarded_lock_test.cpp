#include "tracking/guarded_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Retirement waits for the holder, lets a thread already waiting out with a refusal, and turns
// newcomers away at once; the lock is gone only after all of them have left it.
TEST(GuardedLock, RetiresOnlyOnceEveryThreadInsideHasLeftRefused) {
    std::optional<GuardedLock> lock(std::in_place);
    ASSERT_TRUE(lock->Enter());
    std::atomic<int> waiterResult{-1};
    std::thread waiter([&] { waiterResult = lock->Enter() ? 1 : 0; });
    std::this_thread::sleep_for(20ms);  // most likely blocked in Enter by now
    std::atomic<bool> retired{false};
    std::thread retirer([&] {
        lock.reset();
        retired = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(retired) << "retired under its holder";
    GuardedLock* const raw = &*lock;  // still alive: its holder has not left
    std::atomic<bool> newcomerRefused{false};
    std::thread newcomer([&] { newcomerRefused = !raw->Enter(); });
    newcomer.join();  // returns at once: it never waits for the holder
    EXPECT_TRUE(newcomerRefused);

    raw->Leave();
    waiter.join();
    retirer.join();
    EXPECT_EQ(waiterResult, 0);
    EXPECT_TRUE(retired);
}

}  // namespace
}  // namespace velmora
