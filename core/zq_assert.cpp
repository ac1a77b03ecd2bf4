#include "core/zq_assert.h"

#include <cstdio>
#include <cstdlib>

void ZqAssertFailed(const char* condition, const char* why, const char* file, int line) {
    std::fprintf(stderr, "assertion failed: %s (%s) at %s:%d\n", condition, why, file, line);
    std::fflush(stderr);
    std::abort();
}
