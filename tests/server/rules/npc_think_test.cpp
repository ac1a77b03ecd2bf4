// The heartbeat, regeneration and think of an NPC, and its needs.
#include <gtest/gtest.h>

#include <array>

#include "server/rules/npc/npc_rules.h"
#include "server/world/resource_type.h"
#include "tests/server/rules/npc_test_support.h"

namespace {

using NpcThinkTest = NpcTest;

TEST_F(NpcThinkTest, NewNpcIsIdleAndItsFirstHeartbeatSetsUpItsNeeds) {
    CNPC* npc = new CNPC;
    EXPECT_EQ(npc->GetState(), kNpcIdle);
    EXPECT_EQ(npc->ai.previousState, kNpcIdle);
    EXPECT_FALSE(npc->AreNeedsSetUp());
    EXPECT_GE(npc->ai.litter, 1);
    EXPECT_LE(npc->ai.litter, 5);
    npc->PlaceInWorld(Location(10, 10, 0));
    g_mobileTable.SetCurrentNpc(npc);
    npc->HeartBeat();
    EXPECT_TRUE(npc->AreNeedsSetUp());
    EXPECT_EQ(npc->ai.maxFood, 99);
    EXPECT_EQ(npc->GetSatiety(), 99);  // a food level above 250 becomes the maximum
    // An NPC made from no template never thinks.
    EXPECT_EQ(npc->ai.thinkCount, 0);
}

TEST_F(NpcThinkTest, DormancyThinksEverySixthHeartbeatAndWakingQueuesAHeartbeat) {
    CNPC* npc = Npc(10, 10);
    npc->SetState(kNpcSleep);  // keeps the think from choosing
    npc->HeartBeat();
    EXPECT_TRUE(npc->HasNpcFlags(kNpcDormant));  // no player near
    EXPECT_EQ(npc->ai.thinkCount, 1);
    std::vector<int> thought;
    for (int beat = 0; beat < 12; ++beat) {
        npc->HeartBeat();
        thought.push_back(npc->ai.thinkCount);
    }
    EXPECT_EQ(thought, (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3}));

    NpcRules rules;
    SetNpcServices(&rules);
    npc->SetAwake(1);
    EXPECT_FALSE(npc->HasNpcFlags(kNpcDormant));
    g_mobileTable.NpcHeartbeatSweep();
    EXPECT_GE(npc->ai.thinkCount, 4);
    SetNpcServices(nullptr);
}

TEST_F(NpcThinkTest, HeartbeatCountdownClearsWhatWasNoticed) {
    CNPC* npc = Npc(10, 10);
    npc->SetState(kNpcSleep);
    npc->ai.heartbeatCountdown = 1;
    npc->ai.noticedSerial = 5;
    npc->ai.reachedSerial = 6;
    npc->ai.desireLevel = 3;
    npc->HeartBeat();
    EXPECT_EQ(npc->ai.heartbeatCountdown, 400);
    EXPECT_EQ(npc->ai.noticedSerial, 0u);
    EXPECT_EQ(npc->ai.reachedSerial, 0u);
    EXPECT_EQ(npc->ai.desireLevel, 2);
}

TEST_F(NpcThinkTest, RegenerationManaEvery21PulsesHitsEvery101) {
    CNPC* npc = Npc(10, 10);
    npc->SetMaxMana(50);
    npc->SetCurMana(0);
    npc->SetCurHits(50);
    npc->ManaCountdown() = 20;
    npc->HitCountdown() = 100;
    for (int i = 0; i < 21 * 10; ++i)
        npc->PulseRegenerate();
    EXPECT_EQ(npc->GetCurMana(), 10);
    npc->SetCurHits(50);
    npc->HitCountdown() = 100;
    for (int i = 0; i < 101 * 5; ++i)
        npc->PulseRegenerate();
    EXPECT_EQ(npc->GetCurHits(), 55);
    // Hunger slows healing: at food 49 of 99 a point takes 601 pulses.
    npc->SetSatiety(49);
    npc->HitCountdown() = 0;
    npc->PulseRegenerate();
    EXPECT_EQ(npc->HitCountdown(), 600);
}

TEST_F(NpcThinkTest, TimedFollowEndsOnTheFourthThink) {
    CNPC* leader = Npc(12, 10);
    CNPC* npc = Npc(10, 10);
    npc->SetNpcFlags(kNpcHoldsStill | kNpcNoFood | kNpcFollowsTarget | kNpcTimedFollow);
    npc->ai.followSerial = leader->GetSerial();
    npc->ai.followTimeout = 3;
    for (int think = 1; think <= 4; ++think) {
        g_mobileTable.SetCurrentNpc(npc);
        NpcThink(npc);
        EXPECT_EQ(npc->HasNpcFlags(kNpcFollowsTarget), think < 4) << think;
    }
}

