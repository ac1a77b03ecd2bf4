// Per-object timed callbacks, pulse by pulse: due order, deletion by an action, removal
// while firing, the script trigger "callback", the save text, the actions that are not
// built yet, and the world-side actions on real world objects.
#include "server/world/timed_callbacks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "../../script/fake_world.h"
#include "../../script/script_runtime_fixture.h"
#include "core/log_sink.h"
#include "script/language/script_value.h"
#include "script/runtime/triggers.h"
#include "world_test_support.h"

namespace {

std::vector<std::string> gRan;

void Record9(CBaseObject* o, s32 key, const char*) {
    gRan.push_back("9:" + std::to_string(FakeWorld::Obj(o)->serial) + ":" + std::to_string(key));
}
void RecordAny(CBaseObject* o, s32 key, const char*) {
    gRan.push_back("ran:" + std::to_string(FakeWorld::Obj(o)->serial) + ":" + std::to_string(key));
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

// Actions whose rules are not built yet, and what they wait for.
const int kNotBuiltActions[] = {7};

TEST_F(Callbacks, EveryActionIsEitherBuiltOrAnExplicitNotBuilt) {
    SetCallbackAction(12, old12);  // the fixture's stand-in for 12 out of the way
    for (int action = 1; action < kCallbackActions; ++action) {
        const bool waiting = std::find(std::begin(kNotBuiltActions), std::end(kNotBuiltActions),
                                       action) != std::end(kNotBuiltActions);
        EXPECT_EQ(IsCallbackActionBuilt(action), !waiting) << action;
    }
    old12 = SetCallbackAction(12, Remover12);
}

TEST_F(Callbacks, ADueCallbackOfAnActionNotBuiltIsKeptUncountedAndLoggedOnce) {
    SetCallbackAction(12, old12);
    for (int action : kNotBuiltActions) {
        SCOPED_TRACE(action);
        const u32 serial = 100 + static_cast<u32>(action);
        CBaseObject* o = world.Add(serial);
        SetCallbackAction(action, nullptr);  // a fresh "not built" log
        LogCapture log;
        ScheduleCallback(0, serial, action, 4, "some text");
        for (int pulse = 0; pulse < 3; ++pulse)
            EXPECT_EQ(RunCallbacks(o), 0);
        RunAllCallbacks();
        ASSERT_EQ(world.FindBySerial(serial), o);
        EXPECT_TRUE(HasCallback(Head(serial), action, 4));
        EXPECT_EQ(PendingCallbackObjects(), 1);  // still visited every pulse
        const std::vector<LogRecord> entries = log.FromSource("callback");
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_NE(entries[0].message.find("action " + std::to_string(action) + " is not built"),
                  std::string::npos);
        // Once the effect exists, the kept callback runs.
        SetCallbackAction(action, RecordAny);
        EXPECT_EQ(RunCallbacks(o), 1);
        EXPECT_EQ(gRan.back(), "ran:" + std::to_string(serial) + ":4");
        EXPECT_EQ(Head(serial), nullptr);
        SetCallbackAction(action, nullptr);
        world.Delete(serial);
        RunAllCallbacks();
    }
    old12 = SetCallbackAction(12, Remover12);
}

TEST_F(Callbacks, NotBuiltCallbacksKeepTheirPlaceBesideTheOnesThatRun) {
    SetCallbackAction(12, old12);
    world.Add(1);
    AddCallback(Head(1), 1, 0, 7, 1, nullptr);  // not built
    AddCallback(Head(1), 1, 0, 9, 2, nullptr);  // runs
    AddCallback(Head(1), 1, 5, 4, 3, nullptr);  // not due
    AddCallback(Head(1), 1, 0, 7, 4, nullptr);  // not built
    EXPECT_EQ(RunCallbacks(world.FindBySerial(1)), 1);
    EXPECT_EQ(gRan, std::vector<std::string>{"9:1:2"});
    std::vector<int> left;
    for (const TimedCallback* n = Head(1); n; n = n->next)
        left.push_back(n->action);
    EXPECT_EQ(left, (std::vector<int>{7, 7, 4}));
    // A deletion in the same pass frees the kept ones with the object.
    AddCallback(Head(1), 1, 0, 1, 0, nullptr);
    EXPECT_EQ(RunCallbacks(world.FindBySerial(1)), 0);
    EXPECT_EQ(world.FindBySerial(1), nullptr);
    old12 = SetCallbackAction(12, Remover12);
}

TEST_F(Callbacks, ValuelessDeletionNoEffectAndVariableRemoval) {
    struct Case {
        const char* name;
        int action;
        const char* text;
        bool valueless;
        bool deleted;
        bool variableLeft;
    } cases[] = {
        {"8 valueless", 8, nullptr, true, true, true},
        {"8 valued", 8, nullptr, false, false, true},
        {"10 no effect", 10, nullptr, true, false, true},
        {"11 named", 11, "mark", false, false, false},
        {"11 no text", 11, nullptr, false, false, true},
    };
    u32 serial = 200;
    for (const Case& c : cases) {
        ++serial;
        CBaseObject* o = world.Add(serial);
        ObjVars::Set(world.Set(serial), "mark", kTypeInt, ScriptListValue::Int(1));
        if (c.valueless) {
            // Whatever its value, the variable makes the object valueless.
            ObjVars::Set(world.Set(serial), "valueless", kTypeInt, ScriptListValue::Int(0));
        }
        AddCallback(Head(serial), serial, 0, c.action, 0, c.text);
        const int ran = RunCallbacks(o);
        EXPECT_EQ(world.FindBySerial(serial) == nullptr, c.deleted) << c.name;
        if (c.deleted) {
            EXPECT_EQ(ran, 0) << c.name;
            continue;
        }
        EXPECT_EQ(ran, 1) << c.name;
        EXPECT_EQ(Head(serial), nullptr) << c.name;
        EXPECT_EQ(ObjVars::Has(world.Set(serial), "mark", kAnyVarType), c.variableLeft) << c.name;
    }
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

namespace {

class WorldCallbacks : public WorldTest {
protected:
    void TearDown() override {
        WorldTest::TearDown();
        RunAllCallbacks();  // drops the pending entries of the deleted objects
    }
    static void SetInt(CItem* item, const char* name, int value) {
        ObjVars::Set(item->ScriptAttachments(), name, kTypeInt, ScriptListValue::Int(value));
    }
};

constexpr int kHairGraphic = 120;

TEST_F(WorldCallbacks, ACorpseEmptiesOntoTheGroundAndGoes) {
    StaticTileRecord* hair = GetTileData().MutableStatic(kHairGraphic);
    hair->flags = kTileWearable;
    hair->layer = 11;
    CCorpse* corpse = new CCorpse;
    corpse->SetType(8198);
    corpse->PlaceInWorld(Location(12, 12, 3));
    CItem* pebble = NewItem();
    pebble->AddToContainer(corpse, Location(5, 5, 0));
    CItem* bag = NewItem(kBag);
    bag->AddToContainer(corpse, Location(6, 6, 0));
    CItem* coin = NewItem();
    coin->AddToContainer(bag, Location(1, 1, 0));
    CItem* lock = NewItem(kHairGraphic);
    lock->AddToContainer(corpse, Location(7, 7, 0));
    const u32 corpseSerial = corpse->GetSerial();
    const u32 lockSerial = lock->GetSerial();
    ScheduleCallback(0, corpseSerial, 2, 0, nullptr);
    RunAllCallbacks();
    EXPECT_EQ(g_objectManager.FindBySerial(corpseSerial), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(lockSerial), nullptr);
    for (CItem* item : {pebble, bag}) {
        EXPECT_FALSE(item->IsContained());
        EXPECT_TRUE(item->GetLocation() == Location(12, 12, 3));
    }
    EXPECT_EQ(coin->GetContainer(), bag);  // what the bag holds goes with it

    // Anything but a corpse is left alone by action 2.
    CItem* chest = PlacedItem(20, 20, 0, kBag);
    CItem* inside = NewItem();
    inside->AddToContainer(chest, Location(1, 1, 0));
    ScheduleCallback(0, chest->GetSerial(), 2, 0, nullptr);
    RunAllCallbacks();
    EXPECT_EQ(inside->GetContainer(), chest);
    EXPECT_EQ(g_objectManager.FindBySerial(chest->GetSerial()), chest);
    EXPECT_EQ(chest->TimedCallbacks(), nullptr);
}

TEST_F(WorldCallbacks, ActionThirteenRemovesTheVariableAndPlacesTheObjectAgain) {
    CItem* lying = PlacedItem(10, 10, 2);
    CItem* bag = PlacedItem(11, 11, 0, kBag);
    CItem* held = NewItem();
    held->AddToContainer(bag, Location(4, 5, 0));
    struct Case {
        const char* name;
        CItem* item;
        const char* text;
        bool variableLeft;
        std::vector<std::string> packets;
    } cases[] = {
        // Taken out quietly (no removal packet), placed loudly: the players see it afresh.
        {"in the world", lying, "glow", false, {"1A " + std::to_string(lying->GetSerial())}},
        // A contained item keeps its place inside its holder.
        {"in a bag", held, "glow", false, {}},
        {"without a text", lying, nullptr, true, {}},
    };
    for (Case& c : cases) {
        SetInt(c.item, "glow", 1);
        const Location before = c.item->GetLocation();
        CItem* holder = c.item->GetContainer();
        packets.log.clear();
        ScheduleCallback(0, c.item->GetSerial(), 13, 0, c.text);
        RunAllCallbacks();
        EXPECT_EQ(ObjVars::Has(c.item->ScriptAttachments(), "glow", kAnyVarType), c.variableLeft)
            << c.name;
        EXPECT_EQ(packets.log, c.packets) << c.name;
        EXPECT_TRUE(c.item->GetLocation() == before) << c.name;
        EXPECT_EQ(c.item->GetContainer(), holder) << c.name;
        EXPECT_EQ(c.item->TimedCallbacks(), nullptr) << c.name;
    }
    EXPECT_EQ(g_sectorGrid.CellAt(10, 10)->objects, lying);
}

}  // namespace
