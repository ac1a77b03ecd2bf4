#include "server/world/weapon.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/cstr.h"
#include "core/random_numbers.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/world_data_files.h"

WeaponTemplateTable g_weaponTemplates;

// ---------------------------------------------------------------- template file

namespace {

constexpr size_t kLineMax = 511;

// The value after "Key:" when the line starts with exactly that key, else null.
const char* ValueAfterKey(const std::string& line, const char* key) {
    const size_t n = std::strlen(key);
    if (line.compare(0, n, key) != 0 || line.size() <= n || line[n] != ':') return nullptr;
    const char* v = line.c_str() + n + 1;
    while (*v == ' ' || *v == '\t')
        ++v;
    return v;
}

bool ScanInt(const char* v, int& out) {
    if (!v) return false;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 10);
    if (end == v) return false;
    out = static_cast<int>(n);
    return true;
}

// The next blank-separated word of the text at `at`, or empty.
std::string NextWord(const char*& at) {
    while (*at == ' ' || *at == '\t')
        ++at;
    const char* start = at;
    while (*at && *at != ' ' && *at != '\t')
        ++at;
    return std::string(start, static_cast<size_t>(at - start));
}

struct FlagName {
    const char* name;
    u8 bit;
};
constexpr FlagName kTypeNames[] = {{"SLASHING", kWeaponSlashing},
                                   {"PIERCING", kWeaponPiercing},
                                   {"BASHING", kWeaponBashing},
                                   {"RANGED", kWeaponRanged},
                                   {"SHIELD", kWeaponShield}};
constexpr FlagName kHandNames[] = {
    {"LEFTHAND", kLeftHand}, {"RIGHTHAND", kRightHand}, {"TWOHANDED", kTwoHanded}};

}  // namespace

WeaponTemplate ParseWeaponTemplate(const std::string& text, int number) {
    WeaponTemplate t;
    t.number = static_cast<u8>(number);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size() && lines.size() < 14) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, std::min(end - pos, kLineMax));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = end + 1;
    }
    lines.resize(14);
    int v = 0;
    auto dice = [&](int i, const char* key, Dice& out) {
        const char* value = ValueAfterKey(lines[static_cast<size_t>(i)], key);
        if (value && *value) out = Dice(NextWord(value).c_str());
    };
    auto byte = [&](int i, const char* key, u8& out) {
        if (ScanInt(ValueAfterKey(lines[static_cast<size_t>(i)], key), v)) out = static_cast<u8>(v);
    };
    auto word = [&](int i, const char* key, u16& out) {
        if (ScanInt(ValueAfterKey(lines[static_cast<size_t>(i)], key), v))
            out = static_cast<u16>(v);
    };
    // Line 0 names the weapon; the item's own name is what players see.
    dice(1, "Weapon Class", t.damage);
    dice(2, "Armor Class", t.armorClass);
    dice(3, "Hit Points", t.hitPoints);
    byte(4, "Speed", t.speed);
    byte(5, "Range", t.range);
    byte(6, "Min Range", t.minRange);
    if (const char* value = ValueAfterKey(lines[7], "Type")) {
        for (int k = 0; k < 3; ++k) {
            const std::string w = NextWord(value);
            for (const FlagName& f : kTypeNames) {
                if (!w.empty() && StrCompareNoCase(w.c_str(), f.name) == 0) t.typeFlags |= f.bit;
            }
        }
    }
    if (const char* value = ValueAfterKey(lines[8], "Handedness")) {
        const std::string w = NextWord(value);
        for (const FlagName& f : kHandNames) {
            if (!w.empty() && StrCompareNoCase(w.c_str(), f.name) == 0) t.handedness = f.bit;
        }
    }
    byte(9, "Strength Needed", t.strengthNeeded);
    word(10, "Ammo Type", t.ammoType);
    byte(11, "Bow", t.bow);
    word(12, "HitFx", t.hitFx);
    word(13, "MissFx", t.missFx);
    return t;
}

