#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace velmora {

class ThreadControl;

// What a worker's function is handed besides its argument: the marks around its stretches
// outside Velmora's own code (a driver call, a sleep), the only places where it may be ended by
// force.
class ThreadContext {
public:
    explicit ThreadContext(ThreadControl& control) : control_(control) {}

    // Runs `call` as an outside stretch. False when the owner gave the thread up meanwhile: the
    // function must then return at once, touching nothing it shares with the owner.
    template <class Call>
    bool Outside(Call&& call) {
        if (!BeginOutside()) {
            return false;
        }
        call();
        return EndOutside();
    }

private:
    bool BeginOutside();
    bool EndOutside();

    ThreadControl& control_;
};

// Runs one function with one argument on a thread of its own.
//
// Forced end. The owner ends the thread by force only while it is inside an outside stretch, never
// while it runs Velmora's code, so it never dies holding the plug-in's lock or counted among the
// lock's waiters; if the thread is in its own code, Terminate waits for it to reach its next
// stretch or to finish (that code never blocks for long). An atomic state decides which side wins
// when a stretch ends just as the owner gives up.
// - Win32: TerminateThread, and Terminate returns once the thread is gone (or after a bounded
//   wait). What the thread was calling into (keepAlive) then stays loaded for good: its unload
//   code could wait for a lock the dead thread held.
// - POSIX, which has no safe forced end: the thread is abandoned and detached. When its outside
//   call returns, the thread finds itself abandoned and leaves its function at once. Whatever it
//   was calling into stays loaded (keepAlive) until it has left.
// The thread's state lives apart from the wrapper, so a wrapper destroyed before its thread has
// begun is never touched by it; such a thread ends without running the function.
class WorkerThread {
public:
    using Function = std::uint32_t (*)(void* argument, ThreadContext& context);

    // Starts the thread at once. keepAlive is released only when the thread can no longer be
    // inside it.
    WorkerThread(Function function, void* argument, std::shared_ptr<void> keepAlive = {});
    // Ends the thread by force when it still runs.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // True while the function runs; false before it begins, after it returns, after Terminate.
    bool Running() const;
    // The thread's exit code once it has finished: the function's result, 0 after a forced end.
    std::uint32_t ExitCode() const;
    void Terminate();

private:
    std::shared_ptr<ThreadControl> control_;
    platform::ThreadHandle handle_;
    bool hasThread_ = false;
};

}  // namespace velmora
