#include "tracking/guarded_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Retires the lock on a thread of its own; false when that does not finish within the limit (the
// thread is then left behind, with the lock).
bool RetiresWithin(std::unique_ptr<GuardedLock> lock, std::chrono::milliseconds limit) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread retirer([lock = std::move(lock), done]() mutable {
        lock.reset();
        *done = true;
    });
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!*done && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    if (!*done) {
        retirer.detach();
        return false;
    }
    retirer.join();
    return true;
}

TEST(GuardedLock, KeepsTwoThreadsOutOfEachOther) {
    GuardedLock lock;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            LockHold hold(lock);
            ASSERT_TRUE(hold.Held());
            ++counter;
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(counter, 40000);
}

TEST(GuardedLock, RetiresAtOnceAfterEveryEnterWasLeft) {
    auto lock = std::make_unique<GuardedLock>();
    for (int i = 0; i < 3; ++i) {
        LockHold hold(*lock);
        EXPECT_TRUE(hold.Held());
    }
    EXPECT_TRUE(RetiresWithin(std::move(lock), 10s));
}

TEST(GuardedLock, RetiringTurnsNewcomersAwayAtOnceAndLetsWaitersOutWhenTheHolderLeaves) {
    std::optional<GuardedLock> storage(std::in_place);
    GuardedLock* const lock = &*storage;
    ASSERT_TRUE(lock->Enter());

    std::atomic<int> granted{0};
    std::atomic<int> refused{0};
    struct Probe {
        std::thread thread;
        std::atomic<bool> started{false};
        std::atomic<bool> returned{false};
    };
    std::vector<std::unique_ptr<Probe>> probes;
    auto probe = [&] {
        auto& p = *probes.emplace_back(std::make_unique<Probe>());
        p.thread = std::thread([&] {
            p.started = true;
            if (lock->Enter()) {
                ++granted;
                lock->Leave();
            } else {
                ++refused;
            }
            p.returned = true;
        });
        while (!p.started) {
            std::this_thread::yield();
        }
    };

    // A thread that comes while the lock is held, most likely before retirement begins: it waits.
    probe();
    std::this_thread::sleep_for(20ms);
    std::atomic<bool> retired{false};
    std::thread retirer([&] {
        storage.reset();
        retired = true;
    });
    // Probe until a newcomer is turned away while the lock is still held: it cannot have waited.
    bool turnedAway = false;
    for (int attempt = 0; attempt < 200 && !turnedAway; ++attempt) {
        probe();
        const auto end = std::chrono::steady_clock::now() + 50ms;
        while (!probes.back()->returned && std::chrono::steady_clock::now() < end) {
            std::this_thread::yield();
        }
        turnedAway = probes.back()->returned;
    }
    EXPECT_TRUE(turnedAway);
    EXPECT_FALSE(retired) << "retirement must wait for the holder";

    lock->Leave();
    for (auto& p : probes) {
        p->thread.join();
    }
    retirer.join();
    EXPECT_EQ(granted, 0);
    EXPECT_EQ(refused, static_cast<int>(probes.size()));
}

}  // namespace
}  // namespace velmora