std::string WeaponTemplatePath(int n) {
    return "../.rundir/weapons/weapon." + std::to_string(n);
}

void WeaponTemplateTable::LoadAll() {
    for (int n = 0; n < kSlots; ++n)
        Load(n);
}

void WeaponTemplateTable::Load(int n) {
    if (n < 0 || n >= kSlots) return;
    std::vector<u8> bytes;
    if (!ReadArchiveFile(WeaponTemplatePath(n), bytes)) return;
    LoadFromText(n, std::string(bytes.begin(), bytes.end()));
}

void WeaponTemplateTable::LoadFromText(int n, const std::string& text) {
    if (n < 0 || n >= kSlots) return;
    slots_[n] = std::make_unique<WeaponTemplate>(ParseWeaponTemplate(text, n));
}

void WeaponTemplateTable::Clear() {
    for (auto& slot : slots_)
        slot.reset();
}

const WeaponTemplate* WeaponTemplateTable::Get(int n) const {
    return n >= 0 && n < kSlots ? slots_[n].get() : nullptr;
}

WeaponTemplate* WeaponTemplateTable::GetMutable(int n) {
    return n >= 0 && n < kSlots ? slots_[n].get() : nullptr;
}

bool WeaponTemplateTable::ApplyTo(int n, CWeapon* weapon) const {
    const WeaponTemplate* t = Get(n);
    if (!t || !weapon) return false;
    weapon->SetTemplateNumber(n);
    weapon->SetWeaponClass(t->damage);
    weapon->SetArmorClass(t->armorClass.Roll());
    const int hits = t->hitPoints.Roll();
    weapon->SetHitPoints(hits);
    weapon->SetMaxHitPoints(hits);
    return true;
}

// ---------------------------------------------------------------- CWeapon

namespace {
const WeaponTemplate kDefaultTemplate;

int TileMiscWord(int graphic) {
    return static_cast<int>(GetTileInfo(graphic).value & 0xFFFF);
}

// Tile layer -> armour value; searched from the first entry.
constexpr struct {
    u8 layer, value;
} kArmorLayers[] = {{6, 2}, {10, 1}, {13, 5}, {5, 5},  {22, 5}, {20, 5}, {24, 3},
                    {4, 3}, {3, 3},  {23, 3}, {19, 2}, {5, 2},  {7, 1},  {2, 3}};

void TellSelf(CMobile* mobile, const char* text) {
    if (CPlayer* player = mobile->AsPlayer()) GetPacketServices().TellSelf(player, text);
}
}  // namespace

CWeapon::CWeapon() = default;
CWeapon::~CWeapon() = default;

void CWeapon::DeleteSelf() {
    if (DeleteSelfChecked()) delete this;
}

const WeaponTemplate& CWeapon::Template() const {
    const WeaponTemplate* t = g_weaponTemplates.Get(template_);
    return t ? *t : kDefaultTemplate;
}

void CWeapon::SetTemplateNumber(int n) {
    template_ = g_weaponTemplates.Get(n) ? static_cast<u8>(n) : kNoWeaponTemplate;
}

bool CWeapon::ApplyTemplateFromGraphic() {
    return g_weaponTemplates.ApplyTo(TileMiscWord(type_), this);
}

void CWeapon::SetTemplateFromGraphic() {
    const int n = TileMiscWord(type_);
    if (n >= 0 && n < WeaponTemplateTable::kSlots) SetTemplateNumber(n);
}

bool CWeapon::IsHandWeapon() const {
    if (IsShield()) return false;
    const int layer = GetTileInfo(type_).layer;
    return (layer == 1 || layer == 2) && (GetTypeFlags() & 0x0F) != 0;
}

int CWeapon::GetArmorLayerValue() const {
    if (IsHandWeapon()) return 0;
    const int layer = GetTileInfo(type_).layer;
    for (const auto& e : kArmorLayers) {
        if (e.layer == layer) return e.value;
    }
    return 0;
}

