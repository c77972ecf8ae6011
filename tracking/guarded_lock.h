#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"

namespace velmora {

// The plug-in's one lock. Besides mutual exclusion it can be retired: once the destructor begins,
// Enter fails at once, and threads already waiting are let out with a failure before the lock is
// destroyed. A caller whose Enter fails holds nothing and skips the work that needed the lock.
class GuardedLock {
public:
    GuardedLock();
    ~GuardedLock();
    GuardedLock(const GuardedLock&) = delete;
    GuardedLock& operator=(const GuardedLock&) = delete;

    // True: the caller holds the lock and must Leave once. False: the lock is being retired.
    bool Enter();
    void Leave();

private:
    platform::CriticalSection section;
    std::atomic<bool> alive{true};
    // Threads past Enter's first check that have not given the lock up (waiting or holding).
    std::atomic<std::int32_t> waiters{0};
};

// Holds a GuardedLock for a scope, when it can be had.
class LockHold {
public:
    explicit LockHold(GuardedLock& lock) : lock_(lock), held_(lock.Enter()) {}
    ~LockHold() {
        if (held_) {
            lock_.Leave();
        }
    }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

    bool Held() const { return held_; }

private:
    GuardedLock& lock_;
    bool held_;
};

}  // namespace velmora
