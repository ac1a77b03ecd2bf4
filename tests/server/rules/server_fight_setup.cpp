#include "tests/server/rules/server_fight_setup.h"

#include <cstdio>
#include <tuple>

#include "platform/random.h"
#include "server/net/socket.h"
#include "server/rules/combat.h"
#include "server/rules/combat_observer.h"
#include "server/rules/effect_sequence.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "server/world/skill_table.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"
#include "server/world/weapon.h"
#include "server/world/world_utilities.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/delete_all_objects.h"
#include "tests/tools/content_builder/file_checksum.h"
#include "tools/content_builder/economy_content.h"
#include "tools/content_builder/tile_set.h"

namespace {

// The fights' own item graphics; each weapon's graphic names its template.
enum FightGraphic { kSwordArt = 150, kShieldArt, kBowArt, kTunicArt };
// Arrows are the demo's: ammunition counts in units of the economy's resources.
constexpr int kArrowArt = demo_tiles::kArrows;
constexpr int kBackpackLayer = 21;
constexpr int kTunicLayer = 13;
constexpr int kPulseMs = 250;
constexpr int kWatchedSkills[] = {kSkillBattleDefense, kSkillFighting, kSkillWeaponRanged,
                                  kSkillWeaponSlashing, kSkillMelee};

struct WeaponRow {
    int graphic;
    int layer;  // the tile data's layer
    const char* dice;
    const char* armour;
    const char* type;
    const char* hands;
    int speed, range, minRange;
};
constexpr WeaponRow kWeapons[] = {
    {kSwordArt, 1, "3d4+4", "0d0+0", "SLASHING", "RIGHTHAND", 10, 1, 0},
    {kShieldArt, 2, "0d0+0", "0d0+8", "SHIELD", "LEFTHAND", 0, 0, 0},
    {kBowArt, 2, "1d6+4", "0d0+0", "PIERCING RANGED", "TWOHANDED", 9, 8, 2},
    {kTunicArt, kTunicLayer, "0d0+0", "0d0+6", "", "TWOHANDED", 0, 0, 0},
};

// 50 skills whose stat weights teach strength from the fighting skills and dexterity from
// the defence, on a falling advance curve.
void LoadFightSkills() {
    std::string text = "version 0\nStatCurve 500\nSkillCurve 500\n";
    for (int i = 0; i < kMobileSkills; ++i) {
        text += "--\nName S" + std::to_string(i) +
                "\nStr 40\nDex 40\nInt 0\nW 0\nW 0\nW 0\nCurve 4000 2000 400\nSpare 0\nPct 100"
                "\nUse T\nCap 1\nScript s\n";
    }
    g_skillTable.LoadFromText(text);
}

// Writes what the combat rules report into the transcript, naming the mobiles.
class TranscriptObserver : public CombatObserver {
public:
    TranscriptObserver(std::string& out, const std::map<u32, std::string>& names)
        : out_(out), names_(names) {}
    void OnStrike(const CMobile& attacker, const CMobile& target, int skill, int roll,
                  int chance) override {
        out_ += "  strike " + Name(attacker) + " > " + Name(target) + " skill " +
                std::to_string(skill) + " roll " + std::to_string(roll) + " chance " +
                std::to_string(chance) + (roll < chance ? " hit\n" : " miss\n");
    }
    void OnDamageRolled(const CMobile&, int damage) override {
        out_ += "    damage " + std::to_string(damage) + "\n";
    }
    void OnAbsorbed(const CMobile& victim, int hitRow, int damage,
                    const Absorption& result) override {
        out_ += "    row " + std::to_string(hitRow) + " on " + Name(victim) + " " +
                std::to_string(damage) + " -> " + std::to_string(result.damage) + " wear " +
                std::to_string(result.weaponWear) + "/" + std::to_string(result.armorWear) +
                "/" + std::to_string(result.shieldWear) + "\n";
    }

private:
    std::string Name(const CMobile& mobile) const {
        auto it = names_.find(mobile.GetSerial());
        return it == names_.end() ? std::to_string(mobile.GetSerial()) : it->second;
    }
    std::string& out_;
    const std::map<u32, std::string>& names_;
};

CWeapon* MakeWeapon(int graphic, CMobile* on, int layer) {
    CItem* item = g_objectManager.CreateWeapon(graphic);
    EXPECT_NE(item, nullptr) << graphic;
    if (!item) return nullptr;
    EXPECT_TRUE(item->EquipOn(on, layer)) << graphic;
    return static_cast<CWeapon*>(item);
}

}  // namespace