TEST_F(NpcThinkTest, FollowerFarFromItsLeaderLeaves) {
    CNPC* leader = Npc(5, 5);
    CNPC* near = Npc(20, 5);
    CNPC* far = Npc(38, 5);
    leader->AddFollower(near);
    leader->AddFollower(far);
    for (CNPC* npc : {near, far}) {
        g_mobileTable.SetCurrentNpc(npc);
        NpcThink(npc);
    }
    EXPECT_EQ(near->GetLeader(), leader);
    EXPECT_EQ(far->GetLeader(), nullptr);
    EXPECT_TRUE(leader->HasLedFollowers());
    near->SetLocationField(Location(40, 5, 0));
    g_mobileTable.SetCurrentNpc(near);
    NpcThink(near);
    EXPECT_EQ(near->GetLeader(), nullptr);
    EXPECT_FALSE(leader->HasLedFollowers());
}

TEST_F(NpcThinkTest, RunawayStopsWhenTheAttackerIsAtHand) {
    struct Case {
        int attackerX;
        int state;
    } cases[] = {{11, kNpcIdle}, {14, kNpcRunaway}};
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10);
        CNPC* wolf = Npc(c.attackerX, 10, 600, 0xE1);
        npc->SetState(kNpcRunaway);
        npc->ai.targetSerial = wolf->GetSerial();
        npc->AddAggressor(wolf->GetSerial());
        g_mobileTable.SetCurrentNpc(npc);
        NpcThink(npc);
        EXPECT_EQ(npc->GetState() == kNpcRunaway, c.state == kNpcRunaway) << c.attackerX;
        DeleteAllObjects();
    }
}

TEST_F(NpcThinkTest, WanderNeverHeadsBackAndLoiterStaysNearItsSpot) {
    CNPC* npc = Npc(30, 30);
    for (u32 seed = 1; seed <= 300; ++seed) {
        platform::SeedRandom(seed);
        const int last = static_cast<int>(seed % 4);
        npc->ai.lastQuadrant = static_cast<u8>(last);
        npc->PickWanderPoint(20);
        EXPECT_NE(npc->ai.lastQuadrant, last ^ 2) << seed;
        const int dx = npc->ai.destination.x - 30, dy = npc->ai.destination.y - 30;
        EXPECT_LE(std::abs(dx), 10);
        EXPECT_LE(std::abs(dy), 10);
    }
    npc->SetNpcFlags(kNpcLoiterMode);
    const Location spot(32, 28, 0);
    int picked = 0;
    for (u32 seed = 1; seed <= 300; ++seed) {
        platform::SeedRandom(seed);
        npc->ai.moving = 0;
        npc->SetState(kNpcIdle);
        npc->ai.loiterLoc = spot;
        g_mobileTable.SetCurrentNpc(npc);
        NpcThink(npc);
        ASSERT_EQ(npc->GetState(), kNpcLoiter);
        if (!npc->ai.moving) continue;
        ++picked;
        EXPECT_LT(SquaredDistance(spot, npc->ai.destination), 49) << seed;
    }
    EXPECT_GT(picked, 50);
    EXPECT_EQ(triggers.TriggersFor(npc->GetSerial()).front(), kTriggerLoiter);
}

TEST_F(NpcThinkTest, FightOddsCountBothSides) {
    struct Case {
        int ownHits;
        int otherHits;
        int otherMembers;
        int flee;
        int odds;
    } cases[] = {
        {100, 10, 1, 16, 0},   // far stronger: attack
        {20, 200, 1, 16, 2},   // far weaker: flee
        {20, 200, 1, 255, 1},  // never flees: holds back
        {40, 30, 3, 16, 2},    // a pack of three outweighs it
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10);
        npc->SetCurHits(c.ownHits);
        npc->SetFleeValue(c.flee);
        CNPC* other = Npc(12, 10);
        other->SetCurHits(c.otherHits);
        for (int i = 1; i < c.otherMembers; ++i) {
            CNPC* f = Npc(13, 10 + i);
            f->SetCurHits(c.otherHits);
            other->AddFollower(f);
        }
        EXPECT_EQ(npc->FightOdds(other), c.odds) << c.ownHits << " " << c.otherHits;
        DeleteAllObjects();
    }
}

