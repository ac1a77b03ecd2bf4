// The schedule of timed callbacks: a pulse visits only the objects that come due, yet every
// callback fires on the same pulse and in the same order as when every waiting object was
// counted down on every pulse. A reference sweep that does exactly that is driven side by
// side with the schedule through random additions, removals, deletions, detachments and
// pulses.
#include "server/world/callback_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../../script/fake_world.h"
#include "../../script/script_runtime_fixture.h"
#include "platform/random.h"
#include "server/world/timed_callbacks.h"
#include "world_test_support.h"

namespace {

std::vector<std::string> gFired;
ScriptObjectServices* gLink = nullptr;

TimedCallback*& HeadOf(u32 serial) {
    return *gLink->CallbacksOf(gLink->FindBySerial(serial));
}
void Record(CBaseObject* o, s32 key, const char*) {
    gFired.push_back(std::to_string(gLink->SerialOf(o)) + ":" + std::to_string(key));
}
// Gives the object named by the key a callback due at once.
void AddToOther(CBaseObject* o, s32 key, const char*) {
    gFired.push_back("add:" + std::to_string(key));
    AddCallback(HeadOf(static_cast<u32>(key)), static_cast<u32>(key), 0, 9,
                static_cast<s32>(gLink->SerialOf(o)), nullptr);
}
// Takes the due callback away from the object named by the key.
void RemoveFromOther(CBaseObject*, s32 key, const char*) {
    gFired.push_back("remove:" + std::to_string(key));
    RemoveCallback(HeadOf(static_cast<u32>(key)), 9, 0);
}
// Deletes the object named by the key.
void DeleteOther(CBaseObject*, s32 key, const char*) {
    gFired.push_back("delete:" + std::to_string(key));
    gLink->DeleteObject(gLink->FindBySerial(static_cast<u32>(key)));
}

constexpr int kRecord = 9;
constexpr int kAddToOther = 12;
constexpr int kRemoveFromOther = 14;
constexpr int kDeleteOther = 15;

class ScheduleTest : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        gFired.clear();
        gLink = &world;
        saved[0] = SetCallbackAction(kRecord, Record);
        saved[1] = SetCallbackAction(kAddToOther, AddToOther);
        saved[2] = SetCallbackAction(kRemoveFromOther, RemoveFromOther);
        saved[3] = SetCallbackAction(kDeleteOther, DeleteOther);
    }
    void TearDown() override {
        SetCallbackAction(kRecord, saved[0]);
        SetCallbackAction(kAddToOther, saved[1]);
        SetCallbackAction(kRemoveFromOther, saved[2]);
        SetCallbackAction(kDeleteOther, saved[3]);
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        RunAllCallbacks();  // drops the pending entries of the deleted objects
        ScriptRuntimeTest::TearDown();
    }
    TimedCallback*& Head(u32 serial) { return world.objects.at(serial)->callbacks; }
    void Add(u32 serial, s32 ticks, s32 action, s32 key) {
        AddCallback(Head(serial), serial, ticks, action, key, nullptr);
    }
    void Pulses(int n) {
        for (int i = 0; i < n; ++i)
            RunAllCallbacks();
    }

    FakeWorld world;
    CallbackAction saved[4] = {};
};

using Fired = std::vector<std::string>;

TEST_F(ScheduleTest, ACallbackRunsOnThePulseItsTicksGiveAmongObjectsThatWait) {
    // Far callbacks on many objects do not change when the near ones run.
    for (u32 serial = 100; serial < 140; ++serial) {
        world.Add(serial);
        Add(serial, 1000 + static_cast<s32>(serial), kRecord, 0);
    }
    const s32 cases[] = {-3, 0, 1, 2, 7, 40};
    for (s32 ticks : cases) {
        SCOPED_TRACE(ticks);
        world.Add(1);
        Add(1, ticks, kRecord, ticks);
        const int expected = std::max(ticks, 0) + 1;
        int pulses = 0;
        while (gFired.empty() && pulses < 100) {
            if (pulses > 0 && ticks > pulses) {
                EXPECT_EQ(CallbackTicksLeft(*Head(1)), ticks - pulses);
            }
            RunAllCallbacks();
            ++pulses;
        }
        EXPECT_EQ(pulses, expected);
        EXPECT_EQ(gFired, Fired{"1:" + std::to_string(ticks)});
        gFired.clear();
        world.Delete(1);
    }
}

