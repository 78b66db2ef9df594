#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target asserts. A broken property aborts, so libFuzzer
// keeps the input as a crash and the corpus replay test fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
