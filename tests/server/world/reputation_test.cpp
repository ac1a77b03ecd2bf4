// Reputation: how objects stand toward viewers, lawful targets, aggression, crimes and the
// expiry of the marks.
#include "server/world/reputation.h"

#include <functional>

#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "server/player/player_titles.h"
#include "tests/server/world/world_test_support.h"
#include "server/world/npc.h"

namespace {

class ReputationTest : public WorldTest {
protected:
    CPlayer* Player(int x = 10, int y = 10) {
        auto* p = new CPlayer;
        p->SetBodyType(400);
        p->PlaceInWorld(Location(x, y, 0));
        return p;
    }
    CNPC* Npc(int body, int x = 12, int y = 10) {
        auto* n = new CNPC;
        n->SetBodyType(body);
        n->PlaceInWorld(Location(x, y, 0));
        return n;
    }
    static void SetInt(CItem* o, const char* name, int v) {
        ObjVars::Set(o->ScriptAttachments(), name, kTypeInt, ScriptListValue::Int(v));
    }
    static void SetObject(CItem* o, const char* name, u32 serial) {
        ObjVars::Set(o->ScriptAttachments(), name, kTypeObject,
                     ScriptListValue::Int(static_cast<s32>(serial)));
    }
    static void SetList(CItem* o, const char* name, std::vector<u32> serials) {
        CScriptList list;
        for (u32 s : serials)
            list.Append(kTypeObject, ScriptListValue::Int(static_cast<s32>(s)));
        ObjVars::Set(o->ScriptAttachments(), name, kTypeList, ScriptListValue::Ptr(&list));
    }
    static bool ListHas(CItem* o, const char* name, u32 serial) {
        const CScriptList* l = ObjVars::GetList(o->ScriptAttachments(), name);
        return l && l->Contains(kTypeObject, ScriptListValue::Int(static_cast<s32>(serial)));
    }
    static bool Has(CItem* o, const char* name) {
        return ObjVars::Find(o->ScriptAttachments(), name) != nullptr;
    }
    static bool Armed(CItem* o, int mark) {
        return HasCallback(o->TimedCallbacks(), kReputationCallbackAction, mark);
    }
    static void Expire(CItem* o, int mark) { ReputationTimerExpired(o, mark, nullptr); }
};

TEST_F(ReputationTest, FirstRuleWinsInTheNotorietyOfAnObject) {
    struct Case {
        const char* what;
        std::function<void(CPlayer* seen, CPlayer* viewer)> setUp;
        int expected;
    } cases[] = {
        {"nothing", [](CPlayer*, CPlayer*) {}, kNotorietyInnocent},
        {"murderer beats criminal",
         [](CPlayer* s, CPlayer*) {
             SetInt(s, "murderCount", 5);
             SetInt(s, "criminal", 1);
         },
         kNotorietyMurderer},
        {"four murders are no murderer", [](CPlayer* s, CPlayer*) { SetInt(s, "murderCount", 4); },
         kNotorietyInnocent},
        {"criminal beats guild enemy",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "criminal", 1);
             SetInt(s, "guildType", 4);
             SetInt(v, "guildType", 3);
         },
         kNotorietyCriminal},
        // The war table's row for type 3 is 20: bits 2 and 4.
        {"type 4 seen by type 3 is an enemy",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 4);
             SetInt(v, "guildType", 3);
         },
         kNotorietyEnemy},
        {"type 3 seen by type 4 is not",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 3);
             SetInt(v, "guildType", 4);
         },
         kNotorietyInnocent},
        {"an own type outside 0-4 counts as 0 (row 0 opposes type 4 only)",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 9);
             SetInt(v, "guildType", 2);
         },
         kNotorietyInnocent},
        {"a viewer type outside 0-4 opposes nothing",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 4);
             SetInt(v, "guildType", 77);
         },
         kNotorietyInnocent},
        {"at war with the viewer's stone",
         [](CPlayer* s, CPlayer* v) {
             SetObject(v, "guildstoneId", 0x40000999);
             SetList(s, "opposingGuilds", {0x40000999});
         },
         kNotorietyEnemy},
        {"attacked the viewer first",
         [](CPlayer* s, CPlayer* v) { SetList(s, "aggressionVictimList", {v->GetSerial()}); },
         kNotorietyAttackable},
        {"same guild stone",
         [](CPlayer* s, CPlayer* v) {
             SetObject(s, "guildstoneId", 0x40000777);
             SetObject(v, "guildstoneId", 0x40000777);
         },
         kNotorietyAlly},
        {"allied types above 1",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 2);
             SetInt(v, "guildType", 2);
         },
         kNotorietyAlly},
        {"type 1 is no alliance",
         [](CPlayer* s, CPlayer* v) {
             SetInt(s, "guildType", 1);
             SetInt(v, "guildType", 1);
         },
         kNotorietyInnocent},
        {"the viewer harmed it lawfully",
         [](CPlayer* s, CPlayer* v) { SetList(v, "lawfullyDamaged", {s->GetSerial()}); },
         kNotorietyAttackable},
    };
    for (const Case& c : cases) {
        CPlayer* seen = Player();
        CPlayer* viewer = Player(11, 10);
        c.setUp(seen, viewer);
        EXPECT_EQ(seen->GetNotorietyFor(viewer), c.expected) << c.what;
    }
}

