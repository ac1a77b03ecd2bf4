// The debug assertion as a release build compiles it: nothing is checked and the condition
// is not evaluated (this file sees the header as NDEBUG builds do).
#include <gtest/gtest.h>

#ifndef NDEBUG
#define NDEBUG
#endif
#include "core/zq_assert.h"

namespace {

TEST(ZqAssertRelease, TheConditionIsNeitherEvaluatedNorChecked) {
    int evaluated = 0;
    ZQ_ASSERT(++evaluated == 5, "not evaluated in release builds");
    EXPECT_EQ(evaluated, 0);
}

}  // namespace
