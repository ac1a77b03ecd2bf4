// Combat lists, the combat heartbeat's walk, peace, followers and the list of all mobiles.
#include <gtest/gtest.h>

#include "server/world/combat_lists.h"
#include "server/world/rules_services.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

struct StepRecorder : RulesServices {
    std::vector<u32> visited;
    std::function<void(CMobile*)> onStep;
    void CombatStep(CMobile* mobile) override {
        visited.push_back(mobile->GetSerial());
        if (onStep) onStep(mobile);
    }
};

class CombatListsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetRulesServices(&rules);
    }
    void TearDown() override {
        SetRulesServices(nullptr);
        WorldTest::TearDown();
    }
    CNPC* Npc(int x) {
        auto* n = new CNPC;
        n->PlaceInWorld(Location(x, 5, 0));
        return n;
    }
    StepRecorder rules;
};

TEST(AttackListTest, AddRemoveAndAgeing) {
    AttackList list;
    EXPECT_TRUE(list.Add(7));
    EXPECT_FALSE(list.Add(7));
    EXPECT_TRUE(list.Add(8));
    list.Remove(7);
    EXPECT_FALSE(list.Contains(7));
    // 120 countdowns bring the entry to 0; the 121st drops it.
    for (int i = 0; i < 120; ++i)
        list.Expire();
    EXPECT_TRUE(list.Contains(8));
    list.Expire();
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(CombatListsTest, HeartbeatSurvivesAStepThatDeletesTheNextMobile) {
    CNPC* a = Npc(1);
    CNPC* b = Npc(2);
    CNPC* c = Npc(3);  // the list runs c, b, a
    const u32 sa = a->GetSerial(), sb = b->GetSerial(), sc = c->GetSerial();
    rules.onStep = [&](CMobile* m) {
        if (m->GetSerial() == sc) g_objectManager.FindBySerial(sb)->DeleteSelf();
    };
    g_mobileManager.CombatHeartBeat(0);
    EXPECT_EQ(rules.visited, (std::vector<u32>{sc, sa}));
    EXPECT_EQ(g_mobileManager.GetCursor(), nullptr);

    // A step that deletes the mobile being visited.
    rules.visited.clear();
    rules.onStep = [&](CMobile* m) {
        if (m->GetSerial() == sc) m->DeleteSelf();
    };
    g_mobileManager.CombatHeartBeat(0);
    EXPECT_EQ(rules.visited, (std::vector<u32>{sc, sa}));
    EXPECT_EQ(g_mobileManager.GetFirstMobile(), a);
}

TEST_F(CombatListsTest, HeartbeatSkipsDetachedAndRiddenMobiles) {
    CNPC* free = Npc(1);
    auto* loose = new CNPC;  // never placed
    CNPC* carried = new CNPC;
    ASSERT_TRUE(carried->AddToContainer(free, Location(-1, -1, 0)));
    g_mobileManager.CombatHeartBeat(0);
    EXPECT_EQ(rules.visited, (std::vector<u32>{free->GetSerial()}));
    delete loose;
}

TEST_F(CombatListsTest, AnEntryNeverRefreshedAgesOutInAboutSixtySeconds) {
    CNPC* a = Npc(1);
    a->AddOpponent(12345);
    int pulse = 0;
    for (; pulse < 400 && a->GetCombatList().Contains(12345); ++pulse)
        g_mobileManager.CombatHeartBeat(pulse);
    // Ageing runs on 4 pulses of 8: the 121st ageing step is pulse 244.
    EXPECT_EQ(pulse, 245);
}

TEST_F(CombatListsTest, PeaceLeavesNoAttackerWithTheMobile) {
    CNPC* m = Npc(1);
    CNPC* a = Npc(2);
    CNPC* b = Npc(3);
    for (CNPC* attacker : {a, b}) {
        EXPECT_TRUE(attacker->AddOpponent(m->GetSerial()));
        EXPECT_TRUE(m->AddAggressor(attacker->GetSerial()));
        attacker->AddAggressor(m->GetSerial());
        EXPECT_TRUE(attacker->HasStatusFlag(kMobileFighting));
    }
    m->AddOpponent(a->GetSerial());
    m->MakePeace();
    m->ClearCombatLists();
    for (CNPC* attacker : {a, b}) {
        EXPECT_FALSE(attacker->GetCombatList().Contains(m->GetSerial()));
        EXPECT_FALSE(attacker->GetAggressorList().Contains(m->GetSerial()));
        EXPECT_FALSE(attacker->HasStatusFlag(kMobileFighting));
    }
    EXPECT_TRUE(m->GetCombatList().IsEmpty());
    EXPECT_TRUE(m->GetAggressorList().IsEmpty());
    EXPECT_FALSE(m->HasStatusFlag(kMobileFighting));
}

TEST_F(CombatListsTest, OwnSerialAndFollowersAggression) {
    CNPC* leader = Npc(1);
    CNPC* pet = Npc(2);
    EXPECT_FALSE(pet->AddOpponent(pet->GetSerial()));
    EXPECT_TRUE(pet->GetCombatList().IsEmpty());
    EXPECT_FALSE(pet->HasStatusFlag(kMobileFighting));
    leader->AddFollower(pet);
    EXPECT_TRUE(pet->AddAggressor(999));
    EXPECT_TRUE(leader->GetAggressorList().Contains(999));
    EXPECT_TRUE(pet->GetAggressorList().IsEmpty());
}

TEST_F(CombatListsTest, FollowersGoToTheHead) {
    CNPC* leader = Npc(1);
    CNPC* a = Npc(2);
    CNPC* b = Npc(3);
    EXPECT_EQ(leader->AddFollower(leader), leader);
    EXPECT_FALSE(leader->HasLedFollowers());
    EXPECT_FALSE(leader->IsFollowing());
    leader->AddFollower(a);
    leader->AddFollower(b);
    EXPECT_EQ(leader->GetFirstFollower(), b);
    EXPECT_EQ(b->GetNextFollower(), a);
    EXPECT_EQ(leader->GetLastFollower(), a);
    EXPECT_EQ(a->GetLeader(), leader);
    EXPECT_EQ(leader->CountFollowers(), 2);
    // A leader passes through its followers.
    EXPECT_EQ(leader->GetMoveClassDefault(*a), 0u);
    EXPECT_EQ(a->GetMoveClassDefault(*b), kMoveBlocking);
    leader->RemoveFollower(b);
    leader->RemoveFollower(a);
    EXPECT_EQ(leader->CountFollowers(), 0);
    EXPECT_EQ(leader->GetLastFollower(), nullptr);
    EXPECT_TRUE(leader->HasLedFollowers());
    EXPECT_FALSE(a->IsFollowing());
}

TEST_F(CombatListsTest, DestroyedLeaderHandsItsFollowersOn) {
    struct Case {
        int followers;
    } cases[] = {{3}, {1}};
    for (const Case& c : cases) {
        CNPC* leader = Npc(1);
        std::vector<CNPC*> f;
        for (int i = 0; i < c.followers; ++i)
            f.push_back(Npc(2 + i));
        for (auto it = f.rbegin(); it != f.rend(); ++it)
            leader->AddFollower(*it);  // order f[0], f[1], ...
        leader->DeleteSelf();
        EXPECT_FALSE(f[0]->IsFollowing());
        EXPECT_EQ(f[0]->CountFollowers(), c.followers - 1);
        for (size_t i = 1; i < f.size(); ++i)
            EXPECT_EQ(f[i]->GetLeader(), f[0]);
        if (c.followers == 3) {
            EXPECT_EQ(f[0]->GetFirstFollower(), f[1]);
        }
        for (CNPC* n : f)
            n->DeleteSelf();
    }
    // A follower that goes leaves its leader's list.
    CNPC* leader = Npc(1);
    CNPC* pet = Npc(2);
    leader->AddFollower(pet);
    pet->DeleteSelf();
    EXPECT_EQ(leader->CountFollowers(), 0);
}

TEST_F(CombatListsTest, LightsCountDown) {
    CNPC* n = Npc(1);
    n->SetLightLevel(2, 9);
    g_mobileManager.CountDownLights();
    EXPECT_EQ(n->GetLightLevel(), 9);
    g_mobileManager.CountDownLights();
    EXPECT_EQ(n->GetLightLevel(), 0);
    EXPECT_EQ(n->GetLightDuration(), 0);
}

}  // namespace