TEST_F(ScheduleTest, EqualDueTimesRunInTheOrderTheObjectsJoined) {
    for (u32 serial : {9u, 3u, 5u})
        world.Add(serial);
    Add(9, 2, kRecord, 1);
    Add(3, 2, kRecord, 2);
    Add(5, 2, kRecord, 3);
    Add(9, 2, kRecord, 4);  // newest first within its object
    Pulses(3);
    EXPECT_EQ(gFired, (Fired{"9:4", "9:1", "3:2", "5:3"}));
    gFired.clear();
    RunAllCallbacks();  // the emptied objects leave the pending order
    EXPECT_EQ(PendingCallbackObjects(), 0);

    Add(9, 5, kRecord, 1);
    Add(3, 5, kRecord, 2);
    Add(5, 5, kRecord, 3);
    // Emptied and given a callback again before a pulse: 9 keeps its place.
    RemoveCallback(Head(9), kRecord, 1);
    Add(9, 5, kRecord, 1);
    // Emptied across a pulse: 3 leaves and joins again at the end.
    RemoveCallback(Head(3), kRecord, 2);
    RunAllCallbacks();
    Add(3, 4, kRecord, 2);
    Pulses(4);
    EXPECT_TRUE(gFired.empty());
    RunAllCallbacks();
    EXPECT_EQ(gFired, (Fired{"9:1", "5:3", "3:2"}));
}

TEST_F(ScheduleTest, CallbacksAddedOrRemovedDuringAPulse) {
    for (u32 serial : {1u, 2u, 3u, 4u, 5u})
        world.Add(serial);
    Add(1, 100, kRecord, 1);  // 1, 3 and 5 wait: they were pending when the pulse began
    Add(2, 0, kAddToOther, 4);
    Add(2, 0, kAddToOther, 1);
    Add(2, 0, kAddToOther, 3);
    Add(2, 0, kRemoveFromOther, 5);
    Add(3, 100, kRecord, 3);
    Add(5, 0, kRecord, 0);
    RunAllCallbacks();
    // 2's newest first. 3's turn has not come: its new callback runs in this pulse; 1's turn
    // has passed and 4 was not pending: theirs run in the next. 5's was taken away.
    EXPECT_EQ(gFired, (Fired{"remove:5", "add:3", "add:1", "add:4", "3:2"}));
    gFired.clear();
    RunAllCallbacks();
    EXPECT_EQ(gFired, (Fired{"1:2", "4:2"}));
    EXPECT_EQ(CallbackTicksLeft(*Head(1)), 98);
    EXPECT_EQ(CallbackTicksLeft(*Head(3)), 98);
}

TEST_F(ScheduleTest, ObjectsDeletedInACallbackLeaveTheSchedule) {
    for (u32 serial : {1u, 2u, 3u})
        world.Add(serial);
    Add(1, 1, kDeleteOther, 2);
    Add(2, 1, kRecord, 2);   // due in the same pulse, after 1's turn: never runs
    Add(3, 1, kRecord, 3);
    Add(3, 1, 1, 0);         // newest: deletes 3 before its other due callback
    Pulses(2);
    EXPECT_EQ(gFired, Fired{"delete:2"});
    EXPECT_EQ(world.FindBySerial(2), nullptr);
    EXPECT_EQ(world.FindBySerial(3), nullptr);
    RunAllCallbacks();
    EXPECT_EQ(PendingCallbackObjects(), 0);
    // A new object with a serial used before starts afresh.
    world.Add(3);
    Add(3, 0, kRecord, 7);
    RunAllCallbacks();
    EXPECT_EQ(gFired, (Fired{"delete:2", "3:7"}));
}

TEST_F(ScheduleTest, ADetachedObjectsCountdownStandsStill) {
    world.Add(1);
    world.Add(2);
    Add(1, 3, kRecord, 1);
    Add(2, 3, kRecord, 2);
    RunAllCallbacks();  // 1 is at 2
    world.SetDetached(1, true);
    Pulses(10);
    EXPECT_EQ(gFired, Fired{"2:2"});
    EXPECT_EQ(CallbackTicksLeft(*Head(1)), 2);
    CStr text;
    ASSERT_TRUE(WriteCallbacks(Head(1), text));
    EXPECT_STREQ(text.CText(), "callback=9 1 2 0");
    EXPECT_EQ(PendingCallbackObjects(), 1);  // a detached object stays pending
    world.SetDetached(1, false);
    Pulses(2);
    EXPECT_EQ(gFired, Fired{"2:2"});
    RunAllCallbacks();
    EXPECT_EQ(gFired, (Fired{"2:2", "1:1"}));
}