TEST_F(ReputationTest, CreaturesAreAttackableAndLawfulUnlessHumanOrOwnedPets) {
    CPlayer* viewer = Player();
    CNPC* wolf = Npc(225);
    CNPC* townsman = Npc(400, 13, 10);
    EXPECT_EQ(wolf->GetNotorietyFor(viewer), kNotorietyAttackable);
    EXPECT_TRUE(wolf->CanBeFreelyAggressedBy(viewer));
    EXPECT_EQ(townsman->GetNotorietyFor(viewer), kNotorietyInnocent);
    EXPECT_FALSE(townsman->CanBeFreelyAggressedBy(viewer));
    SetInt(wolf, "murderCount", 6);
    EXPECT_EQ(wolf->GetNotorietyFor(viewer), kNotorietyMurderer);
}

TEST_F(ReputationTest, LawfulTargets) {
    CPlayer* attacker = Player();
    SetObject(attacker, "guildstoneId", 0x40000500);
    CNPC* pet = Npc(400);
    SetInt(pet, "isPet", 1);
    EXPECT_FALSE(pet->CanBeFreelyAggressedBy(attacker));
    // A pet whose controller's guild is the attacker's own guild.
    SetObject(pet, "controllerGuild", 0x40000500);
    EXPECT_TRUE(pet->CanBeFreelyAggressedBy(attacker));
    // Anyone may be attacked by itself, and a null attacker may attack anything.
    EXPECT_TRUE(attacker->CanBeFreelyAggressedBy(attacker));
    EXPECT_TRUE(pet->CanBeFreelyAggressedBy(nullptr));
    // A victim that struck first can be fought back.
    CPlayer* victim = Player(11, 10);
    EXPECT_FALSE(victim->CanBeFreelyAggressedBy(attacker));
    SetList(victim, "aggressionVictimList", {attacker->GetSerial()});
    EXPECT_TRUE(victim->CanBeFreelyAggressedBy(attacker));
}

TEST_F(ReputationTest, RetaliationOnlyRefreshesTheFirstAggressor) {
    CPlayer* a = Player();
    CPlayer* b = Player(11, 10);
    b->ReceiveAggressionFrom(a);  // a attacks b
    EXPECT_TRUE(ListHas(a, "aggressionVictimList", b->GetSerial()));
    EXPECT_TRUE(Armed(a, kMarkAggression));
    EXPECT_EQ(b->GetNotorietyFor(a), kNotorietyInnocent);
    EXPECT_EQ(a->GetNotorietyFor(b), kNotorietyAttackable);
    // b, the victim, was sent the aggressor's new colour.
    EXPECT_EQ(packets.With("77 " + std::to_string(b->GetSerial())).size(), 1u);

    RemoveCallback(a->TimedCallbacks(), kReputationCallbackAction, kMarkAggression);
    a->ReceiveAggressionFrom(b);  // b fights back
    EXPECT_FALSE(Has(b, "aggressionVictimList"));
    EXPECT_TRUE(Armed(a, kMarkAggression));  // a's own record was refreshed
    EXPECT_EQ(a->GetNotorietyFor(b), kNotorietyAttackable);
}

TEST_F(ReputationTest, HarmingAnInnocentIsACrimeAndAPetsCrimeIsItsOwners) {
    CPlayer* owner = Player();
    CNPC* pet = Npc(225, 11, 11);
    SetObject(pet, "controller", owner->GetSerial());
    CPlayer* innocent = Player(12, 12);
    innocent->ReceiveUnhealthyActionFrom(pet, false);
    EXPECT_TRUE(pet->IsCriminal());
    EXPECT_TRUE(owner->IsCriminal());
    EXPECT_TRUE(Armed(pet, kMarkCriminal));
    // The owner shares the aggression too.
    EXPECT_TRUE(ListHas(owner, "aggressionVictimList", innocent->GetSerial()));

    // A defensive pet keeps its aggression to itself (its crime still counts for both).
    CPlayer* owner2 = Player(20, 20);
    CNPC* guard = Npc(225, 21, 20);
    SetObject(guard, "controller", owner2->GetSerial());
    SetInt(guard, "defensive", 1);
    CPlayer* other = Player(22, 20);
    other->ReceiveUnhealthyActionFrom(guard, false);
    EXPECT_FALSE(Has(owner2, "aggressionVictimList"));
}

