#include <dlfcn.h>
#include <pthread.h>

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

// An abandoned thread returns into this library when its blocking call ends; if the host unloaded
// the plug-in in the meantime it would return into unmapped code. Pin the library for the rest of
// the process instead.
void PinThisLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PinThisLibrary), &info) != 0 && info.dli_fname != nullptr) {
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

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

void JoinThread(ThreadHandle thread) {
    pthread_join(ToPthread(thread), nullptr);
}

bool EndThreadByForce(ThreadHandle thread) {
    // pthread_cancel would unwind C++ frames at arbitrary points and pthread_kill cannot end one
    // thread alone: there is no safe forced end on POSIX. The thread is let go instead.
    PinThisLibrary();
    pthread_detach(ToPthread(thread));
    return false;
}

}  // namespace velmora::platform
