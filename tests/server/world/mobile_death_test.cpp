// The death of a creature: its corpse and the corpse's name, the death packet, the death
// triggers and their vetoes, what the corpse takes of resources, equipment and contents,
// everyone forgetting the dead, and the corpse rotting away; handlers deleting the corpse or
// the mobile at every script call.
#include <gtest/gtest.h>

#include <string>

#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/triggers.h"
#include "server/world/object_templates.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/timed_callbacks.h"
#include "world_scripts_fixture.h"
#include "world_test_support.h"
#include "server/world/guard.h"
#include "server/world/npc.h"

namespace {

constexpr int kCorpse = 8198;

class MobileDeathTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        // A sword has a look of its own when worn; a pebble has none.
        GetTileData().MutableStatic(kSword)->animation = 5;
        for (const char* name : {"meat", "CARNIVOREMEAT", "good", "evil", "hide"}) {
            auto* t = new CResourceType;
            t->SetInternalName(name);
            t->SetNumber(GetResourceTypes().AllocNumber());
            GetResourceTypes().Add(t);
        }
    }
    void TearDown() override {
        g_templateTable.UnloadTemplates();
        WorldTest::TearDown();
    }
    static int Type(const char* name) { return GetResourceTypes().FindNumber(name); }
    static s32 Held(const CCountedObject* object, const char* name) {
        const ResourceEntry* e = object->FindResource(Type(name), kResourceHeld);
        return e ? e->amounts[2] : -1;
    }
    CNPC* Creature(int body, int x = 10, int y = 10) {
        auto* npc = new CNPC;
        npc->SetBodyType(body);
        npc->PlaceInWorld(Location(x, y, 0));
        return npc;
    }
    CItem* Wear(CMobile* mobile, int graphic, int layer) {
        CItem* item = NewItem(graphic);
        EXPECT_TRUE(item->EquipOn(mobile, layer));
        return item;
    }
    // The corpse lying at the place, or null.
    static CCorpse* CorpseAt(int x, int y) {
        for (CItem* o = g_sectorGrid.CellAt(x, y)->objects; o; o = o->GetNextSibling()) {
            if (o->IsCorpse() && o->GetLocation().x == x && o->GetLocation().y == y)
                return static_cast<CCorpse*>(o);
        }
        return nullptr;
    }
    static std::string LookAtText(CItem* corpse) {
        const CStr* text = ObjVars::GetString(corpse->ScriptAttachments(), "lookAtText");
        return text ? text->CText() : "";
    }
};

TEST_F(MobileDeathTest, ACreatureLeavesACorpseWithItsLookAndBelongings) {
    CNPC* wolf = Creature(225);
    wolf->SetHue(44);
    wolf->SetDirection(0x83);
    wolf->SetSoundId(CMobile::kSoundDie, 0x2A0);
    CItem* sword = Wear(wolf, kSword, 1);
    CItem* pebble = Wear(wolf, kPlainItem, 2);
    CItem* pack = Wear(wolf, kBag, 21);
    CItem* loot = NewItem(kValued);
    ASSERT_TRUE(loot->AddToContainer(pack, Location(30, 30, 0)));
    const u32 pebbleSerial = pebble->GetSerial();
    const u32 lootSerial = loot->GetSerial();
    packets.log.clear();

    wolf->Die(nullptr, 1);

    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(corpse->GetType(), kCorpse);
    EXPECT_EQ(corpse->GetCorpseType(), 225);
    EXPECT_EQ(corpse->GetDirection(), 0x83);
    EXPECT_EQ(corpse->GetHue(), 44);
    EXPECT_EQ(packets.With("54"), std::vector<std::string>{"54 672 10,10"});
    // The facing's 0x80 bit makes the flag 1.
    EXPECT_EQ(packets.With("AF"),
              std::vector<std::string>{"AF " + std::to_string(wolf->GetSerial()) + " " +
                                       std::to_string(corpse->GetSerial()) + " 1 10,10"});
    // Shown once more at the end with what it holds.
    EXPECT_FALSE(packets.With("89 " + std::to_string(corpse->GetSerial())).empty());
    EXPECT_EQ(sword->GetContainer(), corpse);
    EXPECT_EQ(corpse->worn[1], sword);
    EXPECT_EQ(g_objectManager.FindBySerial(pebbleSerial), nullptr);
    // A bag that is not a pack goes whole; it has no look of its own and is destroyed.
    EXPECT_EQ(wolf->GetLayer(21), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(lootSerial), nullptr);
    // The mobile itself stays.
    EXPECT_EQ(g_objectManager.FindBySerial(wolf->GetSerial()), wolf);
    EXPECT_EQ(triggers.TriggersFor(wolf->GetSerial()).back(), kTriggerDeath);
    EXPECT_EQ(triggers.TriggersFor(corpse->GetSerial()), std::vector<int>{kTriggerDeath});
    // Taking the sword out of the corpse leaves its slot empty.
    sword->RemoveFromWorld();
    EXPECT_EQ(corpse->worn[1], nullptr);
    sword->DeleteSelf();
}

