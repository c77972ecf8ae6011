#pragma once

// The few kernel32 functions the host calls, declared as the Windows headers declare them
// (stdcall, imported), since a freestanding build has no Windows headers. kernel32.def lists the
// same names for the import library.

extern "C" {

using FarProc = int(__stdcall*)();

__declspec(dllimport) void* __stdcall LoadLibraryA(const char* path);
__declspec(dllimport) FarProc __stdcall GetProcAddress(void* module, const char* nameOrOrdinal);
__declspec(dllimport) int __stdcall FreeLibrary(void* module);
__declspec(dllimport) unsigned long __stdcall GetModuleFileNameA(void* module, char* path,
                                                                 unsigned long size);
__declspec(dllimport) const char* __stdcall GetCommandLineA();
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* bytes, unsigned long count,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) unsigned long __stdcall GetTickCount();
__declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);
[[noreturn]] __declspec(dllimport) void __stdcall ExitProcess(unsigned exitCode);
}

inline constexpr unsigned long kStandardOutput = static_cast<unsigned long>(-11);
