// The atrophy sweep: the list filled with every mobile once it is empty, fifty taken from its
// back per sweep, gone mobiles skipped, and the skills resent to whoever lost something.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/random.h"
#include "server/world/combat_lists.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

class AtrophySweepTest : public WorldTest {};

TEST_F(AtrophySweepTest, FiftyASweepFromTheBackSkippingTheGone) {
    platform::SeedRandom(31);
    std::vector<CMobile*> mobiles;
    for (int i = 0; i < 60; ++i) {
        auto* m = new CNPC;
        for (int s = 0; s < 3; ++s)
            m->SetRealStat(s, 90);
        m->PlaceInWorld(Location(i % 60, 5, 0));
        mobiles.push_back(m);
    }
    g_mobileManager.FillAtrophyList();
    std::vector<u32> list = g_mobileManager.GetAtrophyList();
    ASSERT_EQ(list.size(), 60u);
    for (CMobile* m : mobiles)
        EXPECT_NE(std::find(list.begin(), list.end(), m->GetSerial()), list.end());
    // Filled only when empty.
    g_mobileManager.FillAtrophyList();
    EXPECT_EQ(g_mobileManager.GetAtrophyList().size(), 60u);

    // One of the back fifty is gone: it is taken and skipped.
    CItem* gone = g_objectManager.FindBySerial(list.back());
    gone->DeleteSelf();
    std::vector<int> before;
    for (CMobile* m : mobiles) {
        if (m == gone) continue;
        before.push_back(m->GetBaseStat(0) + m->GetBaseStat(1) + m->GetBaseStat(2));
    }
    packets.log.clear();
    g_mobileManager.SweepAtrophy();
    EXPECT_EQ(g_mobileManager.GetAtrophyList(),
              std::vector<u32>(list.begin(), list.begin() + 10));
    std::vector<std::string> expected;
    size_t k = 0;
    for (CMobile* m : mobiles) {
        if (m == gone) continue;
        const int now = m->GetBaseStat(0) + m->GetBaseStat(1) + m->GetBaseStat(2);
        if (now < before[k++]) expected.push_back("3A all " + std::to_string(m->GetSerial()));
    }
    std::vector<std::string> sent = packets.With("3A all");
    std::sort(sent.begin(), sent.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_FALSE(sent.empty());
    EXPECT_EQ(sent, expected);
    // The front ten were not touched yet.
    for (size_t i = 0; i < 10; ++i) {
        const CMobile* m = g_objectManager.FindBySerial(list[i])->AsMobile();
        EXPECT_EQ(m->GetBaseStat(0) + m->GetBaseStat(1) + m->GetBaseStat(2), 270);
    }
    g_mobileManager.SweepAtrophy();
    EXPECT_TRUE(g_mobileManager.GetAtrophyList().empty());
}

}  // namespace