TEST_F(MobileDeathTest, APackIsEmptiedIntoTheCorpseBeforeItGoes) {
    GetTileData().MutableStatic(439)->flags = kTileContainer;
    CNPC* orc = Creature(17);
    CItem* pack = Wear(orc, 439, 21);
    CItem* loot = NewItem(kValued);
    ASSERT_TRUE(loot->AddToContainer(pack, Location(30, 30, 0)));
    CItem* carried = NewItem(kPlainItem);
    ASSERT_TRUE(carried->AddToContainer(orc, Location(1, 1, 0)));
    const u32 packSerial = pack->GetSerial();
    orc->Die(nullptr, 1);
    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(loot->GetContainer(), corpse);
    EXPECT_EQ(carried->GetContainer(), corpse);
    EXPECT_EQ(g_objectManager.FindBySerial(packSerial), nullptr);
}

TEST_F(MobileDeathTest, Body15LeavesNoCorpseAndDropsWhatHasALook) {
    CNPC* spirit = Creature(15, 20, 21);
    CItem* sword = Wear(spirit, kSword, 1);
    CItem* pebble = Wear(spirit, kPlainItem, 2);
    const u32 pebbleSerial = pebble->GetSerial();
    spirit->AddResource(Type("hide"), kResourceHeld, 2, 0, 2);
    spirit->Die(nullptr, 1);
    EXPECT_EQ(packets.With("AF"), std::vector<std::string>{
                                      "AF " + std::to_string(spirit->GetSerial()) + " 0 0 20,21"});
    EXPECT_EQ(CorpseAt(20, 21), nullptr);
    EXPECT_EQ(sword->GetContainer(), nullptr);
    EXPECT_FALSE(sword->IsDetached());
    EXPECT_EQ(sword->GetLocation(), Location(20, 21, 0));
    EXPECT_EQ(g_objectManager.FindBySerial(pebbleSerial), nullptr);
    // Without a corpse the resources stay.
    EXPECT_EQ(Held(spirit, "hide"), 2);
}

TEST_F(MobileDeathTest, AGuardsVictimLeavesNoCorpseAndKeepsItsEquipment) {
    auto* guard = new CGuard;
    guard->PlaceInWorld(Location(11, 10, 0));
    CNPC* thief = Creature(400);
    CItem* sword = Wear(thief, kSword, 1);
    thief->Die(guard, 1);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_EQ(thief->GetLayer(1), sword);
    // The corpse existed for the death triggers.
    ASSERT_EQ(packets.With("AF").size(), 1u);
    EXPECT_NE(packets.With("AF")[0], "AF " + std::to_string(thief->GetSerial()) + " 0 0 10,10");
}

TEST_F(MobileDeathTest, PreyBecomesMeatAndTheSidesAreNotTaken) {
    CNPC* deer = Creature(237);
    deer->AddResource(Type("CARNIVOREMEAT"), kResourceHeld, 5, 0, 5);
    deer->AddResource(Type("good"), kResourceHeld, 1, 0, 1);
    deer->AddResource(Type("evil"), kResourceHeld, 1, 0, 1);
    deer->AddResource(Type("hide"), kResourceHeld, 3, 1, 2);
    deer->AddResource(Type("hide"), 1, 7, 0, 7);  // a need, not held: freed
    deer->Die(nullptr, 1);
    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(Held(corpse, "meat"), 20);
    EXPECT_EQ(corpse->FindResource(Type("meat"), kResourceHeld)->amounts[0], 20);
    EXPECT_EQ(Held(corpse, "hide"), 2);
    EXPECT_EQ(corpse->FindResource(Type("hide"), kResourceHeld)->amounts[1], 1);
    EXPECT_EQ(Held(corpse, "good"), -1);
    EXPECT_EQ(Held(corpse, "evil"), -1);
    EXPECT_EQ(Held(corpse, "CARNIVOREMEAT"), -1);
    EXPECT_EQ(corpse->FindResource(Type("hide"), 1), nullptr);
    EXPECT_EQ(deer->GetResources(), nullptr);
}

