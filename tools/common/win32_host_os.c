#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/host_os.h"

void* HostLoadLibrary(const char* path) {
    return (void*)LoadLibraryA(path);
}

void* HostFindSymbol(void* library, const char* name) {
    /* ISO C has no cast from a function to a data pointer; copy the bytes as dlsym's callers do. */
    FARPROC entry = GetProcAddress((HMODULE)library, name);
    void* address;
    memcpy(&address, &entry, sizeof address);
    return address;
}

void HostFreeLibrary(void* library) {
    FreeLibrary((HMODULE)library);
}

void* HostFindLoadedLibrary(const char* name) {
    /* Matches the file name of every loaded module, whatever its folder, as LoadLibrary does. */
    HMODULE module = NULL;
    return GetModuleHandleExA(0, name, &module) ? (void*)module : NULL;
}

int HostLibraryPath(void* library, char* buffer, size_t size) {
    DWORD length = GetModuleFileNameA((HMODULE)library, buffer, (DWORD)size);
    return length > 0 && length < size;
}

int HostProgramDirectory(char* buffer, size_t size) {
    DWORD length = GetModuleFileNameA(NULL, buffer, (DWORD)size);
    if (length == 0 || length >= size) {
        return 0;
    }
    char* cut = strrchr(buffer, '\\');
    if (cut == NULL) {
        cut = strrchr(buffer, '/');
    }
    if (cut == NULL) {
        return 0;
    }
    cut[1] = '\0';
    return 1;
}

const char* HostPluginFileName(void) {
    return "Velmora.dll";
}

const char* HostDriverFileName(void) {
    return "IWEARDRV.DLL";
}

int HostSetEnvironment(const char* name, const char* value) {
    /* Both the C runtime's copy (getenv) and the process's (GetEnvironmentVariable). */
    char entry[1024];
    if (snprintf(entry, sizeof entry, "%s=%s", name, value) >= (int)sizeof entry) {
        return 0;
    }
    return _putenv(entry) == 0 && SetEnvironmentVariableA(name, value);
}

int HostStdoutIsTerminal(void) {
    return _isatty(_fileno(stdout));
}

int HostEnableAnsiOutput(void) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output == INVALID_HANDLE_VALUE || !GetConsoleMode(output, &mode)) {
        return 0;
    }
    return SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

static UINT previousOutputPage;

static void RestoreOutputPage(void) {
    SetConsoleOutputCP(previousOutputPage);
}

void HostShowUtf8Output(void) {
    /* Only a console has a code page to set; a pipe or a file takes the bytes as they are. */
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || previousOutputPage != 0) {
        return;
    }
    previousOutputPage = GetConsoleOutputCP();
    if (previousOutputPage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        atexit(RestoreOutputPage);
    }
}

void HostHoldOwnConsoleWindow(void) {
    /* A console opened from a command prompt lists the prompt too; one made for this program
       lists it alone. */
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        fputs("\nPress Enter to close this window.", stdout);
        fflush(stdout);
        getchar();
    }
}
