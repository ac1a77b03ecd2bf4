// The debug assertion: the test build checks invariants and stops on a broken one, naming it.
#include "core/zq_assert.h"

#include <gtest/gtest.h>

namespace {

TEST(ZqAssertDeathTest, ABrokenInvariantStopsTheProgramNamingConditionReasonAndPlace) {
    const int queued = 3;
    EXPECT_DEATH(ZQ_ASSERT(queued < 2, "a get never fills the buffer's last byte"),
                 "assertion failed: queued < 2 \\(a get never fills the buffer's last byte\\) "
                 "at .*zq_assert_test\\.cpp:[0-9]+");
}

TEST(ZqAssert, AHoldingInvariantEvaluatesItsConditionOnceAndGoesOn) {
    int evaluated = 0;
    ZQ_ASSERT(++evaluated == 1, "evaluated once");
    EXPECT_EQ(evaluated, 1);
}

}  // namespace