void FightWorldTest::SetUp() {
    WalkWorldTest::SetUp();
    g_effectSequence.Clear();
    g_weaponTemplates.Clear();
    for (const WeaponRow& w : kWeapons) {
        StaticTileRecord* r = GetTileData().MutableStatic(w.graphic);
        r->flags = kTileWeapon;
        r->value = static_cast<u32>(w.graphic);
        r->layer = static_cast<u8>(w.layer);
        g_weaponTemplates.LoadFromText(
            w.graphic, std::string("Name: piece\nWeapon Class: ") + w.dice +
                           "\nArmor Class: " + w.armour + "\nHit Points: 0d0+40\nSpeed: " +
                           std::to_string(w.speed) + "\nRange: " + std::to_string(w.range) +
                           "\nMin Range: " + std::to_string(w.minRange) + "\nType: " + w.type +
                           "\nHandedness: " + w.hands +
                           "\nStrength Needed: 0\nAmmo Type: " + std::to_string(kArrowArt) +
                           "\nBow: 0\nHitFx: 0\nMissFx: 0\n");
    }
    StaticTileRecord* arrow = GetTileData().MutableStatic(kArrowArt);
    arrow->flags = kTileGeneric;
    arrow->value = 1;
    ASSERT_EQ(LoadResourceTypes(DemoResourceTypesFile(), GetResourceTypes(), nullptr), 0);
    ASSERT_EQ(LoadItemResources(DemoItemResourcesFile(), nullptr), 0);
    LoadFightSkills();
}

void FightWorldTest::TearDown() {
    SetCombatObserver(nullptr);
    g_effectSequence.Clear();
    g_weaponTemplates.Clear();
    g_skillTable.LoadFromText("");
    g_skillTable.ClearUsage();
    WalkWorldTest::TearDown();
}

void FightWorldTest::BuildWorld() {
    // What an earlier run left goes first, its clients with it.
    DeleteAllObjects();
    DeleteAllSockets();
    players.clear();
    names_.clear();
    g_effectSequence.Clear();
    g_skillTable.ClearUsage();
    g_objectManager.SetSerialCounter(kFirstSerial);

    const auto fighter = [&](CMobile* m, const char* name, int body, int str, int dex,
                             int hits) {
        m->SetBodyType(body);
        m->SetRealStat(kStatStrength, str);
        m->SetRealStat(kStatDexterity, dex);
        m->SetMaxHits(hits);
        m->SetCurHits(hits);
        names_[m->GetSerial()] = name;
        return m;
    };
    CMobile* ann = fighter(NewPlayer(20, 20), "Ann", 400, 80, 60, 140);
    ann->SetSkill(kSkillWeaponSlashing, 750);
    ann->SetSkill(kSkillFighting, 480);
    ann->SetSkill(kSkillBattleDefense, 450);
    MakeWeapon(kSwordArt, ann, 1);
    MakeWeapon(kShieldArt, ann, 2);
    MakeWeapon(kTunicArt, ann, kTunicLayer);

    CMobile* bert = fighter(NewPlayer(20, 34), "Bert", 400, 50, 80, 60);
    bert->SetSkill(kSkillWeaponRanged, 700);
    bert->SetSkill(kSkillFighting, 400);
    MakeWeapon(kBowArt, bert, 2);
    CItem* quiver = g_objectManager.CreateItem(kBag);
    EXPECT_TRUE(quiver->EquipOn(bert, kBackpackLayer));
    CItem* arrows = g_objectManager.CreateItem(kArrowArt);
    arrows->AddTypeResources(Location(), 24);
    arrows->PutInPack(bert);

    for (const auto& [name, x, y] : {std::tuple{"wolf1", 21, 20}, std::tuple{"wolf2", 20, 21}}) {
        CNPC* wolf = NewNpc(x, y);
        fighter(wolf, name, 225, 45, 60, 34);
        wolf->SetSkill(kSkillMelee, 450);
        wolf->SetNaturalWeapon(Dice("2d4+1"));
        wolf->SetNaturalArmor(4);
    }
    CNPC* deer = NewNpc(25, 34);
    fighter(deer, "deer", 237, 30, 70, 28);
    deer->SetSkill(kSkillMelee, 150);
    deer->SetNaturalWeapon(Dice("1d4"));
    deer->SetNaturalArmor(4);
    fighter(NewPlayer(26, 27), "Cleo", 401, 50, 50, 50);
    DropAll();
}

