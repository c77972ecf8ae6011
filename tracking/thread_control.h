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
// Where the thread stands is one atomic state, and every move is a compare-and-swap. The owner
// moves it only to Abandoned, and only from NotStarted, a stretch, or (past a bound) InOwnCode;
// the thread makes every other move. So the owner ends the thread by force only in a stretch that
// allows it, never while it runs Velmora's code (where it may hold the lock), and whichever side
// moves first when a stretch ends just as the owner gives up decides what happens.
class ThreadControl {
public:
    ThreadControl(WorkerThread::Function function, void* argument, std::shared_ptr<void> keepAlive)
        : function_(function), argument_(argument), keepAlive_(std::move(keepAlive)) {}

    // The thread's routine; its parameter is the ThreadControl.
    static std::uint32_t Run(void* parameter);

    // The thread's side of a stretch (see ThreadContext).
    bool BeginStretch(ThreadContext::Stretch stretch);
    bool EndStretch(ThreadContext::Stretch stretch);

    // The owner's side.
    bool Running() const;
    std::uint32_t ExitCode() const;
    // The thread's own reference; dropped again when no thread could be made.
    void AdoptThreadReference(std::shared_ptr<ThreadControl> self) {
        threadReference_ = std::move(self);
    }
    void DropThreadReference() { threadReference_.reset(); }
    // Gives up a thread that has not begun: it will leave without running the function. False
    // when it has begun.
    bool AbandonBeforeStart();

    enum class GivenUp {
        No,          // nothing to give up: it never began, has finished, or was given up before
        EndByForce,  // in a stretch that may be ended by force
        LetGo,       // in a stretch that may not, or in its own code past the bound
    };
    // Gives up a running thread: at once in a stretch; in its own code, where it may hold the
    // lock, once it reaches a stretch or `ownCodeWait` milliseconds have passed. Past that bound
    // it is let go rather than waited for without end: a thread the system has already ended (at
    // the process's exit) stays InOwnCode for ever.
    GivenUp GiveUp(std::uint32_t ownCodeWait);
    // After a forced end that did not end the thread: it may leave once its call returns.
    void LetGo() { letGo_ = true; }

private:
    enum class State : std::uint8_t {
        NotStarted,  // the thread has not begun; the function has not run
        InOwnCode,   // the function runs Velmora's code: it may hold the lock, so no forced end now
        MayBeEnded,  // in a driver call or asleep: it may be ended by force
        NeverEnded,  // in file work: it may be given up, but runs on until its call returns
        Abandoned,   // the owner gave the thread up; the function does not run on
        Finished,    // the function returned by itself
    };

    static State StateOf(ThreadContext::Stretch stretch) {
        return stretch == ThreadContext::Stretch::MayBeEnded ? State::MayBeEnded
                                                             : State::NeverEnded;
    }

    std::atomic<State> state_{State::NotStarted};
    // Set by the owner once a thread given up in a stretch that may be ended has been let go
    // rather than ended: the thread may then leave. Until then it waits, so that on Win32 it is
    // ended in a sleep and never in the middle of its own exit (which takes the loader's lock and
    // the heap's).
    std::atomic<bool> letGo_{false};
    // Written before the move to Finished; read only after it.
    std::atomic<std::uint32_t> exitCode_{0};

    const WorkerThread::Function function_;
    void* const argument_;
    const std::shared_ptr<void> keepAlive_;
    // Released by the thread on its way out; never released when the thread was ended by force,
    // so that keepAlive is never let go (see WorkerThread).
    std::shared_ptr<ThreadControl> threadReference_;
};

}  // namespace velmora