TEST_F(NpcThinkTest, PacksWithDefaultFoodNeverJoin) {
    CNPC* a = Npc(10, 10);
    CNPC* b = Npc(12, 10);
    CNPC* c = Npc(13, 10);
    b->AddFollower(c);
    CNPC::JoinPacks(a, c);
    EXPECT_EQ(a->GetLeader(), nullptr);
    EXPECT_FALSE(a->HasLedFollowers());
    EXPECT_EQ(c->GetLeader(), b);
    // Packs of next to no food do join: the stronger leader keeps its pack.
    for (CNPC* n : {a, b, c})
        n->ai.maxFood = 1;
    a->SetRealStat(kStatStrength, 90);
    CNPC::JoinPacks(a, c);
    EXPECT_EQ(b->GetLeader(), a);
    EXPECT_EQ(c->GetLeader(), a);
}

TEST_F(NpcThinkTest, BreedingIsRareHumansOnlyMarkAndTheGovernorBlocks) {
    struct Case {
        int templateId;
        bool blocked;
        bool bred;
    } cases[] = {{10, false, true}, {550, false, true}, {10, true, false}};
    for (const Case& c : cases) {
        limits.blocked = c.blocked;
        CNPC* npc = Npc(10, 10, c.templateId);
        int draws = 0;
        while (!npc->HasNpcFlags(kNpcHasBred) && npc->ai.litter > 0 && draws < 20000) {
            npc->Breed();
            ++draws;
        }
        EXPECT_EQ(npc->HasNpcFlags(kNpcHasBred) || npc->ai.litter == 0, c.bred) << c.templateId;
        if (c.bred) {
            EXPECT_GT(draws, 10) << "one chance in 1000";
        }
        if (c.templateId == 10 && c.bred) {
            EXPECT_TRUE(npc->HasNpcFlags(kNpcHasBred));
        }
        if (c.templateId == 550) {
            EXPECT_EQ(npc->ai.litter, 0);
        }
        npc->DeleteSelf();
    }
}

TEST_F(NpcThinkTest, NeedsFromResourceEntries) {
    CResourceTypeTable& types = GetResourceTypes();
    auto add = [&](const char* name) {
        auto* t = new CResourceType;
        t->SetInternalName(name);
        const int number = types.AllocNumber();
        t->SetNumber(number);
        types.Add(t);
        return number;
    };
    const int meat = add("meat");
    const int self = add("self");
    const int humans = add("humans");
    const int grass = add("grass");
    struct Case {
        const char* what;
        std::vector<std::array<int, 4>> entries;  // type, kind, first, second
        int flags;
        int maxFood;
        int meatLevel;
    } cases[] = {
        {"nothing", {}, kNpcBankOther, 99, 0},
        {"herd", {{self, 2, 1, 2}, {grass, 0, 40, 0}}, kNpcFormsPacks | kNpcBankOther, 40, 0},
        {"hunter", {{meat, 0, 60, 5}, {grass, 2, 1, 2}}, kNpcStrongDesire | kNpcBankOther, 60, 3},
        {"hates humans", {{humans, 2, 1, 2}}, kNpcBankOther, 99, 0},
        {"producer", {{grass, 1, 1, 4}}, kNpcProduces | kNpcBankOther, 99, 0},
    };
    for (const Case& c : cases) {
        CNPC* npc = new CNPC;
        for (const auto& e : c.entries)
            npc->AddResource(e[0], e[1], e[2], e[3], 0);
        npc->PlaceInWorld(Location(10, 10, 0));
        g_mobileTable.SetCurrentNpc(npc);
        npc->InitNeeds();
        EXPECT_EQ(npc->GetNpcFlags(), c.flags) << c.what;
        EXPECT_EQ(npc->ai.maxFood, c.maxFood) << c.what;
        EXPECT_EQ(npc->ai.meatLevel, c.meatLevel) << c.what;
        npc->DeleteSelf();
    }
}

TEST_F(NpcThinkTest, HungerAloneAndInAPack) {
    CNPC* leader = Npc(10, 10);
    EXPECT_FALSE(leader->IsHungry());
    leader->SetSatiety(48);
    EXPECT_TRUE(leader->IsHungry());
    leader->SetSatiety(99);
    CNPC* f = Npc(11, 10);
    leader->AddFollower(f);
    EXPECT_FALSE(leader->IsHungry());
    f->SetSatiety(11);  // below an eighth of 99
    EXPECT_TRUE(leader->IsHungry());
    f->SetSatiety(20);
    EXPECT_FALSE(leader->IsHungry());
    leader->SetSatiety(60);
    f->SetSatiety(30);  // 90 of 198 is below half
    EXPECT_TRUE(leader->IsHungry());
}

