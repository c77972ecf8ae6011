#include <windows.h>

// Loading and unloading do no work: the descriptor's name is composed by static initialisation
// and everything else waits for the host's calls.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
