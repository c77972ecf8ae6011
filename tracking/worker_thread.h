#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace velmora {

class ThreadControl;

// What a worker's function is handed besides its argument: the marks around its stretches
// outside Velmora's own code, the only places where its owner may give it up.
class ThreadContext {
public:
    enum class Stretch : std::uint8_t {
        // A driver call or a sleep: the owner may end the thread by force here.
        MayBeEnded,
        // File work, which may block for as long as a disk or a network share likes, and which
        // takes the locks of the heap and the file system (Win32 allocates inside CreateFile): a
        // thread ended by force there could leave them held and freeze the game at its next
        // allocation. The owner gives the thread up here without ending it.
        NeverEnded,
    };

    // For a thread that no owner gives up (a test's, a tool's): every stretch runs its call and
    // carries on.
    ThreadContext() = default;
    explicit ThreadContext(ThreadControl& control) : control_(&control) {}

    // Runs `call` as a stretch of that kind. False when the owner gave the thread up meanwhile:
    // the function must then return at once, touching nothing it shares with the owner. So a
    // call in file work keeps its memory to itself or the thread (a copied path, a local buffer),
    // for it may return long after the owner is gone.
    template <class Call>
    bool Outside(Call&& call) {
        return Within(Stretch::MayBeEnded, call);
    }
    template <class Call>
    bool FileWork(Call&& call) {
        return Within(Stretch::NeverEnded, call);
    }

private:
    template <class Call>
    bool Within(Stretch stretch, Call& call) {
        if (!Begin(stretch)) {
            return false;
        }
        call();
        return End(stretch);
    }
    bool Begin(Stretch stretch);
    bool End(Stretch stretch);

    ThreadControl* control_ = nullptr;
};

// Runs one function with one argument on a thread of its own.
//
// Giving the thread up. Terminate never ends the thread by force while it runs Velmora's code (it
// may hold the plug-in's lock or be counted among the lock's waiters) or does file work (see
// ThreadContext), and it never waits without bound: it runs on the game's thread.
// - In its own code, which never blocks for long, the thread is waited for until it reaches its
//   next stretch or finishes; but after a fifth of a second it is let go instead, for a thread
//   the system has already ended (at the process's exit) would never get there.
// - In file work, it is let go at once.
// - In a driver call or a sleep: Win32 ends it with TerminateThread and waits, a fifth of a second
//   at most, until it is gone. What it was calling into (keepAlive) then stays loaded for good:
//   its unload code could wait for a lock the dead thread held. POSIX, which has no safe forced
//   end, lets it go.
// A thread let go runs on until its call returns, finds itself given up and leaves its function
// at once; this library stays loaded for it, and whatever it was calling into (keepAlive) until it
// has left. The thread's state lives apart from the wrapper, so a wrapper destroyed before its
// thread has begun is never touched by it; such a thread ends without running the function.
class WorkerThread {
public:
    using Function = std::uint32_t (*)(void* argument, ThreadContext& context);

    // Starts the thread at once. keepAlive is released only when the thread can no longer be
    // inside it.
    WorkerThread(Function function, void* argument, std::shared_ptr<void> keepAlive = {});
    // Gives the thread up (Terminate) when it still runs, then waits a fifth of a second at most
    // for a finished thread to be gone: on Win32 its exit needs the loader's lock, which a host
    // deleting the plug-in from its own DllMain holds.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when no thread could be made: the function will never run.
    bool Made() const { return hasThread_; }
    // True while the function runs; false before it begins, after it returns, after Terminate.
    bool Running() const;
    // The thread's exit code once it has finished: the function's result, 0 after Terminate.
    std::uint32_t ExitCode() const;
    // Returns within about 0.4 s.
    void Terminate();

private:
    std::shared_ptr<ThreadControl> control_;
    platform::ThreadHandle handle_;
    bool hasThread_ = false;
};

}  // namespace velmora
