#include "server/net/world_packet_values.h"

#include "server/world/item.h"
#include "server/world/mobile.h"
#include "server/world/player.h"
#include "server/world/skill_table.h"
#include "server/world/tile_data.h"

namespace {

constexpr int kGoldGraphic = 3821;

class WorldItemPacketValues : public ItemPacketValues {
public:
    int ResourceUnits(const CItem& item) const override { return item.CountResourceUnits(); }
    int SpellbookEntry(const CItem& item) const override {
        return static_cast<int>(GetTileData().Static(item.GetType()).value & 0xFFFF);
    }
    // Multis are not built: no item is the master of one.
    int MultiType(const CItem&) const override { return -1; }
};

}  // namespace

const ItemPacketValues& GetWorldItemPacketValues() {
    static const WorldItemPacketValues values;
    return values;
}

MobileStatusValues StatusValuesOf(CMobile& mobile, const CPlayer& viewer) {
    MobileStatusValues out;
    MobileVitals& v = out.vitals;
    v.hits = mobile.GetCurHits();
    v.maxHits = mobile.GetMaxHits();
    v.mana = mobile.GetCurMana();
    v.maxMana = mobile.GetMaxMana();
    v.fatigue = mobile.GetCurFatigue();
    v.maxFatigue = mobile.GetMaxFatigue();
    if (const CPlayer* player = mobile.AsPlayer()) out.sex = player->GetSex();
    for (int stat = 0; stat < 3; ++stat)
        out.stats[stat] = mobile.GetStat(stat);
    const int gold = mobile.IsShopKeeper() ? mobile.GetBankGold() : mobile.CountCarried(kGoldGraphic);
    out.gold = static_cast<u32>(gold > 0 ? gold : 0);
    out.armour = mobile.GetArmorRating();
    out.isPetOfViewer = mobile.IsPetOf(&viewer);
    return out;
}

std::vector<int> EffectiveSkillValues(const CMobile& mobile) {
    std::vector<int> values;
    for (int skill = 0; skill < g_skillTable.GetCount(); ++skill)
        values.push_back(mobile.GetEffectiveSkill(skill, 0));
    return values;
}