TEST_F(NpcThinkTest, PickUpRefusals) {
    CNPC* carrier = Npc(10, 10);
    carrier->SetRealStat(kStatIntelligence, 20);  // two items at most
    struct Case {
        const char* what;
        int graphic;
        int taken;
    } cases[] = {
        {"a corpse", 8198, 0},
        {"a plain item", kPlainItem, 1},
        {"a second", kPlainItem, 1},
        {"a third is too many", kPlainItem, 0},
    };
    for (const Case& c : cases) {
        CItem* item = PlacedItem(11, 10, 0, c.graphic);
        EXPECT_EQ(CNPC::PickUp(carrier, item), c.taken) << c.what;
        EXPECT_EQ(item->GetContainer() == carrier, c.taken == 1) << c.what;
    }
}

TEST_F(NpcThinkTest, GesturesByBodyBand) {
    struct Case {
        int body;
        int code;
        std::string action;  // the 0x6E entry without the serial, or empty
        int pause;
    } cases[] = {
        {400, 5, "33 5 1 fwd once 1 r20", 4},
        {300, 5, "", 0},
        {170, 5, "3 15 1 fwd once 1 r20", 10},
        {21, 5, "11 5 1 fwd rep 1 r20", 10},
        {8, 5, "", 10},
        {400, 2, "", 0},
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10, 10, c.body);
        packets.log.clear();
        npc->PlayGesture(c.code);
        const auto sent = packets.With("6E");
        if (c.action.empty()) {
            EXPECT_TRUE(sent.empty()) << c.body;
        } else {
            ASSERT_EQ(sent.size(), 1u) << c.body;
            EXPECT_EQ(sent[0], "6E " + std::to_string(npc->GetSerial()) + " " + c.action);
        }
        EXPECT_EQ(npc->ai.actionPause, c.pause) << c.body;
        npc->DeleteSelf();
    }
    // Gesture 3 of a human body: action 5 or 6, a pause of 4, and the idle sound.
    CNPC* npc = Npc(10, 10, 10, 400);
    npc->saveExtras.sounds[2] = 0x55;
    packets.log.clear();
    npc->PlayGesture(3);
    ASSERT_EQ(packets.With("6E").size(), 1u);
    EXPECT_EQ(npc->ai.actionPause, 4);
    EXPECT_EQ(packets.With("54").size(), 1u);
}

}  // namespace

namespace {

// Handlers that delete the NPC at each call-out of its think: the think stops at once and
// touches nothing of it afterwards (the address sanitizer watches).
TEST_F(NpcThinkTest, ThinkSurvivesHandlersThatDeleteTheNpc) {
    struct Case {
        const char* what;
        int trigger;
        int flags;
        int satiety;
    } cases[] = {
        {"loiter", kTriggerLoiter, kNpcLoiterMode, 99},
        {"seekfood", kTriggerSeekFood, 0, 10},
        {"failfood", kTriggerFailFood, 0, 10},
    };
    for (const Case& c : cases) {
        CNPC* npc = Npc(10, 10);
        npc->SetNpcFlags(c.flags);
        npc->SetSatiety(c.satiety);
        const u32 serial = npc->GetSerial();
        triggers.handlers[serial] = {{kTriggerSeekFood, 0}};
        triggers.onTrigger = [serial, &c](CItem* object, int trigger) {
            if (trigger == c.trigger && object->GetSerial() == serial) object->DeleteSelf();
        };
        g_mobileTable.SetCurrentNpc(npc);
        NpcThink(npc);
        EXPECT_EQ(g_objectManager.FindNPC(serial), nullptr) << c.what;
        triggers.onTrigger = nullptr;
    }
}

TEST_F(NpcThinkTest, SeekFoodWithoutAHandlerWanders) {
    CNPC* npc = Npc(10, 10);
    npc->SetSatiety(10);
    NpcThink(npc);
    EXPECT_EQ(npc->GetState(), kNpcWander);
    EXPECT_EQ(npc->ai.previousState, kNpcSeekFood);
    EXPECT_GE(npc->ai.wanderCount, 5);
    EXPECT_LE(npc->ai.wanderCount, 25);
    EXPECT_TRUE(triggers.TriggersFor(npc->GetSerial()).empty());
}

}  // namespace
