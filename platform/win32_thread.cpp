#include <windows.h>

#include <new>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

struct Start {
    ThreadRoutine routine;
    void* parameter;
    HMODULE library;
};

DWORD WINAPI Trampoline(LPVOID raw) {
    const Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    const DWORD code = start.routine(start.parameter);
    if (start.library == nullptr) {
        return code;
    }
    // The thread's own hold on this library, taken by StartThread and let go as the thread exits:
    // a thread given up while it runs on keeps the library loaded until it is gone, and the owner
    // that gives it up pins nothing, which would take the loader's lock.
    FreeLibraryAndExitThread(start.library, code);
}

HANDLE ToHandle(ThreadHandle thread) {
    return reinterpret_cast<HANDLE>(thread.value);
}

}  // namespace

bool StartThread(ThreadRoutine routine, void* parameter, ThreadHandle& thread) {
    auto* start = new (std::nothrow) Start{routine, parameter, nullptr};
    if (start == nullptr) {
        return false;
    }
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&Trampoline), &start->library);
    HANDLE handle = CreateThread(nullptr, 0, Trampoline, start, 0, nullptr);
    if (handle == nullptr) {
        if (start->library != nullptr) {
            FreeLibrary(start->library);
        }
        delete start;
        return false;
    }
    thread.value = reinterpret_cast<std::uintptr_t>(handle);
    return true;
}

bool JoinThread(ThreadHandle thread, std::uint32_t milliseconds) {
    if (WaitForSingleObject(ToHandle(thread), milliseconds) != WAIT_OBJECT_0) {
        LetThreadGo(thread);
        return false;
    }
    CloseHandle(ToHandle(thread));
    return true;
}

void LetThreadGo(ThreadHandle thread) {
    CloseHandle(ToHandle(thread));
}

bool EndThreadByForce(ThreadHandle thread, std::uint32_t milliseconds) {
    // Refused (a handle without the right, say): waiting for the end would wait for ever. A thread
    // ended never lets its hold on this library go: the library stays loaded.
    if (!TerminateThread(ToHandle(thread), 0)) {
        LetThreadGo(thread);
        return false;
    }
    // TerminateThread only starts the end; wait until the thread can run nothing more, but not
    // for ever: Stop runs on the game's thread. A thread still not gone counts as let go.
    if (WaitForSingleObject(ToHandle(thread), milliseconds) != WAIT_OBJECT_0) {
        LetThreadGo(thread);
        return false;
    }
    CloseHandle(ToHandle(thread));
    return true;
}

}  // namespace velmora::platform
