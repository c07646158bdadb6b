#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run when something that must always hold does not: libFuzzer reports the abort
// as a finding and keeps the input that caused it.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}