TEST_F(MobileDeathTest, AVetoedDeathKeepsEverythingAndDeletesTheCorpse) {
    CNPC* deer = Creature(237);
    CItem* sword = Wear(deer, kSword, 1);
    deer->AddResource(Type("CARNIVOREMEAT"), kResourceHeld, 5, 0, 5);
    deer->AddResource(Type("good"), kResourceHeld, 1, 0, 1);
    deer->AddResource(Type("hide"), kResourceHeld, 3, 0, 3);
    triggers.answers[{deer->GetSerial(), kTriggerDeath}] = 0;
    deer->SetNotoriety(50);
    deer->Die(nullptr, 1);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_EQ(deer->GetLayer(1), sword);
    EXPECT_EQ(Held(deer, "CARNIVOREMEAT"), 5);
    EXPECT_EQ(Held(deer, "good"), 1);
    EXPECT_EQ(Held(deer, "hide"), 3);
    EXPECT_EQ(deer->CountResourceEntries(), 3);
    EXPECT_EQ(deer->GetNotoriety(), 50);
}

TEST_F(MobileDeathTest, WithoutTheDropFlagTheCorpseGoesAfterTheTriggers) {
    CNPC* deer = Creature(237);
    deer->SetNotoriety(50);
    CItem* sword = Wear(deer, kSword, 1);
    deer->Die(nullptr, 0);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_EQ(deer->GetLayer(1), sword);
    EXPECT_EQ(deer->GetNotoriety(), 40);
}

TEST_F(MobileDeathTest, CorpseNames) {
    g_templateTable.LoadTemplatesText(
        "<510>\n<type normal 225>\n<corpsename wolf>\n<@@@ END @@@>\n"
        "<511>\n<type normal 17>\n<corpsename orc>\n<@@@ END @@@>\n"
        "<512>\n<type normal 400>\n<@@@ END @@@>\n");
    struct Case {
        const char* what;
        int body;
        int templateId;
        bool player;
        const char* name;
    } cases[] = {
        {"template text", 225, 510, false, "a wolf corpse"},
        {"template text after an", 17, 511, false, "an orc corpse"},
        {"template without text, human body", 400, 512, false, "a human corpse"},
        {"a player", 401, kNoTemplate, true, "a corpse of Ann"},
        {"a human creature", 402, kNoTemplate, false, "a human corpse"},
        {"anything else keeps the default", 200, kNoTemplate, false, ""},
        {"a template that does not exist", 200, 999, false, ""},
    };
    for (const Case& c : cases) {
        CMobile* m = c.player ? static_cast<CMobile*>(new CPlayer) : new CNPC;
        if (c.player) static_cast<CPlayer*>(m)->SetName("Ann");
        m->SetBodyType(c.body);
        m->SetTemplateField(c.templateId);
        auto* corpse = new CCorpse;
        m->NameCorpse(corpse);
        EXPECT_EQ(LookAtText(corpse), c.name) << c.what;
        corpse->DeleteSelf();
        m->DeleteSelf();
    }
}

TEST_F(MobileDeathTest, EveryoneForgetsTheDead) {
    CNPC* victim = Creature(225);
    CNPC* a = Creature(225, 12, 10);
    CNPC* b = Creature(225, 14, 10);
    a->AddOpponent(victim->GetSerial());
    a->AddAggressor(victim->GetSerial());
    a->ai.targetSerial = victim->GetSerial();
    b->AddOpponent(victim->GetSerial());
    b->AddOpponent(a->GetSerial());
    b->ai.targetSerial = a->GetSerial();
    victim->AddOpponent(a->GetSerial());
    victim->ForgetMe();
    EXPECT_FALSE(a->GetCombatList().Contains(victim->GetSerial()));
    EXPECT_FALSE(a->GetAggressorList().Contains(victim->GetSerial()));
    EXPECT_FALSE(a->HasStatusFlag(kMobileFighting));
    EXPECT_EQ(a->ai.targetSerial, 0u);
    EXPECT_FALSE(b->GetCombatList().Contains(victim->GetSerial()));
    EXPECT_TRUE(b->HasStatusFlag(kMobileFighting));
    EXPECT_EQ(b->ai.targetSerial, a->GetSerial());
    // Its own list is its owner's business.
    EXPECT_TRUE(victim->GetCombatList().Contains(a->GetSerial()));
}

TEST_F(MobileDeathTest, TheCorpseRotsAway1680TicksAfterTheDeath) {
    CNPC* wolf = Creature(225);
    wolf->Die(nullptr, 1);
    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    const u32 serial = corpse->GetSerial();
    for (int pulse = 0; pulse < 1680; ++pulse)
        RunAllCallbacks();
    EXPECT_NE(g_objectManager.FindBySerial(serial), nullptr);
    RunAllCallbacks();
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
}

