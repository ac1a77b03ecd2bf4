// Serials from packets: a check answers the object only while the serial still names it, and
// the reach rule of the use and target requests.
#include "server/net/object_checks.h"

#include <gtest/gtest.h>

#include "server/world/item_kinds.h"
#include "tests/server/world/world_test_support.h"

namespace {

class ObjectChecksTest : public WorldTest {
protected:
    template <class T>
    T* Placed(int x, int y) {
        T* m = new T;
        m->PlaceInWorld(Location(x, y, 0));
        return m;
    }
};

TEST_F(ObjectChecksTest, ASerialIssuedAgainNamesTheNewObjectOnly) {
    CItem* old = NewItem();
    const u32 serial = old->GetSerial();
    EXPECT_EQ(IsObjectAlive(serial, old), old);
    delete old;
    g_objectManager.SetSerialCounter(serial);
    CItem* reissued = NewItem();
    ASSERT_EQ(reissued->GetSerial(), serial);
    EXPECT_EQ(IsObjectAlive(serial, old), nullptr) << "the old object is gone";
    EXPECT_EQ(IsObjectAlive(serial, reissued), reissued);
    EXPECT_EQ(IsObjectAlive(serial + 1, reissued), nullptr);
    EXPECT_EQ(IsObjectAlive(serial, nullptr), nullptr);
}

TEST_F(ObjectChecksTest, TypedChecksAnswerOnlyObjectsOfTheirKind) {
    CItem* plain = NewItem();
    CItem* bag = NewItem(kBag);
    CItem* sword = NewItem(kSword);  // a weapon by its tile flags, no template needed
    CItem* map = NewItem(kMapGraphic);
    CPlayer* player = Placed<CPlayer>(10, 10);
    CMobile* mobile = Placed<CMobile>(11, 10);
    auto s = [](CItem* i) { return i->GetSerial(); };
    EXPECT_EQ(IsContainerAlive(s(bag), bag), bag->AsContainer());
    EXPECT_EQ(IsContainerAlive(s(plain), plain), nullptr);
    EXPECT_EQ(IsWeaponAlive(s(sword), sword), sword->AsWeapon());
    EXPECT_NE(IsWeaponAlive(s(sword), sword), nullptr);
    EXPECT_EQ(IsWeaponAlive(s(plain), plain), nullptr);
    EXPECT_NE(IsMapAlive(s(map), map), nullptr);
    EXPECT_EQ(IsMapAlive(s(bag), bag), nullptr);
    EXPECT_EQ(IsPlayerAlive(s(player), player), player);
    EXPECT_EQ(IsPlayerAlive(s(mobile), mobile), nullptr);
    EXPECT_EQ(IsMobileAlive(s(mobile), mobile), mobile);
    EXPECT_EQ(IsMobileAlive(s(plain), plain), nullptr);
    EXPECT_EQ(IsNpcAlive(s(mobile), mobile), nullptr);
    EXPECT_EQ(IsMobileAlive(s(mobile), player), nullptr) << "another object's serial";
}

TEST_F(ObjectChecksTest, ReachIs18TilesToTheHolderAndEverythingThePlayerCarries) {
    CPlayer* player = Placed<CPlayer>(10, 10);
    CItem* pack = NewItem(kBag);
    ASSERT_TRUE(pack->EquipOn(player, 21));
    CItem* inner = NewItem(kBag);
    ASSERT_TRUE(inner->AddToContainer(pack, Location(1, 1, 0)));
    CItem* deep = NewItem();
    ASSERT_TRUE(deep->AddToContainer(inner, Location(1, 1, 0)));

    CMobile* other = Placed<CMobile>(12, 10);
    CItem* otherPack = NewItem(kBag);
    ASSERT_TRUE(otherPack->EquipOn(other, 21));
    CItem* otherBag = NewItem(kBag);
    ASSERT_TRUE(otherBag->AddToContainer(otherPack, Location(1, 1, 0)));
    CItem* otherThing = NewItem();
    ASSERT_TRUE(otherThing->AddToContainer(otherPack, Location(2, 2, 0)));
    CMobile* farOther = Placed<CMobile>(40, 10);
    CItem* farPack = NewItem(kBag);
    ASSERT_TRUE(farPack->EquipOn(farOther, 21));

    struct Case {
        const char* name;
        CItem* object;
        bool allowOtherMobiles;
        bool reachable;
    };
    const Case cases[] = {
        {"ground, 18 tiles", PlacedItem(28, 10, 0), false, true},
        {"ground, 19 tiles", PlacedItem(29, 10, 0), false, false},
        {"ground, 18 tiles diagonally", PlacedItem(28, 28, 0), false, true},
        {"ground, 19 tiles in y", PlacedItem(10, 29, 0), false, false},
        {"deep in the player's pack", deep, false, true},
        {"the player's own pack", pack, false, true},
        {"another mobile's pack, not allowed", otherPack, false, false},
        {"another mobile's pack, allowed", otherPack, true, true},
        {"a bag in another mobile's pack, allowed", otherBag, true, true},
        {"a plain item in another mobile's pack", otherThing, true, false},
        {"a pack 30 tiles away, allowed", farPack, true, false},
        {"a mobile itself, near", other, false, true},
    };
    for (const Case& c : cases) {
        u32 serial = c.object->GetSerial();
        CheckReach(*player, serial, c.allowOtherMobiles);
        EXPECT_EQ(serial, c.reachable ? c.object->GetSerial() : 0u) << c.name;
    }
    // No such object; and edit mode reaches everything there is.
    u32 none = 0x7FFFFFF0;
    CheckReach(*player, none, true);
    EXPECT_EQ(none, 0u);
    player->SetFlagWord(kPlayerEditing);
    CItem* far = PlacedItem(60, 60, 0);
    u32 serial = far->GetSerial();
    CheckReach(*player, serial, false);
    EXPECT_EQ(serial, far->GetSerial());
}

}  // namespace
