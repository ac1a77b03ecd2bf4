// Weapon templates from their files, condition, wear, value and the equip rules.
#include "server/world/weapon.h"

#include <gtest/gtest.h>

#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

std::string TemplateText(const char* type, const char* hands, int strength = 0,
                         const char* speed = "30") {
    return std::string(
               "Name: a blade\nWeapon Class: 2d6+1\nArmor Class: 0d0+5\n"
               "Hit Points: 0d0+60\nSpeed: ") +
           speed + "\nRange: 2\nMin Range: 1\nType: " + type + "\nHandedness: " + hands +
           "\nStrength Needed: " + std::to_string(strength) +
           "\nAmmo Type: 70000\nBow: 1\nHitFx: 567\nMissFx: 568\n";
}

TEST(WeaponTemplateFile, Fields) {
    struct Case {
        const char* what;
        std::string text;
        int flags, hands, speed, strength;
    } cases[] = {
        {"lower-case flags", TemplateText("slashing shield", "RightHand"), 0x11, 2, 30, 0},
        {"three flags", TemplateText("PIERCING Bashing RANGED", "TwoHanded"), 0x0E, 4, 30, 0},
        {"unknown words", TemplateText("sharp", "both"), 0, 0, 30, 0},
        {"speed keeps its low byte", TemplateText("BASHING", "LEFTHAND", 9, "300"), 4, 1, 44, 9},
        {"speed that does not scan", TemplateText("BASHING", "LEFTHAND", 9, "fast"), 4, 1, 0, 9},
    };
    for (const Case& c : cases) {
        const WeaponTemplate t = ParseWeaponTemplate(c.text, 7);
        EXPECT_EQ(t.number, 7) << c.what;
        EXPECT_EQ(t.typeFlags, c.flags) << c.what;
        EXPECT_EQ(t.handedness, c.hands) << c.what;
        EXPECT_EQ(t.speed, c.speed) << c.what;
        EXPECT_EQ(t.strengthNeeded, c.strength) << c.what;
        EXPECT_EQ(t.damage.GetCount(), 2) << c.what;
        EXPECT_EQ(t.damage.GetSides(), 6) << c.what;
        EXPECT_EQ(t.damage.GetBonus(), 1) << c.what;
        EXPECT_EQ(t.range, 2) << c.what;
        EXPECT_EQ(t.minRange, 1) << c.what;
        EXPECT_EQ(t.ammoType, 70000 & 0xFFFF) << c.what;
        EXPECT_EQ(t.hitFx, 567) << c.what;
        EXPECT_EQ(t.missFx, 568) << c.what;
    }
}

TEST(WeaponTemplateFile, KeysOutOfOrderOrMissingLeaveDefaults) {
    // The keys stand one per line in their order: a line of another key is consumed unread.
    const WeaponTemplate swapped =
        ParseWeaponTemplate("Name: x\nArmor Class: 3\nWeapon Class: 1d4\nHit Points: 5\n", 1);
    EXPECT_TRUE(swapped.damage.IsZero());
    EXPECT_TRUE(swapped.armorClass.IsZero());
    EXPECT_EQ(swapped.hitPoints.GetBonus(), 5);
    const WeaponTemplate empty = ParseWeaponTemplate("", 3);
    EXPECT_EQ(empty.typeFlags, 0);
    EXPECT_EQ(empty.speed, 0);
    // A line past 511 characters is cut: the value behind the cut is not read.
    const std::string longLine = "Name: " + std::string(600, 'a') + "\nWeapon Class: 1d4\n";
    EXPECT_EQ(ParseWeaponTemplate(longLine, 1).damage.GetSides(), 4);
    const std::string cut = "Name: x\nWeapon Class:" + std::string(520, ' ') + "1d4\n";
    EXPECT_TRUE(ParseWeaponTemplate(cut, 1).damage.IsZero());
}

class WeaponTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        g_weaponTemplates.Clear();
        // Graphic kSword names template 5 in its tile misc word and wields in the right hand.
        StaticTileRecord* r = GetTileData().MutableStatic(kSword);
        r->value = 5;
        r->layer = 1;
        StaticTileRecord* shield = GetTileData().MutableStatic(kShield);
        shield->flags = kTileWeapon;
        shield->value = 6;
        shield->layer = 2;
        StaticTileRecord* axe = GetTileData().MutableStatic(kAxe);
        axe->flags = kTileWeapon;
        axe->value = 8;
        axe->layer = 2;
        g_weaponTemplates.LoadFromText(5, TemplateText("SLASHING", "RIGHTHAND", 10));
        g_weaponTemplates.LoadFromText(6, TemplateText("SHIELD", "LEFTHAND"));
        g_weaponTemplates.LoadFromText(8, TemplateText("SLASHING", "TWOHANDED"));
    }
    void TearDown() override {
        g_weaponTemplates.Clear();
        WorldTest::TearDown();
    }
    CWeapon* Weapon(int graphic) {
        CItem* item = g_objectManager.CreateWeapon(graphic);
        EXPECT_NE(item, nullptr);
        return static_cast<CWeapon*>(item);
    }
    CPlayer* Player(int strength) {
        auto* p = new CPlayer;
        p->PlaceInWorld(Location(8, 8, 0));
        p->SetRealStat(kStatStrength, strength);
        packets.log.clear();
        return p;
    }
    static constexpr int kShield = 120;
    static constexpr int kAxe = 121;
};

TEST_F(WeaponTest, CreatedFromTheGraphicsTemplate) {
    CWeapon* w = Weapon(kSword);
    EXPECT_EQ(w->GetWeaponTemplate(), 5);
    EXPECT_EQ(w->GetArmorClass(), 5);
    EXPECT_EQ(w->GetHitPoints(), 60);
    EXPECT_EQ(w->GetMaxHitPoints(), 60);
    EXPECT_TRUE(w->IsSlashing());
    EXPECT_TRUE(w->IsHandWeapon());
    EXPECT_EQ(w->GetStrengthNeeded(), 10);
    // Without a template the graphic gives no weapon.
    GetTileData().MutableStatic(kSword)->value = 200;
    EXPECT_EQ(g_objectManager.CreateWeapon(kSword), nullptr);
}

TEST_F(WeaponTest, AWeaponWithoutTemplateAnswersDefaults) {
    auto* w = new CWeapon;
    w->SetType(kSword);
    w->SetTemplateNumber(77);  // not loaded
    EXPECT_EQ(w->GetWeaponTemplate(), kNoWeaponTemplate);
    EXPECT_EQ(w->GetRange(), 0);
    EXPECT_EQ(w->GetSpeed(), 0);
    EXPECT_EQ(w->GetTypeFlags(), 0);
    EXPECT_FALSE(w->IsHandWeapon());
    EXPECT_EQ(w->GetEffectiveRange(), 0);
    EXPECT_EQ(w->GetEffectiveArmorClass(), 0);
    EXPECT_EQ(w->RollDamage(), 0);
    delete w;
}

