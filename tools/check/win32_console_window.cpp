#include <windows.h>

#include <cstdio>

#include "console_window.h"

namespace velmora::check {

void HoldOwnConsoleWindow() {
    // A console opened from a command prompt lists the prompt too; one made for this program
    // lists it alone.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        std::fputs("\nPress Enter to close this window.", stdout);
        std::fflush(stdout);
        std::getchar();
    }
}

}  // namespace velmora::check
