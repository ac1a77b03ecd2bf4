// What players see and hear of a fight, as a watching player's client reads it: swings,
// turns, get-hit animations, dodges, missiles, sounds, blood and ammunition.
#include "server/rules/combat_effects.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/random.h"
#include "core/random_numbers.h"
#include "script/runtime/type_script_bits.h"
#include "server/rules/effect_sequence.h"
#include "server/rules/effects.h"
#include "server/world/npc.h"
#include "server/world/tile_data.h"
#include "server/world/weapon.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/player/player_walk_support.h"
#include "tests/server/world/world_scripts_fixture.h"

namespace {

// Weapon graphics (each names the template of its own number) and the arrow.
enum WeaponGraphic {
    kSlash = 130,
    kBash,
    kPierce,
    kSlashPierce,
    kTwoSlash,
    kTwoBash,
    kTwoPierce,
    kBow,
    kPlain,  // a weapon of none of the three kinds
};
constexpr int kArrow = 140;
constexpr int kBlood = 0x1645;

std::string Be(u32 v) {
    return ToHex({u8(v >> 24), u8(v >> 16), u8(v >> 8), u8(v)});
}

// An animation packet's action, frames and repeat flag as "action/frames/flag".
std::string Anim(const std::vector<u8>& p) {
    return std::to_string(Be16(p, 5)) + "/" + std::to_string(Be16(p, 7)) + "/" +
           std::to_string(p[12]);
}

// The items of the graphic lying at the place.
std::vector<CItem*> ItemsAt(const Location& at, int graphic) {
    std::vector<CItem*> all, out;
    g_sectorGrid.CollectObjectsAt(all, at);
    for (CItem* i : all)
        if (i->GetType() == graphic && i->GetLocation() == at) out.push_back(i);
    return out;
}

// Takes away the blood within a tile of the place.
void MopUp(const Location& at) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            for (CItem* b : ItemsAt(Location(at.x + dx, at.y + dy, at.z), kBlood))
                b->DeleteSelf();
}

int CountInside(const CMobile& mobile, int graphic) {
    int n = 0;
    for (CItem* c = mobile.GetFirstChild(); c; c = c->GetNextSibling())
        n += c->GetType() == graphic;
    return n;
}

class CombatEffectsTest : public WalkWorldTest {
protected:
    void SetUp() override {
        WalkWorldTest::SetUp();
        g_effectSequence.Clear();
        g_weaponTemplates.Clear();
        const struct {
            int graphic;
            const char* type;
            const char* hands;
        } weapons[] = {
            {kSlash, "SLASHING", "RIGHTHAND"},   {kBash, "BASHING", "RIGHTHAND"},
            {kPierce, "PIERCING", "RIGHTHAND"},  {kSlashPierce, "SLASHING PIERCING", "RIGHTHAND"},
            {kTwoSlash, "SLASHING", "TWOHANDED"}, {kTwoBash, "BASHING", "TWOHANDED"},
            {kTwoPierce, "PIERCING", "TWOHANDED"}, {kBow, "PIERCING RANGED", "TWOHANDED"},
            {kPlain, "SHIELD", "LEFTHAND"},
        };
        for (const auto& w : weapons) {
            StaticTileRecord* r = GetTileData().MutableStatic(w.graphic);
            r->flags = kTileWeapon;
            r->value = static_cast<u32>(w.graphic);
            r->layer = 2;
            g_weaponTemplates.LoadFromText(
                w.graphic, std::string("Name: w\nWeapon Class: 1d4\nArmor Class: 0d0+1\n"
                                       "Hit Points: 0d0+10\nSpeed: 30\nRange: 1\nMin Range: 0\n"
                                       "Type: ") +
                               w.type + "\nHandedness: " + w.hands +
                               "\nStrength Needed: 0\nAmmo Type: 140\nBow: 0\nHitFx: 567\n"
                               "MissFx: 568\n");
        }
        viewer = NewPlayer(20, 30);
    }
    void TearDown() override {
        g_effectSequence.Clear();
        g_weaponTemplates.Clear();
        WalkWorldTest::TearDown();
    }
    CWeapon* Weapon(int graphic) {
        CItem* item = g_objectManager.CreateWeapon(graphic);
        EXPECT_NE(item, nullptr) << graphic;
        return static_cast<CWeapon*>(item);
    }
    CNPC* Npc(int x, int y, int body, int z = 0) {
        CNPC* n = NewNpc(x, y, z);
        n->SetBodyType(body);
        return n;
    }
    static void Mount(CMobile* rider) {
        CItem* mount = g_objectManager.CreateItem(kPlainItem);
        ASSERT_TRUE(mount->EquipOn(rider, kMountLayer));
    }
    // A player or an NPC of the body at (21, 20), riding or not; and its removal.
    CMobile* Target(int body, bool player, bool mounted) {
        CMobile* target = player ? static_cast<CMobile*>(NewPlayer(21, 20)) : Npc(21, 20, body);
        target->SetBodyType(body);
        if (mounted) Mount(target);
        return target;
    }
    void Remove(CMobile* target) {
        if (target->IsPlayer()) {
            Destroy(target);
        } else {
            target->DeleteSelf();
        }
    }
    // The animations (0x6E) the viewer saw since the last look.
    std::vector<std::vector<u8>> Animations() { return Got(viewer).Of(0x6E); }

