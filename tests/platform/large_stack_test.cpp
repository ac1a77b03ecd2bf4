// Work run on a large stack of its own: deeper than the thread's stack allows, exceptions
// come back to the caller, and work already on it runs in place.
#include "platform/large_stack.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Uses about 4 KiB of stack per level; the buffer keeps the compiler from folding the
// recursion into a loop.
size_t Descend(size_t levels) {
    volatile char buffer[4096];
    buffer[0] = static_cast<char>(levels);
    buffer[sizeof buffer - 1] = buffer[0];
    if (levels == 0) return static_cast<size_t>(buffer[sizeof buffer - 1] == 0);
    return Descend(levels - 1) + 1;
}

struct Deep {
    platform::LargeStack* stack;
    size_t levels;
    size_t result = 0;
    size_t roomAtStart = 0;
    size_t roomNested = 0;
    bool nestedActive = false;
};

TEST(LargeStack, RunsRecursionDeeperThanTheThreadStack) {
    platform::LargeStack stack(96u << 20);
    ASSERT_GE(stack.Size(), 96u << 20);
    // 8192 levels of 4 KiB: 32 MiB, four times the usual 8 MiB thread stack.
    Deep deep{&stack, 8192};
    stack.Run(
        [](void* p) {
            auto* d = static_cast<Deep*>(p);
            d->roomAtStart = d->stack->RoomBelow(__builtin_frame_address(0), 0);
            d->result = Descend(d->levels);
            // Work already on the stack runs in place, further down the same stack.
            d->stack->Run(
                [](void* q) {
                    auto* e = static_cast<Deep*>(q);
                    e->roomNested = e->stack->RoomBelow(__builtin_frame_address(0), 0);
                    e->nestedActive = e->stack->Active();
                },
                d);
        },
        &deep);
    EXPECT_EQ(deep.result, 8193u);
    EXPECT_GT(deep.roomAtStart, (96u << 20) - 65536);
    EXPECT_LT(deep.roomNested, deep.roomAtStart);
    EXPECT_GT(deep.roomNested, 0u);
    EXPECT_TRUE(deep.nestedActive);
    EXPECT_FALSE(stack.Active());
    // Not on the stack: the fallback.
    EXPECT_EQ(stack.RoomBelow(__builtin_frame_address(0), 7), 7u);
}

TEST(LargeStack, AnExceptionComesBackToTheCaller) {
    platform::LargeStack stack(1u << 20);
    EXPECT_THROW(stack.Run([](void*) { throw std::runtime_error("out"); }, nullptr),
                 std::runtime_error);
    EXPECT_FALSE(stack.Active());
    // The stack is usable again afterwards.
    int ran = 0;
    stack.Run([](void* p) { ++*static_cast<int*>(p); }, &ran);
    EXPECT_EQ(ran, 1);
}

}  // namespace