TEST_F(ScheduleTest, TheSaveTextCarriesTheTicksLeftAndReadsBackToTheSamePulse) {
    world.Add(1);
    Add(1, 10, kRecord, 4);
    Pulses(4);
    CStr text;
    ASSERT_TRUE(WriteCallbacks(Head(1), text));
    EXPECT_STREQ(text.CText(), "callback=9 4 6 0");
    world.Add(2);
    ASSERT_EQ(ReadCallbacks(Head(2), 2, text.CText() + 9), 1);
    Pulses(6);
    EXPECT_TRUE(gFired.empty());
    RunAllCallbacks();
    EXPECT_EQ(gFired, (Fired{"1:4", "2:4"}));
}

TEST_F(ScheduleTest, TheLongestCountdownNeitherOverflowsNorFires) {
    world.Add(1);
    Add(1, INT_MAX, kRecord, 0);
    Add(1, INT_MIN, kRecord, 1);  // long overdue: runs at the next pulse
    Pulses(3);
    EXPECT_EQ(gFired, Fired{"1:1"});
    EXPECT_EQ(CallbackTicksLeft(*Head(1)), INT_MAX - 3);
}

// A world that counts its lookups by serial.
class CountingWorld : public FakeWorld {
public:
    CBaseObject* FindBySerial(u32 serial) override {
        ++lookups;
        return FakeWorld::FindBySerial(serial);
    }
    int lookups = 0;
};

class ScheduleCost : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        gFired.clear();
        gLink = &world;
        saved = SetCallbackAction(kRecord, Record);
    }
    void TearDown() override {
        SetCallbackAction(kRecord, saved);
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        RunAllCallbacks();
        ScriptRuntimeTest::TearDown();
    }
    CountingWorld world;
    CallbackAction saved = nullptr;
};

TEST_F(ScheduleCost, APulseLooksUpOnlyTheObjectsThatComeDue) {
    for (u32 serial = 1; serial <= 2000; ++serial) {
        world.Add(serial);
        AddCallback(world.objects.at(serial)->callbacks, serial, serial == 7 ? 1 : 500, kRecord,
                    0, nullptr);
    }
    world.lookups = 0;
    RunAllCallbacks();
    EXPECT_LE(world.lookups, 4);
    RunAllCallbacks();
    EXPECT_EQ(gFired, Fired{"7:0"});
    EXPECT_LE(world.lookups, 12);
}

// The countdown as it was: every pending object visited and counted down on every pulse.
class ReferenceSweep {
public:
    struct Node {
        s32 ticks;
        s32 action;
        s32 key;
    };
    struct Object {
        std::vector<Node> nodes;  // newest first
        bool detached = false;
    };

    void Add(u32 serial, s32 ticks, s32 action, s32 key) {
        Object& o = objects.at(serial);
        if (o.nodes.empty() && members.insert(serial).second) pending.push_back(serial);
        o.nodes.insert(o.nodes.begin(), Node{ticks, action, key});
    }
    void Remove(u32 serial, s32 action, s32 key) {
        auto& nodes = objects.at(serial).nodes;
        nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                                   [&](const Node& n) {
                                       return n.action == action && n.key == key;
                                   }),
                    nodes.end());
    }
    void Pulse() {
        std::vector<u32> run;
        std::deque<u32> kept;
        for (u32 serial : pending) {
            const auto it = objects.find(serial);
            if (it != objects.end() && !it->second.nodes.empty()) {
                run.push_back(serial);
                kept.push_back(serial);
            } else {
                members.erase(serial);
            }
        }
        pending.swap(kept);
        for (u32 serial : run)
            Visit(serial);
    }

    std::map<u32, Object> objects;
    std::deque<u32> pending;
    std::set<u32> members;
    std::vector<std::string> fired;

