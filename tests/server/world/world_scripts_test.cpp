// Scripts on real world objects: the world's trigger calls reach the handlers, a handler
// deleting its own item, range and speech selection, destruction freeing variables,
// scripts and callbacks, callbacks run by the world tick's step.
#include <gtest/gtest.h>

#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_model_services.h"
#include "server/world/world_script_link.h"
#include "world_scripts_fixture.h"

namespace {

// The real world's services and the builtins bound as at start-up.
class WorldScripts : public WorldScriptsTest {};

TEST_F(WorldScripts, AHandlerDeletingItsItemStopsThere) {
    Compile({{"bomb", R"(
member int after;
trigger equip {
    deleteObjectNoFall(this);
    after = 1;
    return 1;
}
)"}});
    CItem* item = PlacedItem(10, 10, 0);
    const u32 serial = item->GetSerial();
    ASSERT_EQ(AttachScript(item, "bomb", 0), nullptr);
    CScriptInstance* in = First(item);
    TriggerArgs args;
    args.serial = 77;
    EXPECT_EQ(GetTriggerServices().SendTrigger(item, kTriggerEquip, args),
              0);  // killed: its default, 0
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    EXPECT_TRUE(in->IsTornDown());
    EXPECT_EQ(MemberInt(in, "after"), 0);
    GetScriptManager().FreeReleasedInstances();
}

TEST_F(WorldScripts, RangeTriggersFireOnCrossingTheirRange) {
    Compile({{"watch", R"(
member int entered;
member int left;
trigger enterrange(3) {
    entered++;
    return 1;
}
trigger leaverange(3) {
    left++;
    return 1;
}
)"}});
    CItem* item = PlacedItem(10, 10, 0);
    ASSERT_EQ(AttachScript(item, "watch", 0), nullptr);
    CScriptInstance* in = First(item);
    auto step = [&](int trigger, int fromX, int toX) {
        TriggerArgs args;
        args.value = 3;
        args.serial = 5;
        args.a = Location(fromX, 10, 0);
        args.b = Location(toX, 10, 0);
        GetTriggerServices().SendTrigger(item, trigger, args);
    };
    step(16, 14, 13);
    step(16, 13, 12);
    EXPECT_EQ(MemberInt(in, "entered"), 1);
    step(17, 12, 13);
    step(17, 13, 14);
    EXPECT_EQ(MemberInt(in, "left"), 1);
    std::vector<int> ranges;
    GetTriggerServices().GetHandlerRanges(item, 16, ranges);
    EXPECT_EQ(ranges, std::vector<int>{3});
}

TEST_F(WorldScripts, ATriggerOfTwoObjectsGetsBothTheUserAndTheObjectUsedOn) {
    Compile({{"aim", R"(
member obj who;
member obj what;
trigger targetobj {
    who = user;
    what = usedon;
    return 1;
}
)"}});
    CItem* item = PlacedItem(10, 10, 0);
    ASSERT_EQ(AttachScript(item, "aim", 0), nullptr);
    TriggerArgs args;
    args.serial = 5;
    args.other = 9;
    GetTriggerServices().SendTrigger(item, kTriggerTargetObj, args);
    EXPECT_EQ(MemberInt(First(item), "who"), 5);
    EXPECT_EQ(MemberInt(First(item), "what"), 9);
}

TEST_F(WorldScripts, SpeechReachesScriptedListenersWhosePatternMatches) {
    Compile({{"ear", R"(
member int heard;
trigger speech("*hello*") {
    heard++;
    return 1;
}
)"}});
    CItem* near = PlacedItem(10, 10, 0);
    CItem* plain = PlacedItem(11, 10, 0);
    ASSERT_EQ(AttachScript(near, "ear", 0), nullptr);
    EXPECT_TRUE(GetTriggerServices().HasAttachedScript(near));
    EXPECT_FALSE(GetTriggerServices().HasAttachedScript(plain));
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(nullptr, Location(12, 10, 0), "Hello there", 8), 1);
    EXPECT_EQ(g_objectManager.SendSpeechTrigger(nullptr, Location(12, 10, 0), "bye", 8), 1);
    EXPECT_EQ(MemberInt(First(near), "heard"), 1);
}

TEST_F(WorldScripts, DestroyingAnItemFreesItsVariablesScriptsAndCallbacks) {
    Compile({{"plain", "member string name;\nmember list things;\n"}});
    CItem* item = PlacedItem(10, 10, 0);
    const u32 serial = item->GetSerial();
    ASSERT_EQ(AttachScript(item, "plain", 0), nullptr);
    const CStr text("value");
    SetObjectVariable(item, "v", kTypeString, ScriptListValue::Ptr(&text));
    ASSERT_NE(ScheduleCallback(10, serial, 9, 0, "text"), nullptr);
    item->DeleteSelf();
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    EXPECT_EQ(GetScriptManager().ReleasedInstanceCount(), 1);
    RunAllCallbacks();  // the pending entry of the gone item is dropped
    EXPECT_EQ(PendingCallbackObjects(), 0);
}

TEST_F(WorldScripts, CallbacksRunFromTheWorldTickStep) {
    Compile({{"ticker", R"(
member int fired;
trigger callback(2) {
    fired++;
    return 1;
}
)"}});
    CItem* item = PlacedItem(10, 10, 0);
    ASSERT_EQ(AttachScript(item, "ticker", 0), nullptr);
    ScheduleCallback(0, item->GetSerial(), 5, 2, nullptr);
    WorldModelServices services;
    services.RunAllCallbacks();
    EXPECT_EQ(MemberInt(First(item), "fired"), 1);
}

}  // namespace

namespace {

TEST_F(WorldScripts, SortListOrdersObjectsByTheirTileMiscWord) {
    // sortList's object mode asks the world for a key: the low 16 bits of the tile value.
    GetTileData().MutableStatic(kPlainItem)->value = 0x70005;
    GetTileData().MutableStatic(kTable)->value = 3;
    CItem* pebble = PlacedItem(10, 10, 0);
    CItem* table = g_objectManager.CreateItem(kTable);
    ASSERT_NE(table, nullptr);
    ScriptObjectServices& objects = GetScriptObjectServices();
    ASSERT_EQ(&objects, &WorldScriptObjectServices());
    int k = -1;
    EXPECT_TRUE(objects.SortKeyOf(pebble->GetSerial(), k));
    EXPECT_EQ(k, 5);
    EXPECT_TRUE(objects.SortKeyOf(table->GetSerial(), k));
    EXPECT_EQ(k, 3);
    EXPECT_FALSE(objects.SortKeyOf(0x7FFFFFF0u, k));  // no such object: the pair compares equal
}

}  // namespace
