#pragma once

#include "kernel32.h"

// Polls `condition` every 20 ms until it holds or `milliseconds` have passed; the last answer.
template <class Condition>
bool WaitFor(Condition condition, unsigned long milliseconds) {
    const unsigned long start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) {
            return condition();
        }
        Sleep(20);
    }
    return true;
}
