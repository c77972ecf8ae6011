#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "common/host_os.h"

void* HostLoadLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* HostFindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void HostFreeLibrary(void* library) {
    dlclose(library);
}

void* HostFindLoadedLibrary(const char* name) {
    /* A bare name also matches the soname of a library loaded by path, as a load would. */
    return dlopen(name, RTLD_NOW | RTLD_NOLOAD);
}

int HostLibraryPath(void* library, char* buffer, size_t size) {
    struct link_map* map = NULL;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == NULL || strlen(map->l_name) >= size) {
        return 0;
    }
    strcpy(buffer, map->l_name);
    return 1;
}

int HostProgramDirectory(char* buffer, size_t size) {
    ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0) {
        return 0;
    }
    buffer[length] = '\0';
    char* slash = strrchr(buffer, '/');
    if (slash == NULL) {
        return 0;
    }
    slash[1] = '\0';
    return 1;
}

const char* HostPluginFileName(void) {
    return "Velmora.so";
}

const char* HostDriverFileName(void) {
    return "libiweardrv.so";
}

int HostSetEnvironment(const char* name, const char* value) {
    return setenv(name, value, 1) == 0;
}

int HostStdoutIsTerminal(void) {
    return isatty(STDOUT_FILENO);
}

int HostEnableAnsiOutput(void) {
    /* Every terminal a POSIX system offers understands the few sequences the tools use. */
    return 1;
}

void HostHoldOwnConsoleWindow(void) {
    /* A terminal outlives the programs run in it. */
}

void HostShowUtf8Output(void) {
    /* A terminal here takes UTF-8 as the locale says; nothing to switch. */
}