// A handler that deletes the corpse or the mobile at each of the death's script calls: the
// death goes on with what is left.
TEST_F(MobileDeathTest, HandlersDeletingTheCorpseOrTheMobile) {
    struct Case {
        const char* what;
        bool onCorpse;  // the trigger is the corpse's (else the mobile's)
        bool deleteCorpse;
        bool corpseStays;
    } cases[] = {
        {"mobile's death trigger deletes the corpse", false, true, false},
        {"mobile's death trigger deletes the mobile", false, false, true},
        {"corpse's death trigger deletes the corpse", true, true, false},
        {"corpse's death trigger deletes the mobile", true, false, true},
    };
    for (const Case& c : cases) {
        CNPC* wolf = Creature(225);
        const u32 wolfSerial = wolf->GetSerial();
        CItem* sword = Wear(wolf, kSword, 1);
        const u32 swordSerial = sword->GetSerial();
        wolf->AddResource(Type("hide"), kResourceHeld, 3, 0, 3);
        triggers.onTrigger = [&](CItem* object, int trigger) {
            if (trigger != kTriggerDeath) return;
            const bool isCorpse = object->IsCorpse();
            if (isCorpse != c.onCorpse) return;
            CItem* doomed = c.deleteCorpse ? (isCorpse ? object : CorpseAt(10, 10))
                                           : g_objectManager.FindBySerial(wolfSerial);
            if (doomed) doomed->DeleteSelf();
        };
        wolf->Die(nullptr, 1);
        triggers.onTrigger = nullptr;
        CCorpse* corpse = CorpseAt(10, 10);
        EXPECT_EQ(corpse != nullptr, c.corpseStays) << c.what;
        if (corpse) {
            EXPECT_TRUE(HasCallback(corpse->TimedCallbacks(), 1, 0)) << c.what;
            EXPECT_EQ(Held(corpse, "hide"), 3) << c.what;
            corpse->DeleteSelf();
        }
        if (!c.deleteCorpse) {
            EXPECT_EQ(g_objectManager.FindBySerial(swordSerial), nullptr) << c.what;
        } else {
            CItem* left = g_objectManager.FindBySerial(wolfSerial);
            ASSERT_NE(left, nullptr);
            // Nothing to put into: what has a look lies on the ground.
            CItem* dropped = g_objectManager.FindBySerial(swordSerial);
            ASSERT_NE(dropped, nullptr) << c.what;
            EXPECT_EQ(dropped->GetContainer(), nullptr) << c.what;
            left->DeleteSelf();
            dropped->DeleteSelf();
        }
    }
}

// Real scripts: the corpse script attached, sawdeath reaching what is closer than 8 tiles,
// a death handler answering 0.
class MobileDeathScripts : public WorldScriptsTest {};

TEST_F(MobileDeathScripts, SawDeathReachesWhatIsCloserThan8Tiles) {
    Compile({{"witness", R"(
member obj killer;
member obj dead;
member obj body;
member int saw;
trigger sawdeath {
    killer = attacker;
    dead = victim;
    body = corpse;
    saw++;
    return 1;
}
)"},
             {"corpse", "member int marked;\n"}});
    CItem* near = PlacedItem(17, 10, 0);
    CItem* far = PlacedItem(18, 10, 0);
    ASSERT_EQ(AttachScript(near, "witness", 0), nullptr);
    ASSERT_EQ(AttachScript(far, "witness", 0), nullptr);
    auto* wolf = new CNPC;
    wolf->SetBodyType(225);
    wolf->PlaceInWorld(Location(10, 10, 0));
    CItem* killer = PlacedItem(11, 10, 0);
    wolf->Die(killer, 1);
    CScriptInstance* seen = First(near);
    EXPECT_EQ(MemberInt(seen, "saw"), 1);
    EXPECT_EQ(static_cast<u32>(MemberInt(seen, "killer")), killer->GetSerial());
    EXPECT_EQ(static_cast<u32>(MemberInt(seen, "dead")), wolf->GetSerial());
    EXPECT_EQ(MemberInt(First(far), "saw"), 0);
    CItem* corpse = g_objectManager.FindBySerial(static_cast<u32>(MemberInt(seen, "body")));
    ASSERT_NE(corpse, nullptr);
    EXPECT_TRUE(corpse->IsCorpse());
    EXPECT_TRUE(ObjScripts::HasScriptNamed(corpse->ScriptAttachments(), "corpse"));
}

}  // namespace