    CPlayer* viewer = nullptr;
};

TEST_F(CombatEffectsTest, TheAttackAnimationByBodyWeaponAndMount) {
    const struct Case {
        int body;
        int weapon;  // 0: none
        bool mounted;
        std::set<std::string> seen;  // every animation some seed shows
    } cases[] = {
        {12, 0, false, {"4/4/1", "5/4/1", "6/4/1", "12/15/0"}},
        {5, 0, false, {"4/4/0"}},
        {30, 0, false, {"4/4/0", "5/4/0", "6/4/0"}},
        {151, 0, false, {}},
        {170, 0, false, {"5/15/0", "6/20/0"}},
        {300, 0, false, {"5/5/0", "6/5/0"}},
        {400, kBow, true, {"27/5/0"}},
        {400, kTwoSlash, true, {"29/5/0"}},
        {400, kSlash, true, {"26/5/0"}},
        {400, 0, false, {"31/7/0"}},
        {400, kSlash, false, {"9/7/0"}},
        {400, kBash, false, {"11/7/0"}},
        {400, kPierce, false, {"10/7/0"}},
        {400, kSlashPierce, false, {"9/7/0", "10/7/0"}},
        {400, kTwoSlash, false, {"13/7/0"}},
        {400, kTwoBash, false, {"12/7/0"}},
        {400, kTwoPierce, false, {"14/7/0"}},
        {400, kBow, false, {"18/7/0"}},
    };
    CNPC* target = Npc(21, 20, 400);
    for (const Case& c : cases) {
        CNPC* attacker = Npc(20, 20, c.body);
        attacker->SetDirection(2);  // already facing the target: no turn
        CWeapon* weapon = c.weapon ? Weapon(c.weapon) : nullptr;
        if (weapon) {
            ASSERT_TRUE(weapon->EquipOn(attacker, 2));
        }
        if (c.mounted) Mount(attacker);
        Got(viewer);
        std::set<std::string> seen;
        for (unsigned seed = 0; seed < 200; ++seed) {
            platform::SeedRandom(seed);
            PlaySwingAnimation(attacker, weapon, target);
            const Received got = Got(viewer);
            for (const auto& p : got.Of(0x6E)) {
                EXPECT_EQ(Be32(p, 1), attacker->GetSerial());
                EXPECT_EQ(ToHex({p[9], p[10], p[11], p[13]}), "00 01 00 01")
                    << "repeat count 1, forward, delay 1";
                seen.insert(Anim(p));
            }
            EXPECT_LE(got.Of(0x6E).size(), 1u);
            // The two-handed bow on foot also looses its missile at the target.
            const bool shoots = c.weapon == kBow && !c.mounted;
            EXPECT_EQ(got.Of(0x70).size(), shoots ? 1u : 0u) << c.body;
        }
        EXPECT_EQ(seen, c.seen) << "body " << c.body << " weapon " << c.weapon;
        attacker->DeleteSelf();
    }
}

