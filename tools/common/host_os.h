/* The few OS services the tools and tests need that the plug-in does not: load a library by
   path, find the program's own directory, set an environment variable, ask whether output is a
   terminal. Plain C, so the C-only ABI test can use it; C++ includes it inside extern "C". */
#pragma once

#include <stddef.h>

void* HostLoadLibrary(const char* path);
void* HostFindSymbol(void* library, const char* name);
void HostFreeLibrary(void* library);
/* The directory of the running program, with a trailing separator. 0 on failure. */
int HostProgramDirectory(char* buffer, size_t size);
/* The file name of the plug-in library and of the simulated driver on this OS. */
const char* HostPluginFileName(void);
const char* HostDriverFileName(void);
int HostSetEnvironment(const char* name, const char* value);
int HostStdoutIsTerminal(void);