int CWeapon::ScaleByCondition(int current, int maximum, int value) {
    if (maximum <= 0) return 0;
    const double ratio = static_cast<double>(current > 0 ? current : 0) / maximum;
    return static_cast<int>(std::floor((ratio + 1.5) / 2.0 * value));
}

int CWeapon::GetEffectiveArmorClass() const {
    return ScaleByCondition(hitPoints_, maxHitPoints_, armorClass_);
}

int CWeapon::RollDamage() const {
    return ScaleByCondition(hitPoints_, maxHitPoints_, damage_.Roll());
}

int CWeapon::GetEffectiveRange() const {
    return ScaleByCondition(hitPoints_, maxHitPoints_, GetRange());
}

int CWeapon::Wear(int chance, int override) {
    const int roll = RandomRange(1, 300);
    const int c = override == -1 ? chance : override;
    if (roll > c) return 2;
    if (hitPoints_ > 1) {
        --hitPoints_;
        return 1;
    }
    hitPoints_ = 0;
    return 0;
}

int CWeapon::GetValue(int useTypeBase, int applyMinimum) {
    if (IsValueless()) return 0;
    int v = 0;
    if (armorClass_ > 0) {
        v = armorClass_ * (GetArmorLayerValue() + 4) / 2;
    } else {
        const int range = GetRange();
        const int d = (damage_.Average() + (range > 1 ? 1 : 0)) != 0 ? range - GetMinRange() : 0;
        v = d * GetSpeed() / 8;
    }
    v += hitPoints_ / 6 + CItem::GetValue(useTypeBase, 0);
    if (applyMinimum && v <= 0) {
        v = GetTileInfo(type_).BaseValue();
        if (v <= 0) v = 1;
    }
    return v;
}

bool CWeapon::CanEquip(CMobile* mobile, int layer) const {
    if (layer == 0 || g_objectManager.IsOn(ObjectSwitch::kLoading)) return true;
    if (mobile->GetBaseStat(kStatStrength) < GetStrengthNeeded()) {
        TellSelf(mobile, "You are not strong enough to equip that.");
        return false;
    }
    if (!mobile->IsPlayer()) return true;
    if (mobile->GetLayer(layer) == this) return true;
    const CWeapon* current = mobile->GetWeapon();
    if ((layer == 1 || layer == 2) && current && current->IsTwoHanded()) {
        TellSelf(mobile, "You already have something in both hands.");
        return false;
    }
    if (IsHandWeapon() && current) {
        TellSelf(mobile, "You can only wield one weapon at a time.");
        return false;
    }
    if (!IsHandWeapon()) return true;
    const bool right = mobile->GetLayer(1) != nullptr;
    const bool left = mobile->GetLayer(2) != nullptr;
    const int hands = GetHandedness();
    if (hands == kTwoHanded && (right || left)) {
        TellSelf(mobile, "You must have both hands free to wield this weapon.");
        return false;
    }
    if (hands == kRightHand && right) {
        TellSelf(mobile, "Your right hand must be free to wield this weapon.");
        return false;
    }
    if (hands == kLeftHand && left) {
        TellSelf(mobile, "Your left hand must be free to wield this weapon.");
        return false;
    }
    return true;
}

bool CWeapon::EquipOn(CMobile* mobile, int layer) {
    if (!mobile || !CanEquip(mobile, layer)) return false;
    const u32 wearer = mobile->GetSerial();
    if (!CItem::EquipOn(mobile, layer)) return false;
    // A weapon taken in hand starts its swing from the beginning.
    if (IsHandWeapon() && IsObjectAlive(wearer, mobile)) mobile->RestartSwingCounter();
    return true;
}

CWeapon* CMobile::GetWeapon() const {
    CWeapon* one =
        layers_[1] && layers_[1]->IsWeapon() ? static_cast<CWeapon*>(layers_[1]) : nullptr;
    if (one) return one;
    CWeapon* two =
        layers_[2] && layers_[2]->IsWeapon() ? static_cast<CWeapon*>(layers_[2]) : nullptr;
    return two && !two->IsShield() ? two : nullptr;
}
