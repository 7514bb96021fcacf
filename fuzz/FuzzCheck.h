// What the fuzz targets check with: any disagreement is a finding, so the
// target stops with the failed condition and its line.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #condition, __LINE__); \
            std::abort();                                                               \
        }                                                                               \
    } while (false)
