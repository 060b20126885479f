#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run like a crash when a rule does not hold, so libFuzzer keeps the
// input that broke it.
inline void require(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "rule broken: %s\n", rule);
        std::abort();
    }
}