TEST_F(CombatEffectsTest, APlayerAttackerGetsTheSwingPacketBody151NoAnimation) {
    CNPC* target = Npc(21, 20, 30);
    CPlayer* player = NewPlayer(20, 20, 0, 2);
    player->SetBodyType(151);
    DropAll();
    PlaySwingAnimation(player, nullptr, target);
    const Received got = Got(player);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]),
              "2F 00 " + Be(player->GetSerial()) + " " + Be(target->GetSerial()));
    EXPECT_EQ(Got(viewer).Ids({}), "");

    // With a body that swings, everyone near either mobile sees it, the attacker too.
    player->SetBodyType(400);
    PlaySwingAnimation(player, nullptr, target);
    EXPECT_EQ(Got(player).Ids({}), "2F 6E");
    EXPECT_EQ(Got(viewer).Ids({}), "6E");

    // An attacker out of the world does nothing at all.
    target->RemoveFromWorldQuiet();
    CNPC* gone = Npc(22, 20, 400);
    gone->RemoveFromWorldQuiet();
    PlaySwingAnimation(gone, nullptr, player);
    PlaySwingAnimation(nullptr, nullptr, player);
    EXPECT_EQ(Got(player).Ids({}), "");
}

TEST_F(CombatEffectsTest, AnNpcAttackerTurnsToItsTarget) {
    const struct {
        int x, y;
        int facing;
    } cases[] = {
        {20, 20, 7},  // its own tile
        {21, 19, 1},  // north-east
        {20, 25, 4},  // south
        {10, 21, 5},  // south-west
    };
    for (const auto& c : cases) {
        CNPC* attacker = Npc(20, 20, 151);  // no animation: only the turn shows
        attacker->SetDirection(2);
        CNPC* target = Npc(c.x, c.y, 30);
        Got(viewer);
        PlaySwingAnimation(attacker, nullptr, target);
        EXPECT_EQ(attacker->GetDirection(), c.facing) << c.x << "," << c.y;
        const auto seen = Got(viewer).Of(0x77);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(Be32(seen[0], 1), attacker->GetSerial());
        PlaySwingAnimation(attacker, nullptr, target);
        EXPECT_EQ(Got(viewer).Ids({}), "") << "facing it already";
        attacker->DeleteSelf();
        target->DeleteSelf();
    }
}

TEST_F(CombatEffectsTest, TheGetHitAnimationByBody) {
    const struct {
        int body;
        bool airborne, player, mounted;
        const char* seen;  // "" for none
    } cases[] = {
        {30, true, false, false, "21/7/0"},
        {21, false, false, false, "10/4/1"},
        {6, false, false, false, ""},
        {22, false, false, false, ""},
        {30, false, false, false, "10/4/0"},
        {200, false, false, false, "7/5/0"},
        {400, false, false, false, "20/5/0"},
        {400, false, false, true, "20/5/0"},
        {400, false, true, false, "20/5/0"},
        {400, false, true, true, ""},
    };
    CNPC* attacker = Npc(20, 20, 400);
    for (const auto& c : cases) {
        CMobile* target = Target(c.body, c.player, c.mounted);
        if (c.airborne) static_cast<CNPC*>(target)->ai.gait = 1;
        Got(viewer);
        PlayHitEffects(attacker, target, nullptr);
        const auto seen = Animations();
        if (*c.seen == 0) {
            EXPECT_TRUE(seen.empty()) << c.body;
        } else {
            ASSERT_EQ(seen.size(), 1u) << c.body;
            EXPECT_EQ(Be32(seen[0], 1), target->GetSerial());
            EXPECT_EQ(Anim(seen[0]), c.seen) << c.body;
            EXPECT_EQ(ToHex({seen[0][9], seen[0][10], seen[0][11], seen[0][13]}), "00 01 00 00")
                << "repeat count 1, forward, delay 0";
        }
        EXPECT_EQ(ItemsAt(target->GetWorldLocation(), kBlood).size(), 1u) << "blood under it";
        MopUp(target->GetWorldLocation());
        Remove(target);
    }
}

