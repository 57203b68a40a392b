// What the fuzz targets share: a check that stops the run with the failed condition.
#pragma once

#include <cstdio>
#include <cstdlib>

// Unlike assert, stays on in every build type: a failed check is a finding.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

// Leaves a helper of the target's own out of the coverage the fuzzer steers
// by (Clang's libFuzzer builds; GCC builds only replay saved inputs).
#if defined(__clang__)
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_NO_COVERAGE
#endif
