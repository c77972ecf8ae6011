#include <windows.h>

#include <new>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

struct Start {
    ThreadRoutine routine;
    void* parameter;
};

DWORD WINAPI Trampoline(LPVOID raw) {
    Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    return start.routine(start.parameter);
}

constexpr DWORD kForcedEndWait = 1000;

HANDLE ToHandle(ThreadHandle thread) {
    return reinterpret_cast<HANDLE>(thread.value);
}

}  // namespace

// A thread let go returns into this library when its blocking call ends: keep the library mapped
// for the rest of the process, whatever the host unloads.
void PinThisLibrary() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&PinThisLibrary), &self);
}

bool StartThread(ThreadRoutine routine, void* parameter, ThreadHandle& thread) {
    auto* start = new (std::nothrow) Start{routine, parameter};
    if (start == nullptr) {
        return false;
    }
    HANDLE handle = CreateThread(nullptr, 0, Trampoline, start, 0, nullptr);
    if (handle == nullptr) {
        delete start;
        return false;
    }
    thread.value = reinterpret_cast<std::uintptr_t>(handle);
    return true;
}

void JoinThread(ThreadHandle thread) {
    WaitForSingleObject(ToHandle(thread), INFINITE);
    CloseHandle(ToHandle(thread));
}

bool EndThreadByForce(ThreadHandle thread) {
    // Refused (a handle without the right, say): waiting for the end would wait for ever, so the
    // thread is let go instead, as on POSIX.
    if (!TerminateThread(ToHandle(thread), 0)) {
        PinThisLibrary();
        CloseHandle(ToHandle(thread));
        return false;
    }
    // TerminateThread only starts the end; wait until the thread can run nothing more, but not
    // for ever: Stop runs on the game's thread. A thread still not gone counts as let go.
    const bool gone = WaitForSingleObject(ToHandle(thread), kForcedEndWait) == WAIT_OBJECT_0;
    if (!gone) {
        PinThisLibrary();
    }
    CloseHandle(ToHandle(thread));
    return gone;
}

}  // namespace velmora::platform
