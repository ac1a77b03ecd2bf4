#include "server/world/mobile_groups.h"

#include <gtest/gtest.h>

#include <string>

#include "server/world/mobile.h"
#include "world_test_support.h"

namespace {

class MobileGroupsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        g_mobileGroups.Clear();
    }
    void TearDown() override {
        g_mobileGroups.Clear();
        WorldTest::TearDown();
    }
    CPlayer* Player() {
        auto* p = new CPlayer;
        p->SetSerial(next_++);
        return p;
    }
    CMobile* Mobile() {
        auto* m = new CMobile;
        m->SetSerial(next_++);
        return m;
    }
    static std::string S(const CMobile* m) { return std::to_string(m->GetSerial()); }
    u32 next_ = 0x100;
};

TEST_F(MobileGroupsTest, DestroyedLeaderTakesItsGroupAndDestroyedMemberLeavesEveryGroup) {
    CMobile* leaderA = Mobile();
    CMobile* leaderB = Mobile();
    CMobile* member = Mobile();
    CMobile* other = Mobile();
    ASSERT_TRUE(g_mobileGroups.AddGroup(leaderA, "a"));
    ASSERT_TRUE(g_mobileGroups.AddGroup(leaderB, "b"));
    EXPECT_EQ(g_mobileGroups.ToggleMember(leaderA, member), 0);
    EXPECT_EQ(g_mobileGroups.ToggleMember(leaderB, member), 0);
    EXPECT_EQ(g_mobileGroups.ToggleMember(leaderB, other), 0);
    EXPECT_EQ(g_mobileGroups.ToggleMember(leaderA, leaderB), 0);

    delete member;
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(member), nullptr);
    EXPECT_EQ(g_mobileGroups.FindGroupOfLeader(leaderA)->members.size(), 1u);
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(other), leaderB);

    // The leader of B is also a member of A: its own group goes, its membership too.
    delete leaderB;
    EXPECT_EQ(g_mobileGroups.GroupCount(), 1);
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(other), nullptr);
    EXPECT_TRUE(g_mobileGroups.FindGroupOfLeader(leaderA)->members.empty());
    delete leaderA;
    EXPECT_EQ(g_mobileGroups.GroupCount(), 0);
    delete other;
}

TEST_F(MobileGroupsTest, OnlyTheFirstTenMembersCountSoAnEleventhIsAppendedAgain) {
    CMobile* leader = Mobile();
    ASSERT_TRUE(g_mobileGroups.AddGroup(leader, "pack"));
    std::vector<CMobile*> members;
    for (int i = 0; i < 11; ++i) {
        members.push_back(Mobile());
        EXPECT_EQ(g_mobileGroups.ToggleMember(leader, members.back()), 0);
    }
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(members[9]), leader);
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(members[10]), nullptr);
    EXPECT_EQ(g_mobileGroups.ToggleMember(leader, members[10]), 0);
    EXPECT_EQ(g_mobileGroups.FindGroupOfLeader(leader)->members.size(), 12u);
    EXPECT_EQ(g_mobileGroups.ToggleMember(leader, members[0]), 1);
    // With the first gone, the eleventh moved up into the searched ten.
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(members[10]), leader);
    EXPECT_EQ(g_mobileGroups.ToggleMember(Mobile(), members[1]), -1);
    EXPECT_EQ(g_mobileGroups.RemoveMember(members[1], members[2]), -1);
    EXPECT_EQ(g_mobileGroups.RemoveGroup(members[1]), -1);
    EXPECT_EQ(g_mobileGroups.RemoveGroup(leader), 0);
}

TEST_F(MobileGroupsTest, ListIsBoundedAndNamesAreCut) {
    CMobile* leader = Mobile();
    const std::string longName(200, 'n');
    ASSERT_TRUE(g_mobileGroups.AddGroup(leader, longName.c_str()));
    EXPECT_EQ(std::string(g_mobileGroups.FindGroupOfLeader(leader)->name),
              longName.substr(0, MobileGroupList::kNameSize - 1));
    for (int i = 1; i < MobileGroupList::kMaxGroups; ++i)
        ASSERT_TRUE(g_mobileGroups.AddGroup(nullptr, "x"));
    EXPECT_FALSE(g_mobileGroups.AddGroup(leader, "one too many"));
    EXPECT_EQ(g_mobileGroups.GroupCount(), MobileGroupList::kMaxGroups);
}

TEST_F(MobileGroupsTest, GroupCommandTellsWhatHappenedAndSendsTheNotice) {
    CPlayer* a = Player();
    CPlayer* b = Player();
    CPlayer* c = Player();
    struct Step {
        CMobile* actor;
        CMobile* other;
        std::vector<std::string> packets;
    };
    const Step steps[] = {
        // No group: it is formed with both as members.
        {a,
         b,
         {"msg " + S(a) + " Group formed and member added",
          "39 " + S(a) + " " + S(a) + " " + S(b)}},
        // The leader adds a third.
        {a, c, {"msg " + S(c) + " I've joined a group.", "39 " + S(a) + " " + S(a) + " " + S(c)}},
        // A member naming itself leaves and stays out.
        {c, c, {"msg " + S(c) + " I've left a group.", "39 " + S(c) + " " + S(c) + " " + S(c)}},
        // The leader naming a member toggles it out; no notice.
        {a, b, {"msg " + S(b) + " I've left a group."}},
        // Without a second mobile: the empty notice.
        {a, nullptr, {"39 " + S(a) + " 0 0"}},
        // The leader naming itself disbands.
        {a, a, {}},
    };
    for (const Step& step : steps) {
        packets.log.clear();
        g_mobileGroups.GroupCommand(step.actor, step.other);
        EXPECT_EQ(packets.log, step.packets) << S(step.actor);
    }
    EXPECT_EQ(g_mobileGroups.GroupCount(), 0);
    EXPECT_EQ(g_mobileGroups.FindLeaderOfMember(c), nullptr);

    // A non-player actor does nothing.
    packets.log.clear();
    CMobile* npc = Mobile();
    g_mobileGroups.GroupCommand(npc, a);
    EXPECT_TRUE(packets.log.empty());
    EXPECT_EQ(g_mobileGroups.GroupCount(), 0);
}

}  // namespace
