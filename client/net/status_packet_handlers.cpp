#include "client/net/status_packet_handlers.h"

#include <algorithm>
#include <array>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/net/client_link.h"
#include "client/net/packet_texts.h"
#include "client/net/server_feature_flag.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/net/text_window_hooks.h"
#include "client/world/client_world.h"
#include "core/packet_reader.h"

namespace {

constexpr int kSkills = SkillRecords::kSkills;

enum SkillListType : u8 {
    kOwnList = 0,
    kOthersList = 1,
    kSkillNames = 254,
    kOneSkill = 255,
};

// The pairs a bar packet carried go onto the player (when it is the player) and into the
// mobile's open status windows; nothing for a serial the client does not know as a mobile.
void ApplyStatBars(u32 serial, const StatBars& bars) {
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (!o || !o->IsMobile()) return;
    if (o->IsPlayer()) {
        auto* player = static_cast<CClientPlayer*>(o);
        if (bars.pairs & StatBars::kHits) {
            player->hits = bars.hits;
            player->maxHits = bars.maxHits;
        }
        if (bars.pairs & StatBars::kMana) {
            player->mana = bars.mana;
            player->maxMana = bars.maxMana;
        }
        if (bars.pairs & StatBars::kStamina) {
            player->stamina = bars.stamina;
            player->maxStamina = bars.maxStamina;
        }
    }
    TheTextWindowHooks().UpdateStatusBars(serial, bars);
}

// The entries {skill number from 1, value} of a full list, ended by number 0 or by the
// packet's end, at most one per skill slot's worth. Numbers outside 1-50 are kept out.
bool ReadSkillEntries(PacketReader& r, std::array<u16, kSkills>& values) {
    for (int entry = 0; entry < kSkills && r.Remaining() >= 2; ++entry) {
        u16 number = 0, value = 0;
        r.ReadShort(number);
        if (number == 0) break;
        if (!r.ReadShort(value)) return false;
        if (number <= kSkills) values[number - 1] = value;
    }
    return r.Ok();
}

}  // namespace

void StatusPacketHandlers::Install(ServerPacketDispatcher& d) {
    using H = StatusPacketHandlers;
    static const HandlerRow<H> kRows[] = {
        {0x11, &H::OnStatus},  {0x2D, &H::OnStats},  {0xA1, &H::OnHits},        {0xA2, &H::OnMana},
        {0xA3, &H::OnStamina}, {0x3A, &H::OnSkills}, {0xB9, &H::OnFeatureFlag},
    };
    InstallHandlerRows(d, *this, kRows);
}

void StatusPacketHandlers::OnStatus(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    StatusRecord s;
    char name[31];
    u8 rename = 0, extended = 0;
    r.ReadLong(s.serial);
    r.ReadFixedText(name, sizeof name, 30);
    r.ReadShort(s.hits);
    r.ReadShort(s.maxHits);
    r.ReadByte(rename);
    r.ReadByte(extended);
    if (extended != 0) {
        r.ReadByte(s.sex);
        r.ReadShort(s.strength);
        r.ReadShort(s.dexterity);
        r.ReadShort(s.intelligence);
        r.ReadShort(s.stamina);
        r.ReadShort(s.maxStamina);
        r.ReadShort(s.mana);
        r.ReadShort(s.maxMana);
        r.ReadLong(s.gold);
        r.ReadShort(s.armour);
        r.ReadShort(s.weight);
    }
    if (!r.Ok()) return link_.RefusePacket(r);
    s.name = name;
    link_.state.status = s;
    TextWindowHooks& windows = TheTextWindowHooks();
    windows.UpdateStatusWindows(s, rename != 0);
    if (s.serial == TheClientWorld().playerSerial) windows.SetShopMoney(u16(s.gold));
}

void StatusPacketHandlers::OnStats(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    StatBars bars;
    bars.pairs = StatBars::kAll;
    r.ReadLong(serial);
    r.ReadShort(bars.maxHits);
    r.ReadShort(bars.hits);
    r.ReadShort(bars.maxMana);
    r.ReadShort(bars.mana);
    r.ReadShort(bars.maxStamina);
    r.ReadShort(bars.stamina);
    if (!r.Ok()) return link_.RefusePacket(r);
    ApplyStatBars(serial, bars);
}

void StatusPacketHandlers::OnHits(const u8* packet, size_t length) {
    OnStatPair(packet, length, StatBars::kHits);
}
void StatusPacketHandlers::OnMana(const u8* packet, size_t length) {
    OnStatPair(packet, length, StatBars::kMana);
}
void StatusPacketHandlers::OnStamina(const u8* packet, size_t length) {
    OnStatPair(packet, length, StatBars::kStamina);
}

void StatusPacketHandlers::OnStatPair(const u8* packet, size_t length, u8 pair) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 maximum = 0, value = 0;
    r.ReadLong(serial);
    r.ReadShort(maximum);
    r.ReadShort(value);
    if (!r.Ok()) return link_.RefusePacket(r);
    StatBars bars;
    bars.pairs = pair;
    if (pair == StatBars::kHits) {
        bars.hits = value;
        bars.maxHits = maximum;
    } else if (pair == StatBars::kMana) {
        bars.mana = value;
        bars.maxMana = maximum;
    } else {
        bars.stamina = value;
        bars.maxStamina = maximum;
    }
    ApplyStatBars(serial, bars);
}

void StatusPacketHandlers::OnSkills(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 type = 0;
    if (!r.ReadByte(type)) return link_.RefusePacket(r);
    SkillRecords& skills = link_.state.skills;
    TextWindowHooks& windows = TheTextWindowHooks();
    switch (type) {
        case kSkillNames: {
            u16 count = 0;
            r.ReadShort(count);
            // Room for 50 names: the rest of the list is left unread.
            std::vector<SkillRecords::Name> names;
            for (int i = 0; i < count && i < kSkills && r.Ok(); ++i) {
                SkillRecords::Name name;
                u8 nameLength = 0;
                r.ReadByte(name.flag);
                r.ReadByte(nameLength);
                ReadCountedText(r, nameLength, name.text);
                name.text = CutText(name.text, SkillRecords::kNameLength);
                names.push_back(name);
            }
            if (!r.Ok()) return link_.RefusePacket(r);
            skills.names = names;
            return;
        }
        case kOneSkill: {
            u16 index = 0, value = 0;
            r.ReadShort(index);
            r.ReadShort(value);
            if (!r.Ok()) return link_.RefusePacket(r);
            if (index >= kSkills) return;
            skills.values[index] = value;
            ThePlayerSkillValues().values[index] = value;
            if (windows.SkillWindowOpen()) windows.RefreshSkillWindow();
            return;
        }
        case kOthersList: {
            std::array<u16, kSkills> values{};
            if (!ReadSkillEntries(r, values)) return link_.RefusePacket(r);
            windows.OpenSkillValuesWindow(values);
            return;
        }
        case kOwnList: {
            std::array<u16, kSkills> values{};
            if (!ReadSkillEntries(r, values)) return link_.RefusePacket(r);
            skills.values = values;
            std::copy(values.begin(), values.end(), ThePlayerSkillValues().values);
            if (windows.SkillWindowOpen()) {
                if (skills.windowRequested) windows.RaiseSkillWindow();
                windows.RefreshSkillWindow();
            } else if (skills.windowRequested) {
                windows.OpenSkillWindow();
                skills.windowRequested = false;
            }
            return;
        }
        default:
            return;
    }
}

void StatusPacketHandlers::OnFeatureFlag(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 value = 0;
    if (!r.ReadShort(value)) return link_.RefusePacket(r);
    SetServerFeatureFlag(value);
}