TEST(WeaponCondition, ScalesFromThreeQuartersToFiveQuarters) {
    struct Case {
        int current, maximum, value, scaled;
    } cases[] = {{30, 60, 10, 10}, {60, 60, 10, 12}, {0, 60, 10, 7},
                 {-5, 60, 10, 7},  {10, 0, 10, 0},   {60, 60, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CWeapon::ScaleByCondition(c.current, c.maximum, c.value), c.scaled)
            << c.current << "/" << c.maximum;
}

TEST_F(WeaponTest, Wear) {
    CWeapon* w = Weapon(kSword);
    w->SetHitPoints(3);
    platform::SeedRandom(5);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(w->Wear(0, -1), 2);  // chance 0: never
    EXPECT_EQ(w->GetHitPoints(), 3);
    EXPECT_EQ(w->Wear(300, -1), 1);  // the roll never exceeds 300
    EXPECT_EQ(w->Wear(0, 300), 1);   // the override wins over the chance
    EXPECT_EQ(w->GetHitPoints(), 1);
    EXPECT_EQ(w->Wear(300, -1), 0);  // broken
    EXPECT_EQ(w->GetHitPoints(), 0);
}

TEST_F(WeaponTest, EquipRefusals) {
    struct Case {
        const char* what;
        int strength;
        std::vector<int> worn;  // graphics worn first, each on its tile layer
        int graphic;
        int layer;
        bool ok;
        const char* message;
    } cases[] = {
        {"too weak", 9, {}, kSword, 1, false, "You are not strong enough to equip that."},
        {"strong enough", 10, {}, kSword, 1, true, nullptr},
        {"layer 0 is always allowed", 0, {}, kSword, 0, true, nullptr},
        {"one weapon at a time",
         50,
         {kSword},
         kAxe,
         2,
         false,
         "You can only wield one weapon at a time."},
        {"two-handed blocks both hands",
         50,
         {kAxe},
         kShield,
         1,
         false,
         "You already have something in both hands."},
        {"two-handed needs both hands",
         50,
         {kShield},
         kAxe,
         2,
         false,
         "You must have both hands free to wield this weapon."},
        {"a shield beside a sword", 50, {kSword}, kShield, 2, true, nullptr},
    };
    for (const Case& c : cases) {
        CPlayer* p = Player(c.strength);
        for (int g : c.worn) {
            CWeapon* w = Weapon(g);
            ASSERT_TRUE(w->EquipOn(p, GetTileData().Static(g).layer)) << c.what;
        }
        packets.log.clear();
        CWeapon* w = Weapon(c.graphic);
        EXPECT_EQ(w->EquipOn(p, c.layer), c.ok) << c.what;
        const std::vector<std::string> told =
            c.message
                ? std::vector<std::string>{"1C " + std::to_string(p->GetSerial()) + " " + c.message}
                : std::vector<std::string>{};
        EXPECT_EQ(packets.With("1C"), told) << c.what;
        if (!c.ok) w->DeleteSelf();
        p->SetStatus(p->GetStatus() | kStatusNoTriggers);
        delete p;
    }
    // An NPC is only held to the strength rule.
    auto* npc = new CNPC;
    npc->SetRealStat(kStatStrength, 50);
    ASSERT_TRUE(Weapon(kAxe)->EquipOn(npc, 2));
    EXPECT_TRUE(Weapon(kSword)->EquipOn(npc, 1));
    EXPECT_EQ(npc->GetWeapon()->GetType(), kSword);
}

TEST_F(WeaponTest, LosingStrengthKeepsTheWeaponWorn) {
    CPlayer* p = Player(12);
    CWeapon* sword = Weapon(kSword);
    ASSERT_TRUE(sword->EquipOn(p, 1));
    packets.log.clear();
    p->ModifyRealStat(kStatStrength, -3);
    EXPECT_EQ(p->GetLayer(1), sword);
    EXPECT_EQ(packets.With("1C"),
              (std::vector<std::string>{"1C " + std::to_string(p->GetSerial()) +
                                        " You are not strong enough to equip that."}));
    packets.log.clear();
    p->ModifyRealStat(kStatStrength, 5);
    EXPECT_TRUE(packets.With("1C").empty());
}

TEST_F(WeaponTest, Value) {
    CWeapon* armour = Weapon(kSword);
    GetTileData().MutableStatic(kSword)->layer = 13;  // armour value 5
    armour->SetArmorClass(4);
    armour->SetHitPoints(12);
    // On layer 13 the piece is no hand weapon: armour class 4 * (layer value 5 + 4) / 2 = 18,
    // plus 12 hit points / 6.
    const int itemPart = armour->CItem::GetValue(0, 0);
    EXPECT_EQ(armour->GetValue(0, 0), 18 + 2 + itemPart);
    armour->SetArmorClass(0);
    // (range 2 - min range 1) * speed 30 / 8 = 3, plus 12 / 6.
    EXPECT_EQ(armour->GetValue(0, 0), 3 + 2 + itemPart);
    ObjVars::Set(armour->ScriptAttachments(), "valueless", kTypeInt, {});
    EXPECT_EQ(armour->GetValue(0, 1), 0);
}

}  // namespace
