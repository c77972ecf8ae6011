#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "tracking/worker_thread.h"

namespace velmora {

// Where a worker thread stands, as the thread and its owner agree on it. Only the owner moves the
// state out of NotStarted (to Abandoned) or out of Outside (to Abandoned); only the thread makes
// every other move. So a state of InOwnCode cannot change under the thread's feet.
enum class ThreadState : std::uint8_t {
    NotStarted,  // the thread has not begun; the function has not run
    InOwnCode,   // the function runs Velmora's code: it may hold the lock, so no forced end now
    Outside,     // the function is in a driver call or asleep: it may be ended by force
    Abandoned,   // the owner gave the thread up; the function does not run on
    Finished,    // the function returned by itself
};

// The state a worker thread shares with its wrapper. The wrapper holds one reference and the
// thread another (threadReference), so whichever of the two is done last frees it; the thread
// never reaches the wrapper itself.
class ThreadControl {
public:
    ThreadControl(WorkerThread::Function function, void* argument, std::shared_ptr<void> keepAlive)
        : function(function), argument(argument), keepAlive(std::move(keepAlive)) {}

    // The thread's routine; its parameter is the ThreadControl.
    static std::uint32_t Run(void* parameter);

    bool BeginOutside();
    bool EndOutside();

    std::atomic<ThreadState> state{ThreadState::NotStarted};
    std::atomic<bool> running{false};
    std::atomic<bool> started{false};
    // Set by the owner once an abandoned thread has been detached rather than ended: the thread
    // may then leave. Until then it waits, so that on Win32 it is ended in a sleep and never in
    // the middle of its own exit (which takes the loader's lock and the heap's).
    std::atomic<bool> letGo{false};
    std::atomic<std::uint32_t> exitCode{0};

    const WorkerThread::Function function;
    void* const argument;
    const std::shared_ptr<void> keepAlive;
    // The thread's own reference. Released by the thread on its way out; never released when the
    // thread was ended by force, so that keepAlive is never let go (see WorkerThread).
    std::shared_ptr<ThreadControl> threadReference;
};

}  // namespace velmora