TEST_F(ReputationTest, HarmingALawfulTargetIsRecordedNotACrime) {
    CPlayer* doer = Player();
    CPlayer* criminal = Player(11, 10);
    SetInt(criminal, "criminal", 1);
    criminal->ReceiveUnhealthyActionFrom(doer, true);
    EXPECT_FALSE(doer->IsCriminal());
    EXPECT_TRUE(ListHas(doer, "lawfullyDamaged", criminal->GetSerial()));
    EXPECT_TRUE(Armed(doer, kMarkLawfulDamage));
    EXPECT_FALSE(Has(criminal, "canReportIdList"));
}

TEST_F(ReputationTest, APlayerVictimMayReportTheController) {
    CPlayer* owner = Player();
    owner->SetName("Orla");
    CNPC* pet = Npc(225, 11, 11);
    SetObject(pet, "controller", owner->GetSerial());
    ObjVars::Set(pet->ScriptAttachments(), "controllerName", kTypeString,
                 ScriptListValue::Ptr(nullptr));
    CPlayer* victim = Player(12, 12);
    victim->ReceiveUnhealthyActionFrom(pet, true);
    EXPECT_TRUE(ListHas(victim, "canReportIdList", owner->GetSerial()));
    EXPECT_TRUE(Has(victim, "canReportNameList"));
    // Not when it already reported them recently, nor when it is defensive.
    CPlayer* second = Player(13, 13);
    SetList(second, "recentlyReported", {owner->GetSerial()});
    second->ReceiveUnhealthyActionFrom(pet, true);
    EXPECT_FALSE(Has(second, "canReportIdList"));
}

TEST_F(ReputationTest, MarksExpire) {
    CPlayer* near = Player(12, 10);
    CPlayer* murderer = Player();
    SetInt(murderer, "murderCount", 5);
    packets.log.clear();
    Expire(murderer, kMarkMurderCount);  // 5 -> 4: no longer a murderer, shown again
    EXPECT_EQ(murderer->GetMurderCount(), 4);
    EXPECT_TRUE(Armed(murderer, kMarkMurderCount));
    EXPECT_EQ(murderer->GetNotorietyFor(near), kNotorietyInnocent);
    EXPECT_EQ(packets
                  .With("77 " + std::to_string(near->GetSerial()) + " " +
                        std::to_string(murderer->GetSerial()))
                  .size(),
              1u);
    packets.log.clear();
    Expire(murderer, kMarkMurderCount);  // 4 -> 3: nothing to show
    EXPECT_EQ(murderer->GetMurderCount(), 3);
    EXPECT_TRUE(packets.With("77").empty());
    SetInt(murderer, "murderCount", 1);
    Expire(murderer, kMarkMurderCount);
    EXPECT_FALSE(Has(murderer, "murderCount"));

    // The criminal mark goes after 480 pulses of the callback clock.
    murderer->MarkCriminal(kReputationTicks);
    EXPECT_TRUE(murderer->IsCriminal());
    for (int i = 0; i < kReputationTicks; ++i)
        RunAllCallbacks();
    EXPECT_TRUE(murderer->IsCriminal());
    RunAllCallbacks();
    EXPECT_FALSE(murderer->IsCriminal());
}

TEST_F(ReputationTest, LawfulDamageExpiryShowsTheVictimsAgainToTheDoer) {
    CPlayer* doer = Player();
    CPlayer* victim = Player(11, 10);
    CPlayer* far = Player(40, 40);
    SetList(doer, "lawfullyDamaged", {victim->GetSerial(), far->GetSerial()});
    EXPECT_EQ(victim->GetNotorietyFor(doer), kNotorietyAttackable);
    packets.log.clear();
    Expire(doer, kMarkLawfulDamage);
    EXPECT_FALSE(Has(doer, "lawfullyDamaged"));
    EXPECT_EQ(victim->GetNotorietyFor(doer), kNotorietyInnocent);
    // Only the victim within 18 tiles is sent, and to the doer whose view changed.
    EXPECT_EQ(packets.With("77 "),
              std::vector<std::string>{"77 " + std::to_string(doer->GetSerial()) + " " +
                                       std::to_string(victim->GetSerial())});
}

TEST_F(ReputationTest, SettingTheMurderCountFiresItsTrigger) {
    CNPC* n = Npc(400);
    n->SetMurderCount(-3);
    EXPECT_EQ(n->GetMurderCount(), 0);
    EXPECT_TRUE(Has(n, "murderCount"));
    EXPECT_EQ(triggers.TriggersFor(n->GetSerial()).back(), kTriggerMurderCountChanged);
}

TEST(GuildWars, TheTableIsNeverReadOutsideItsRows) {
    EXPECT_TRUE(GuildTypesOppose(4, 0));
    EXPECT_TRUE(GuildTypesOppose(3, 2));
    EXPECT_TRUE(GuildTypesOppose(2, 3));
    EXPECT_FALSE(GuildTypesOppose(4, 4));
    EXPECT_FALSE(GuildTypesOppose(4, -1));
    EXPECT_FALSE(GuildTypesOppose(4, 5));
    EXPECT_TRUE(GuildTypesOppose(-7, 0) == GuildTypesOppose(0, 0));
}

}  // namespace
