#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant aborts, so that libFuzzer keeps the input that broke it.
[[noreturn]] inline void Fail(const char* what, const char* input = "") {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, input);
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}
