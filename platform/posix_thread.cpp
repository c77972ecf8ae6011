#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

#include <new>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

static_assert(sizeof(pthread_t) <= sizeof(std::uintptr_t));

struct Start {
    ThreadRoutine routine;
    void* parameter;
};

void* Trampoline(void* raw) {
    Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    start.routine(start.parameter);
    return nullptr;
}

pthread_t ToPthread(ThreadHandle thread) {
    return static_cast<pthread_t>(thread.value);
}

}  // namespace

bool StartThread(ThreadRoutine routine, void* parameter, ThreadHandle& thread) {
    auto* start = new (std::nothrow) Start{routine, parameter};
    if (start == nullptr) {
        return false;
    }
    pthread_t id{};
    if (pthread_create(&id, nullptr, Trampoline, start) != 0) {
        delete start;
        return false;
    }
    thread.value = static_cast<std::uintptr_t>(id);
    return true;
}

bool JoinThread(ThreadHandle thread, std::uint32_t milliseconds) {
    timespec until{};
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += static_cast<time_t>(milliseconds / 1000);
    until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    if (pthread_timedjoin_np(ToPthread(thread), nullptr, &until) == 0) {
        return true;
    }
    LetThreadGo(thread);
    return false;
}

void LetThreadGo(ThreadHandle thread) {
    PinThisLibrary();
    pthread_detach(ToPthread(thread));
}

bool EndThreadByForce(ThreadHandle thread, std::uint32_t) {
    // pthread_cancel would unwind C++ frames at arbitrary points and pthread_kill cannot end one
    // thread alone: there is no safe forced end on POSIX. The thread is let go instead.
    LetThreadGo(thread);
    return false;
}

}  // namespace velmora::platform
