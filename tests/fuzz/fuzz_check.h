// The one check of the property fuzzers: a broken property ends the run
// with its text, and libFuzzer keeps the input that broke it.
#pragma once
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(cond)                                                   \
    do {                                                                     \
        if (!(cond)) {                                                       \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                    \
        }                                                                    \
    } while (0)