TEST_F(CombatEffectsTest, ADodgeShowsAfter33Of101Draws) {
    CNPC* attacker = Npc(20, 20, 400);
    const struct {
        int body;
        bool player;
        bool mounted;
        const char* low;   // r below 17
        const char* high;  // r from 17 to 32
    } cases[] = {
        {21, false, false, "15/3/1", "16/3/1"}, {30, false, false, "15/3/0", "16/3/0"},
        {400, false, false, "30/5/0", "30/5/0"}, {400, true, true, "", ""},
        {150, false, false, "", ""},            {5, false, false, "", ""},
        {8, false, false, "", ""},
    };
    for (const auto& c : cases) {
        CMobile* target = Target(c.body, c.player, c.mounted);
        Got(viewer);
        std::set<int> dodged;
        for (unsigned seed = 0; seed < 1500; ++seed) {
            platform::SeedRandom(seed);
            const int r = RandomRange(0, 100);
            platform::SeedRandom(seed);
            HandleMiss(attacker, target, nullptr);
            const auto seen = Animations();
            const char* expected = r < 17 ? c.low : r < 33 ? c.high : "";
            if (*expected == 0) {
                EXPECT_TRUE(seen.empty()) << c.body << " r " << r;
                continue;
            }
            ASSERT_EQ(seen.size(), 1u) << c.body << " r " << r;
            EXPECT_EQ(Anim(seen[0]), expected) << c.body << " r " << r;
            dodged.insert(r);
        }
        const bool dodges = *c.low != 0;
        EXPECT_EQ(dodged.size(), dodges ? 33u : 0u) << c.body;
        Remove(target);
    }
}

TEST_F(CombatEffectsTest, ArrowsStayInACreatureAfter25Of101Hits) {
    CNPC* attacker = Npc(20, 20, 400);
    CWeapon* bow = Weapon(kBow);
    CNPC* deer = Npc(22, 20, 30);
    std::set<int> stuck;
    int before = 0;
    for (unsigned seed = 0; seed < 1500; ++seed) {
        platform::SeedRandom(seed);
        const int r = RandomRange(0, 100);
        platform::SeedRandom(seed);
        PlayHitEffects(attacker, deer, bow);
        const int now = CountInside(*deer, kArrow);
        EXPECT_EQ(now - before, r < 25 ? 1 : 0) << "r " << r;
        if (now > before) stuck.insert(r);
        before = now;
        MopUp(deer->GetWorldLocation());
        Got(viewer);
    }
    EXPECT_EQ(stuck.size(), 25u);
    // Never in a player, and never without a ranged weapon.
    CPlayer* player = NewPlayer(23, 20);
    for (unsigned seed = 0; seed < 50; ++seed) {
        platform::SeedRandom(seed);
        PlayHitEffects(attacker, player, bow);
        PlayHitEffects(attacker, deer, Weapon(kSlash));
    }
    EXPECT_EQ(CountInside(*player, kArrow), 0);
    EXPECT_EQ(CountInside(*deer, kArrow), before);
}

TEST_F(CombatEffectsTest, AMissedArrowFallsBeyondTheTargetOrAtItsFeet) {
    // A seed whose first draw lets the arrow fall (below 50), and one that keeps it.
    unsigned falls = 0, stays = 0;
    while (platform::SeedRandom(falls), RandomRange(0, 100) >= 50)
        ++falls;
    while (platform::SeedRandom(stays), RandomRange(0, 100) < 50)
        ++stays;
    CWeapon* bow = Weapon(kBow);
    const struct {
        const char* what;
        Location from, target, landing;
    } cases[] = {
        {"a step beyond", {20, 20, 0}, {23, 20, 0}, {24, 20, 0}},
        {"diagonally beyond", {20, 20, 0}, {22, 22, 0}, {23, 23, 0}},
        {"off the grid", {60, 20, 0}, {63, 20, 0}, {63, 20, 0}},
        {"ground far below the target", {20, 24, 0}, {23, 24, 10}, {23, 24, 10}},
    };
    for (const auto& c : cases) {
        CNPC* attacker = Npc(c.from.x, c.from.y, 400, c.from.z);
        CNPC* target = Npc(c.target.x, c.target.y, 150, c.target.z);  // no dodge
        platform::SeedRandom(stays);
        HandleMiss(attacker, target, bow);
        EXPECT_TRUE(ItemsAt(c.landing, kArrow).empty()) << c.what;
        platform::SeedRandom(falls);
        HandleMiss(attacker, target, bow);
        const auto arrows = ItemsAt(c.landing, kArrow);
        EXPECT_EQ(arrows.size(), 1u) << c.what;
        for (CItem* a : arrows)
            a->DeleteSelf();
        attacker->DeleteSelf();
        target->DeleteSelf();
    }
}

