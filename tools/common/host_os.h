/* The few OS services the tools and tests need that the plug-in does not: load a library by
   path, find the program's own directory, set an environment variable, ask whether output is a
   terminal and make it take escape sequences, keep a console window of the program's own open.
   Plain C, so that C code can use it too; C++ includes it inside extern "C". */
#pragma once

#include <stddef.h>

void* HostLoadLibrary(const char* path);
void* HostFindSymbol(void* library, const char* name);
void HostFreeLibrary(void* library);
/* The library that a load by this bare file name would take without searching, because one of that
   name is loaded already (the system's search looks there first), with a reference of the
   caller's own that keeps it loaded. NULL when none is loaded. Loads nothing. */
void* HostFindLoadedLibrary(const char* name);
/* The file a loaded library came from. 0 on failure. */
int HostLibraryPath(void* library, char* buffer, size_t size);
/* The directory of the running program, with a trailing separator. 0 on failure. */
int HostProgramDirectory(char* buffer, size_t size);
/* The file name of the plug-in library and of the simulated driver on this OS. */
const char* HostPluginFileName(void);
const char* HostDriverFileName(void);
int HostSetEnvironment(const char* name, const char* value);
int HostStdoutIsTerminal(void);
/* Makes standard output interpret ANSI escape sequences; 0 when it cannot (an old Windows
   console), and the caller falls back to plain lines. */
int HostEnableAnsiOutput(void);
/* The tools write UTF-8 (a degree sign, a car's name): a Windows console shows it as such only in
   its UTF-8 code page, which this sets until the program ends, then puts the old one back. */
void HostShowUtf8Output(void);
/* A player may start a tool by double-clicking it, or by dropping a file on it: Windows then gives
   it a console window of its own, which closes the moment the program ends. This waits for Enter
   in that case only, so that the output can be read. */
void HostHoldOwnConsoleWindow(void);
