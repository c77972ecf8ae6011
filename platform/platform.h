#pragma once

// The operating-system services Velmora uses, and nothing else. Each has a Win32 implementation
// (win32_*.cpp, the product) and a POSIX one (posix_*.cpp, for fast tests); the build picks the
// set.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::platform {

// --- Libraries -----------------------------------------------------------------------------------

using ModuleHandle = void*;

// Loads a library by its bare file name through the system's normal search, which also finds a
// library of that name that is already loaded. Null when it cannot be loaded.
ModuleHandle LoadLibraryByName(const char* name);
// Null when the library has no entry point of that name.
void* FindEntryPoint(ModuleHandle module, const char* name);
void UnloadLibrary(ModuleHandle module);
// Keeps the library (or program) whose code calls this loaded until the process ends, whatever
// unloads it later: code that must outlive an unload (a thread let go, a driver's open socket)
// stays mapped.
void PinThisLibrary();

// --- Threads and time ----------------------------------------------------------------------------

using ThreadRoutine = std::uint32_t (*)(void* parameter);

struct ThreadHandle {
    std::uintptr_t value = 0;
};

// Starts the routine on a new thread at once; false when no thread could be made.
bool StartThread(ThreadRoutine routine, void* parameter, ThreadHandle& thread);
// Waits up to `milliseconds` for a thread that has left, or is about to leave, its routine to be
// gone, and releases the handle. False when it is still there: it is then let go (LetThreadGo).
// The bound is for Win32, where a thread needs the loader's lock to exit and a host may stop the
// plug-in while it holds that lock (from its own DllMain, or while another thread loads a
// library): an unbounded wait would never end.
bool JoinThread(ThreadHandle thread, std::uint32_t milliseconds);
// Gives a thread up without ending it and releases the handle: it runs on until it returns by
// itself, into this library, which stays loaded until then (Win32: every thread holds the library
// until it exits, and one ended by force for good) or for the rest of the process (POSIX).
void LetThreadGo(ThreadHandle thread);
// Ends a thread that is blocked outside Velmora's own code and releases the handle. True when the
// thread is gone within `milliseconds` (Win32). False when it is not, or when the OS has no safe
// forced end (POSIX): the thread is then let go (LetThreadGo), so the caller must arrange that it
// leaves at once when its blocking call returns.
bool EndThreadByForce(ThreadHandle thread, std::uint32_t milliseconds);

// Sleep(0) gives up the rest of the time slice.
void Sleep(std::uint32_t milliseconds);
// Milliseconds on a monotonic clock, wrapping every 2^32 ms (about 49.7 days).
std::uint32_t TickCount();
// Microseconds on a monotonic clock, for time stamps finer than TickCount's (on Windows it steps
// by the timer tick, often 15.6 ms, more than a poll of the tracker).
std::uint64_t Microseconds();

// The date and time on the computer's own clock, to name files by.
struct LocalTime {
    int year;
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;    // 0 to 23
    int minute;  // 0 to 59
    int second;  // 0 to 59 (60 in a leap second)
};
LocalTime LocalTimeNow();

// A non-recursive lock (a Win32 critical section; a mutex on POSIX).
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    // Room for the OS object without pulling OS headers into every file; each implementation
    // checks that its object fits. The lock lives inside the plug-in object, which the heap
    // allocates, and 32-bit msvcrt's malloc aligns to 8 only: asking for more here would make
    // every plug-in object misaligned there (GCC assumes new gives 16).
    alignas(8) unsigned char storage_[64];
};

// --- The user ------------------------------------------------------------------------------------

// Win32: a message box with one OK button, returning when the user has closed it; a `secondLine`
// that is not empty goes below the text.
// POSIX: the line "<caption>: <text>" on standard error, whatever the second line: that one line
// is what a script or a test reads.
void ShowNotice(const char* caption, const char* text, const char* secondLine);

// --- Files ---------------------------------------------------------------------------------------

// Paths are UTF-8 (Win32: a path that is not valid UTF-8 is taken in the ANSI code page, as a C
// runtime's arguments come). Win32 converts them to UTF-16 at the OS call, so a folder named in any
// script works, and takes absolute paths of any length, past the 260 characters of the ANSI calls.
//
// Every call goes straight to the OS, past the C runtime's streams, buffers and locks.

// What ReadWholeFile read.
struct FileBytes {
    std::string bytes;
    // A read failed, or the file holds more than the limit, before its end: `bytes` are what came
    // before that point.
    bool cutShort = false;
};
// The bytes of a file, at most `limit` of them. Nothing when it cannot be opened.
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::size_t limit);

// A new file that its writer keeps open. Others may read, write, rename and delete it meanwhile, so
// that a handle left open by a writer that never came back (a thread ended by force) keeps it from
// no one.
class NewFile {
public:
    enum class Created { Yes, Exists, Failed };

    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Never replaces a file that is there.
    Created Create(const std::string& path);
    // How many of the bytes reached the file, in order: all of them, or fewer when a write failed
    // (a full disk, a quota, a file-size limit).
    std::size_t Write(const void* bytes, std::size_t size);
    // Cuts the file back to its first `length` bytes; later writes go on from there. False when
    // the OS refuses.
    bool CutBack(std::uint64_t length);
    void Close();
    bool IsOpen() const { return handle_ != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
};

// --- Where Velmora lives -------------------------------------------------------------------------

// The directory of the loaded library (or program) whose code holds `address`, ending with the
// separator that joins a file name to it, in UTF-8. Found by address, not by name, so a renamed
// library still finds its own folder. False when the system cannot say (no such module).
bool ModuleDirectory(const void* address, std::string& directory);

}  // namespace velmora::platform
