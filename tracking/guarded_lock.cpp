#include "tracking/guarded_lock.h"

namespace velmora {

GuardedLock::GuardedLock() = default;

GuardedLock::~GuardedLock() {
    alive = false;
    // Waits for a holder to Leave; then lets every thread still counted in Enter take the section
    // in turn, find the lock retired and count itself out. Destroying the section while one of
    // them still waits for it would leave that thread inside a destroyed object.
    section.Enter();
    while (waiters.load() > 0) {
        section.Leave();
        platform::Sleep(0);
        section.Enter();
    }
    section.Leave();
}

bool GuardedLock::Enter() {
    if (!alive) {
        return false;
    }
    ++waiters;
    section.Enter();
    if (alive) {
        return true;
    }
    --waiters;
    section.Leave();
    return false;
}

void GuardedLock::Leave() {
    --waiters;
    section.Leave();
}

}  // namespace velmora