private:
    void Visit(u32 serial) {
        const auto it = objects.find(serial);
        if (it == objects.end() || it->second.detached) return;
        std::vector<Node> due;
        std::vector<Node> rest;
        for (Node n : it->second.nodes) {
            if (n.ticks <= 0) {
                due.push_back(n);
            } else {
                --n.ticks;
                rest.push_back(n);
            }
        }
        it->second.nodes = rest;
        for (const Node& n : due) {
            if (n.action == 1) {
                objects.erase(it);
                return;
            }
            fired.push_back(std::to_string(serial) + ":" + std::to_string(n.key));
        }
    }
};

TEST_F(ScheduleTest, MatchesTheReferenceSweepThroughRandomWork) {
    const u32 seeds[] = {1, 2, 3, 4};
    for (u32 seed : seeds) {
        SCOPED_TRACE(seed);
        platform::SeedRandom(seed);
        ReferenceSweep ref;
        gFired.clear();
        auto roll = [](int n) { return platform::Rand() % n; };
        for (int step = 0; step < 4000; ++step) {
            const u32 serial = 1 + static_cast<u32>(roll(12));
            const bool exists = world.objects.count(serial) != 0;
            const int what = roll(20);
            if (!exists) {
                world.Add(serial);
                ref.objects[serial] = {};
            } else if (what < 7) {
                const s32 ticks = roll(8) - 1;
                const s32 action = roll(12) == 0 ? 1 : kRecord;
                const s32 key = roll(4);
                Add(serial, ticks, action, key);
                ref.Add(serial, ticks, action, key);
            } else if (what < 9) {
                const s32 key = roll(4);
                RemoveCallback(Head(serial), kRecord, key);
                ref.Remove(serial, kRecord, key);
            } else if (what < 10) {
                world.Delete(serial);
                ref.objects.erase(serial);
            } else if (what < 12) {
                const bool out = !world.objects.at(serial)->detached;
                world.SetDetached(serial, out);
                ref.objects.at(serial).detached = out;
            } else {
                RunAllCallbacks();
                ref.Pulse();
            }
            ASSERT_EQ(gFired, ref.fired) << "step " << step;
            ASSERT_EQ(world.objects.size(), ref.objects.size()) << "step " << step;
            ASSERT_EQ(PendingCallbackObjects(), static_cast<int>(ref.pending.size()))
                << "step " << step;
            for (const auto& [s, o] : ref.objects) {
                std::vector<std::string> have;
                std::vector<std::string> want;
                for (const TimedCallback* n = Head(s); n; n = n->next)
                    have.push_back(std::to_string(n->action) + "/" + std::to_string(n->key) +
                                   "/" + std::to_string(CallbackTicksLeft(*n)));
                for (const ReferenceSweep::Node& n : o.nodes)
                    want.push_back(std::to_string(n.action) + "/" + std::to_string(n.key) + "/" +
                                   std::to_string(n.ticks));
                ASSERT_EQ(have, want) << "step " << step << " object " << s;
            }
        }
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        RunAllCallbacks();
    }
}

// On real world objects: out of the world or out of the serial index, the countdown stands.
class WorldSchedule : public WorldTest {
protected:
    void TearDown() override {
        WorldTest::TearDown();
        RunAllCallbacks();
    }
};

TEST_F(WorldSchedule, ATakenAwayOrSuspendedObjectWaitsAndGoesOnWhenBack) {
    struct Case {
        const char* name;
        bool suspend;  // else taken out of the world
    } cases[] = {{"taken away", false}, {"suspended", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CItem* item = PlacedItem(10, 10, 0);
        const u32 serial = item->GetSerial();
        ScheduleCallback(3, serial, 1, 0, nullptr);  // deletes itself when due
        RunAllCallbacks();
        RunAllCallbacks();  // at 1
        if (c.suspend) {
            SuspendObjectTree(item);
        } else {
            item->RemoveFromWorld();
        }
        for (int i = 0; i < 20; ++i)
            RunAllCallbacks();
        if (c.suspend) {
            ResumeObjectTree(item);
        } else {
            item->PlaceInWorld(Location(10, 10, 0));
        }
        ASSERT_EQ(g_objectManager.FindBySerial(serial), item);
        RunAllCallbacks();  // 1 to 0
        EXPECT_EQ(g_objectManager.FindBySerial(serial), item);
        RunAllCallbacks();
        EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    }
}

}  // namespace