std::string FightWorldTest::Snapshot(const std::string& name, u32 serial) const {
    CMobile* m = g_objectManager.FindMobile(serial);
    if (!m) return name + " gone";
    std::string out = name + " hits " + std::to_string(m->GetCurHits()) + " stamina " +
                      std::to_string(m->GetCurFatigue());
    if (m->IsGhost()) out += " ghost";
    for (int skill : kWatchedSkills)
        out += " s" + std::to_string(skill) + "=" + std::to_string(m->GetBaseSkill(skill));
    for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat)
        out += " " + std::string("sdi").substr(stat, 1) + "=" + std::to_string(m->GetBaseStat(stat));
    for (int layer : {1, 2, kTunicLayer}) {
        CItem* worn = m->GetLayer(layer);
        if (worn && worn->IsWeapon())
            out += " L" + std::to_string(layer) + "=" +
                   std::to_string(static_cast<CWeapon*>(worn)->GetHitPoints());
    }
    if (m->IsPlayer()) out += " arrows " + std::to_string(m->CountCarried(kArrowArt));
    return out;
}

std::string FightWorldTest::RunFight(unsigned seed, int pulses) {
    clock_.Set(1000000);
    platform::SeedRandom(seed);
    BuildWorld();
    std::map<std::string, u32> serialOf;
    for (const auto& [serial, name] : names_)
        serialOf[name] = serial;
    // Who goes for whom, in order: a fighter whose target died takes the next.
    const std::vector<std::pair<std::string, std::vector<std::string>>> plans = {
        {"Ann", {"wolf1", "wolf2"}}, {"wolf1", {"Ann"}}, {"wolf2", {"Ann"}}, {"Bert", {"deer"}}};
    const auto alive = [](u32 serial) {
        CMobile* m = g_objectManager.FindMobile(serial);
        return m && !m->IsGhost() ? m : nullptr;
    };

    std::string out = "seed " + std::to_string(seed) + "\n";
    std::map<std::string, std::vector<u8>> wire;
    TranscriptObserver observer(out, names_);
    SetCombatObserver(&observer);
    s32 pulse = 100000;
    for (int p = 0; p < pulses; ++p) {
        for (const auto& [who, targets] : plans) {
            CMobile* self = alive(serialOf[who]);
            if (!self || !self->GetCombatList().IsEmpty()) continue;
            for (const std::string& t : targets) {
                if (CMobile* target = alive(serialOf[t])) {
                    StartAttack(self, target, 0);
                    break;
                }
            }
        }
        std::map<std::string, std::string> before;
        for (const auto& [name, serial] : serialOf)
            before[name] = Snapshot(name, serial);
        const size_t mark = out.size();
        out += "pulse " + std::to_string(p) + "\n";
        const size_t empty = out.size();

        ++pulse;
        SetWorldPulse(pulse);
        g_mobileManager.CombatHeartBeat(pulse);
        RunAllCallbacks();
        clock_.Advance(kPulseMs);

        for (const auto& [name, serial] : serialOf) {
            const std::string now = Snapshot(name, serial);
            if (now != before[name]) out += "  " + now + "\n";
        }
        for (CPlayer* player : players) {
            const std::string& name = names_[player->GetSerial()];
            auto* sock = static_cast<ThrottledSock*>(player->GetConnection());
            sock->FlushSendQueue();
            if (sock->wire.empty()) continue;
            out += "  to " + name + ": " + PacketIds(sock->wire) + "\n";
            wire[name].insert(wire[name].end(), sock->wire.begin(), sock->wire.end());
            sock->wire.clear();
        }
        if (out.size() == empty) out.resize(mark);
        if (!alive(serialOf["wolf1"]) && !alive(serialOf["wolf2"]) && !alive(serialOf["deer"]))
            break;
    }
    SetCombatObserver(nullptr);
    for (const auto& [name, bytes] : wire) {
        char digest[17];
        std::snprintf(digest, sizeof digest, "%016llx",
                      static_cast<unsigned long long>(Fnv1a(bytes)));
        out += "digest " + name + " " + std::to_string(bytes.size()) + " bytes " + digest + "\n";
    }
    return out;
}
