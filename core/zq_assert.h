#pragma once
// ZQ_ASSERT(condition, why): an invariant of our own code, one that no input can break (input
// from outside is checked and refused where it arrives, never asserted). Debug builds and the
// test build check it and stop the program naming the condition, the reason and the place;
// release builds (NDEBUG) compile it to nothing and do not evaluate the condition.
#ifdef NDEBUG
#define ZQ_ASSERT(condition, why) static_cast<void>(sizeof(!(condition)))
#else
#define ZQ_ASSERT(condition, why) \
    ((condition) ? static_cast<void>(0) : ZqAssertFailed(#condition, why, __FILE__, __LINE__))
#endif

// Writes "assertion failed: <condition> (<why>) at <file>:<line>" to standard error and
// aborts.
[[noreturn]] void ZqAssertFailed(const char* condition, const char* why, const char* file,
                                 int line);