TEST_F(CombatEffectsTest, TheSwingKindOfAWeapon) {
    EXPECT_EQ(GetSwingKind(nullptr), 0);
    EXPECT_EQ(GetSwingKind(Weapon(kPlain)), 0);
    EXPECT_EQ(GetSwingKind(Weapon(kSlash)), 0);
    EXPECT_EQ(GetSwingKind(Weapon(kBash)), 1);
    CWeapon* pierce = Weapon(kPierce);
    CWeapon* both = Weapon(kSlashPierce);
    std::set<int> slashes;
    for (unsigned seed = 0; seed < 1500; ++seed) {
        platform::SeedRandom(seed);
        EXPECT_EQ(GetSwingKind(pierce), 2);
        platform::SeedRandom(seed);
        const int r = RandomRange(0, 100);
        platform::SeedRandom(seed);
        const int kind = GetSwingKind(both);
        EXPECT_EQ(kind, r > 50 ? 0 : 2) << r;
        if (kind == 0) slashes.insert(r);
    }
    EXPECT_EQ(slashes.size(), 50u);
}

TEST_F(CombatEffectsTest, TurningByTheAngleBetweenTwoMobiles) {
    const struct {
        int x, y;
        int facing;
    } cases[] = {
        {20, 15, 0}, {25, 20, 2}, {25, 15, 1}, {20, 25, 4}, {15, 20, 6}, {15, 25, 5},
        {20, 20, 2},  // the same tile reads as east
    };
    CNPC* npc = Npc(20, 20, 30);
    for (const auto& c : cases) {
        CNPC* other = Npc(c.x, c.y, 30);
        npc->SetDirection(3);
        TurnToFaceByAngle(npc, other);
        EXPECT_EQ(npc->GetDirection(), c.facing) << c.x << "," << c.y;
        EXPECT_EQ(npc->GetLocation(), Location(20, 20, 0));
        other->DeleteSelf();
    }
    // A player is never turned; nor is anyone toward a mobile out of the world.
    CPlayer* player = NewPlayer(20, 21, 0, 3);
    TurnToFaceByAngle(player, npc);
    EXPECT_EQ(player->GetDirection(), 3);
    CNPC* gone = Npc(25, 20, 30);
    gone->RemoveFromWorldQuiet();
    npc->SetDirection(3);
    TurnToFaceByAngle(npc, gone);
    EXPECT_EQ(npc->GetDirection(), 3);
}

TEST_F(CombatEffectsTest, HitAndMissSoundsAndMissiles) {
    CNPC* attacker = Npc(20, 20, 30);
    CNPC* target = Npc(22, 21, 30, 3);
    CWeapon* sword = Weapon(kSlash);
    PlayHitSound(attacker, target, sword);
    PlayMissSound(attacker, target, sword);
    PlayHitSound(attacker, target, nullptr);
    PlayMissSound(attacker, target, nullptr);
    Received got = Got(viewer);
    ASSERT_EQ(got.packets.size(), 2u);
    EXPECT_EQ(ToHex(got.packets[0]), "54 01 02 37 00 00 00 16 00 15 00 03");  // 567 at the target
    EXPECT_EQ(ToHex(got.packets[1]), "54 01 02 38 00 00 00 14 00 14 00 00");  // 568 at the attacker

    // A creature's own sounds on a hit: the target's "was hit", the attacker's "hit".
    target->SetSoundId(CMobile::kSoundWasHit, 0x101);
    attacker->SetSoundId(CMobile::kSoundHit, 0x102);
    PlayHitEffects(attacker, target, nullptr);
    got = Got(viewer);
    const auto sounds = got.Of(0x54);
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(Be16(sounds[0], 2), 0x101);
    EXPECT_EQ(Be16(sounds[1], 2), 0x102);

    // Missiles need the attacker's own weapon: the arrow's graphic + 3.
    CWeapon* bow = Weapon(kBow);
    FireMissileAt(attacker, target);
    FirePastTarget(attacker, target);
    EXPECT_EQ(Got(viewer).Ids({}), "");
    ASSERT_TRUE(bow->EquipOn(attacker, 2));
    Got(viewer);
    FireMissileAt(attacker, target);
    FirePastTarget(attacker, target);
    got = Got(viewer);
    ASSERT_EQ(got.packets.size(), 2u);
    EXPECT_EQ(ToHex(got.packets[0]), "70 00 " + Be(attacker->GetSerial()) + " " +
                                         Be(target->GetSerial()) +
                                         " 00 8F 00 14 00 14 00 00 16 00 15 03 09 00 00 00 00 00");
    // Past the target: twice the way again beyond it, at the target's height.
    EXPECT_EQ(ToHex(got.packets[1]), "70 00 " + Be(attacker->GetSerial()) +
                                         " 00 00 00 00 00 8F 00 14 00 14 00 00 1A 00 17 03 05 00 "
                                         "00 00 00 00");
    // Inside an open sequence the missile becomes its record.
    BeginSequence();
    FireMissileAt(attacker, target);
    ASSERT_EQ(g_effectSequence.Records().size(), 1u);
    EXPECT_EQ(g_effectSequence.Records()[0].kind, kEffectMissileMobToMob);
    EXPECT_EQ(Got(viewer).Ids({}), "");
}

