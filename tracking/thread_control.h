#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "tracking/worker_thread.h"

namespace velmora {

// The state a worker thread shares with its wrapper. The wrapper holds one reference and the
// thread another, so whichever of the two is done last frees it; the thread never reaches the
// wrapper itself.
//
// Where the thread stands is one atomic state. Only the owner moves it out of NotStarted or
// Outside (to Abandoned); only the thread makes every other move. So a state of InOwnCode cannot
// change under the thread's feet, and the owner never ends the thread while it runs Velmora's
// code (where it may hold the lock).
class ThreadControl {
public:
    ThreadControl(WorkerThread::Function function, void* argument, std::shared_ptr<void> keepAlive)
        : function_(function), argument_(argument), keepAlive_(std::move(keepAlive)) {}

    // The thread's routine; its parameter is the ThreadControl.
    static std::uint32_t Run(void* parameter);

    // The thread's side of an outside stretch (see ThreadContext).
    bool BeginOutside();
    bool EndOutside();

    // The owner's side.
    bool Running() const { return running_; }
    std::uint32_t ExitCode() const { return exitCode_; }
    // The thread's own reference; dropped again when no thread could be made.
    void AdoptThreadReference(std::shared_ptr<ThreadControl> self) {
        threadReference_ = std::move(self);
    }
    void DropThreadReference() { threadReference_.reset(); }
    // Gives up a thread that has not begun: it will leave without running the function. False
    // when it has begun.
    bool AbandonBeforeStart();
    // Gives up a thread that is in an outside stretch, waiting while it is in its own code. False
    // when there is nothing to give up: it never began, has finished, or was given up before.
    bool AbandonOutside();
    // After AbandonOutside: the thread was not ended, and may leave once its call returns.
    void LetGo() { letGo_ = true; }

private:
    enum class State : std::uint8_t {
        NotStarted,  // the thread has not begun; the function has not run
        InOwnCode,   // the function runs Velmora's code: it may hold the lock, so no forced end now
        Outside,     // the function is in a driver call or asleep: it may be ended by force
        Abandoned,   // the owner gave the thread up; the function does not run on
        Finished,    // the function returned by itself
    };

    std::atomic<State> state_{State::NotStarted};
    std::atomic<bool> running_{false};
    // Set by the owner once an abandoned thread has been detached rather than ended: the thread
    // may then leave. Until then it waits, so that on Win32 it is ended in a sleep and never in
    // the middle of its own exit (which takes the loader's lock and the heap's).
    std::atomic<bool> letGo_{false};
    std::atomic<std::uint32_t> exitCode_{0};

    const WorkerThread::Function function_;
    void* const argument_;
    const std::shared_ptr<void> keepAlive_;
    // Released by the thread on its way out; never released when the thread was ended by force,
    // so that keepAlive is never let go (see WorkerThread).
    std::shared_ptr<ThreadControl> threadReference_;
};

}  // namespace velmora
