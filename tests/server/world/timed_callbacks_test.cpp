// Per-object timed callbacks, pulse by pulse: due order, deletion by an action, removal
// while firing, the script trigger "callback", and the save text.
#include "server/world/timed_callbacks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../script/fake_world.h"
#include "../../script/script_runtime_fixture.h"
#include "script/runtime/triggers.h"

namespace {

std::vector<std::string> gRan;

void Record9(CBaseObject* o, s32 key, const char*) {
    gRan.push_back("9:" + std::to_string(FakeWorld::Obj(o)->serial) + ":" + std::to_string(key));
}
// Action 12 here: takes away the object's other callbacks of action 9, key 2.
void Remover12(CBaseObject* o, s32, const char*) {
    RemoveCallback(FakeWorld::Obj(o)->callbacks, 9, 2);
    gRan.push_back("12");
}

class Callbacks : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        gRan.clear();
        old9 = SetCallbackAction(9, Record9);
        old12 = SetCallbackAction(12, Remover12);
    }
    void TearDown() override {
        SetCallbackAction(9, old9);
        SetCallbackAction(12, old12);
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        RunAllCallbacks();  // drops the pending entries of the deleted objects
        manager.FreeReleasedInstances();
        ScriptRuntimeTest::TearDown();
    }
    TimedCallback*& Head(u32 serial) { return world.objects.at(serial)->callbacks; }

    FakeWorld world;
    CallbackAction old9 = nullptr;
    CallbackAction old12 = nullptr;
};

TEST_F(Callbacks, ACallbackOfNTicksRunsOnTheNPlusFirstPulse) {
    world.Add(1);
    ASSERT_NE(ScheduleCallback(2, 1, 9, 7, nullptr), nullptr);
    RunAllCallbacks();
    RunAllCallbacks();
    EXPECT_TRUE(gRan.empty());
    RunAllCallbacks();
    EXPECT_EQ(gRan, std::vector<std::string>{"9:1:7"});
    EXPECT_EQ(Head(1), nullptr);
    RunAllCallbacks();
    EXPECT_EQ(PendingCallbackObjects(), 0);
    EXPECT_EQ(ScheduleCallback(0, 99, 9, 0, nullptr), nullptr);  // no such object
}

TEST_F(Callbacks, ZeroTicksDeleteTheObjectAtTheNextPulse) {
    world.Add(1);
    ScheduleCallback(0, 1, 1, 0, nullptr);
    RunAllCallbacks();
    EXPECT_EQ(world.FindBySerial(1), nullptr);
}

TEST_F(Callbacks, SchedulingTheSameActionAndKeyKeepsOnlyTheSecond) {
    world.Add(1);
    ScheduleCallback(5, 1, 9, 3, nullptr);
    ScheduleCallback(0, 1, 9, 3, nullptr);
    EXPECT_EQ(Head(1)->next, nullptr);
    RunAllCallbacks();
    RunAllCallbacks();
    EXPECT_EQ(gRan, std::vector<std::string>{"9:1:3"});
}

TEST_F(Callbacks, AnActionThatDeletesTheObjectStopsItsOtherDueCallbacks) {
    world.Add(1);
    AddCallback(Head(1), 1, 0, 9, 1, nullptr);
    AddCallback(Head(1), 1, 0, 1, 0, nullptr);  // newest first: the deletion runs first
    EXPECT_EQ(RunCallbacks(world.FindBySerial(1)), 0);
    EXPECT_EQ(world.FindBySerial(1), nullptr);
    EXPECT_TRUE(gRan.empty());
}

TEST_F(Callbacks, RemovalWhileFiringAndDueOrder) {
    world.Add(1);
    AddCallback(Head(1), 1, 5, 9, 2, nullptr);  // not due; removed by action 12
    AddCallback(Head(1), 1, 0, 9, 1, nullptr);
    AddCallback(Head(1), 1, 0, 12, 0, nullptr);
    EXPECT_EQ(RunCallbacks(world.FindBySerial(1)), 2);
    EXPECT_EQ(gRan, (std::vector<std::string>{"12", "9:1:1"}));
    EXPECT_EQ(Head(1), nullptr);
}

TEST_F(Callbacks, ActionFiveSendsTheScriptTriggerWithItsKey) {
    Compile({{"ticker", R"(
member int fired;
trigger callback(3) {
    fired = fired + 1;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "ticker", 0), nullptr);
    ScheduleCallback(1, 1, 5, 3, nullptr);
    ScheduleCallback(1, 1, 5, 4, nullptr);
    RunAllCallbacks();
    EXPECT_EQ(Int(world.Set(1)->scripts, "fired"), 0);
    RunAllCallbacks();
    EXPECT_EQ(Int(world.Set(1)->scripts, "fired"), 1);
}

TEST_F(Callbacks, ACallbackHandlerDeletingItsObjectStopsTheOtherDueOnes) {
    Compile({{"fuse", R"(
trigger callback(1) {
    deleteObjectNoFall(this);
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "fuse", 0), nullptr);
    AddCallback(Head(1), 1, 0, 9, 5, nullptr);
    AddCallback(Head(1), 1, 0, 5, 1, nullptr);  // newest: runs first and deletes
    RunAllCallbacks();
    EXPECT_EQ(world.FindBySerial(1), nullptr);
    EXPECT_TRUE(gRan.empty());
    manager.FreeReleasedInstances();
}

TEST_F(Callbacks, SaveTextAndReadingItBack) {
    world.Add(1);
    CStr out;
    EXPECT_FALSE(WriteCallbacks(Head(1), out));
    AddCallback(Head(1), 1, 30, 7, 0, "hello");
    EXPECT_FALSE(WriteCallbacks(Head(1), out));  // action 7 is not saved
    AddCallback(Head(1), 1, 1500, 1, 0, nullptr);
    EXPECT_TRUE(WriteCallbacks(Head(1), out));
    EXPECT_STREQ(out.CText(), "callback=1 0 1500 0");

    world.Add(2);
    EXPECT_EQ(ReadCallbacks(Head(2), 2, "5 3 10 8 0 20 0"), 2);
    ASSERT_NE(Head(2), nullptr);
    EXPECT_EQ(Head(2)->action, 8);  // read nodes go to the head: reverse order
    EXPECT_EQ(Head(2)->ticks, 20);
    EXPECT_EQ(Head(2)->next->action, 5);
    EXPECT_EQ(Head(2)->next->key, 3);
    EXPECT_EQ(Head(2)->next->ticks, 10);
    // Malformed and out-of-range input: the bad entry is skipped, the rest stops cleanly.
    world.Add(3);
    EXPECT_EQ(ReadCallbacks(Head(3), 3, "99 1 1 9 2 3 4 5"), 1);
    EXPECT_EQ(ReadCallbacks(Head(3), 3, ""), 0);
}

}  // namespace