TEST_F(CombatEffectsTest, TheSwingGestureOfAnNpc) {
    CNPC* npc = Npc(20, 20, 400);
    Got(viewer);
    npc->PlayGesture(4);
    const auto seen = Animations();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(Anim(seen[0]), "31/7/0");
    EXPECT_EQ(npc->ai.actionPause, 10);
    // The swing's miss sound comes with a weapon.
    ASSERT_TRUE(Weapon(kSlash)->EquipOn(npc, 2));
    Got(viewer);
    npc->PlayGesture(4);
    EXPECT_EQ(Got(viewer).Ids({}), "6E 54");

    auto* keeper = new CShopKeeper;
    keeper->SetBodyType(400);
    keeper->PlaceInWorldQuiet(Location(21, 20, 0));
    Got(viewer);
    keeper->PlayGesture(4);
    EXPECT_EQ(Got(viewer).Ids({}), "");
    EXPECT_EQ(keeper->ai.actionPause, 0);
}

// Blood with the real script services: its type script takes it away again.
class BloodTest : public WorldScriptsTest {
protected:
    void TearDown() override {
        TypeScriptBits().reset();
        WorldScriptsTest::TearDown();
    }
    static int BloodNear(const Location& at) {
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                n += static_cast<int>(
                    ItemsAt(Location(at.x + dx, at.y + dy, at.z), kBlood).size());
        return n;
    }
};

TEST_F(BloodTest, BloodWithItsTypeScriptGoesAfter20Ticks) {
    Compile({{"5701", "member int spilt;\n"}});
    TypeScriptBits().set(kBlood);
    auto* attacker = new CNPC;
    attacker->PlaceInWorldQuiet(Location(9, 10, 0));
    auto* target = new CNPC;
    target->SetBodyType(30);
    target->PlaceInWorldQuiet(Location(10, 10, 0));
    platform::SeedRandom(3);
    PlayHitEffects(attacker, target, nullptr);
    const auto under = ItemsAt(target->GetLocation(), kBlood);
    ASSERT_EQ(under.size(), 1u);
    EXPECT_EQ(under[0]->GetStatus() & 0x08, 0x08);
    EXPECT_TRUE(HasCallback(under[0]->TimedCallbacks(), 1, 0));
    const int spilt = BloodNear(target->GetLocation());
    EXPECT_GE(spilt, 1);
    for (int pulse = 0; pulse < 20; ++pulse)
        RunAllCallbacks();
    EXPECT_EQ(BloodNear(target->GetLocation()), spilt);
    RunAllCallbacks();
    EXPECT_EQ(BloodNear(target->GetLocation()), 0);

    // Without the type script the blood stays until the world takes it.
    TypeScriptBits().reset();
    PlayHitEffects(attacker, target, nullptr);
    const auto stays = ItemsAt(target->GetLocation(), kBlood);
    ASSERT_EQ(stays.size(), 1u);
    EXPECT_EQ(stays[0]->TimedCallbacks(), nullptr);
}

}  // namespace
