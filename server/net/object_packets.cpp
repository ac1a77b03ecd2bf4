#include "server/net/object_packets.h"

#include <cstring>

#include "core/random_numbers.h"
#include "server/net/packet_build.h"
#include "server/server_config.h"
#include "server/world/player.h"
#include "server/world/tile_data.h"

namespace {

constexpr u16 kMultiGraphicBit = 0x4000;
constexpr u16 kFieldFollowsBit = 0x8000;
constexpr u16 kFlagsFollowBit = 0x4000;
constexpr int kFirstSentLayer = 1;
constexpr int kLastSentLayer = 28;

// The colour word of the login confirmation: entry 1-15 picked at random, entry 0 unused.
constexpr u32 kLoginColours[16] = {0,        0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00, 0xFF00FF,
                                   0x00FFFF, 0xFFFFFF, 0x00007F, 0x007F00, 0x7F0000, 0x7F7F00,
                                   0x7F007F, 0x007F7F, 0x7F7F7F, 0xFF7F00};

// The 16 bytes 0x77 and 0x78 share.
void AppendMobileFields(PacketWriter& w, const CMobile& mobile, int direction, int notoriety) {
    const Location& at = mobile.GetLocation();
    w.AppendLong(mobile.GetSerial());
    w.AppendShort(mobile.GetBody());
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendByte(FieldByte(at.z));
    w.AppendByte(FieldByte(direction));
    w.AppendShort(mobile.GetHue());
    w.AppendByte(StatusFlagsByte(mobile));
    w.AppendByte(FieldByte(notoriety));
}

}  // namespace

int ItemPacketAmount(const CItem& item, const ItemPacketValues& values) {
    if (GetTileData().StaticFlags(item.GetType()) & kTileGeneric) return values.ResourceUnits(item);
    return item.GetPacketAmount();
}

bool BuildObjectInfoPacket(PacketWriter& w, const CItem& item, const ItemPacketValues& values) {
    w.Begin(0x1A, true);
    int amount = ItemPacketAmount(item, values);
    if (amount == 0) amount = 1;
    const bool withAmount = amount != 1;
    u16 graphic = item.GetType();
    const int multiType = item.IsMobile() ? -1 : values.MultiType(item);
    if (multiType >= 0) graphic = static_cast<u16>(multiType | kMultiGraphicBit);
    const u8 increment = GraphicIncrement(item);
    const int layerByte = item.GetLayerByte();
    const u8 flags = StatusFlagsByte(item);
    const Location& at = item.GetLocation();

    w.AppendLong(item.GetSerial() | (withAmount ? 0x80000000u : 0u));
    w.AppendShort(static_cast<u16>(graphic | (increment ? kFieldFollowsBit : 0)));
    if (increment) w.AppendByte(increment);
    if (withAmount) w.AppendShort(FieldWord(amount));
    w.AppendShort(static_cast<u16>((at.x & 0x7FFF) | (layerByte ? kFieldFollowsBit : 0)));
    w.AppendShort(static_cast<u16>((at.y & 0x3FFF) | (item.GetHue() ? kFieldFollowsBit : 0) |
                                   (flags ? kFlagsFollowBit : 0)));
    if (layerByte) w.AppendByte(FieldByte(layerByte));
    w.AppendByte(FieldByte(at.z));
    if (item.GetHue()) w.AppendShort(item.GetHue());
    if (flags) w.AppendByte(flags);
    return FinishPacket(w, 0x1A);
}

bool BuildLoginConfirmPacket(PacketWriter& w, const CPlayer& player, int direction) {
    const Location& at = player.GetLocation();
    w.Begin(0x1B, false);
    w.AppendLong(player.GetSerial());
    w.AppendLong(0);
    w.AppendShort(player.GetBody());
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendShort(ZWord(at.z));
    w.AppendByte(FieldByte(direction));
    w.AppendByte(FieldByte(g_serverConfig.id));
    w.AppendLong(kLoginColours[RandomRange(1, 15)]);
    w.AppendShort(FieldWord(g_serverConfig.x));
    w.AppendShort(FieldWord(g_serverConfig.y));
    w.AppendShort(FieldWord(g_serverConfig.width));
    w.AppendShort(FieldWord(g_serverConfig.height));
    w.AppendZeros(6);
    return FinishPacket(w, 0x1B);
}

bool BuildDeleteObjectPacket(PacketWriter& w, u32 serial) {
    return BuildOneLongPacket(w, 0x1D, serial);
}

bool BuildPlayerUpdatePacket(PacketWriter& w, const CPlayer& player, int direction) {
    const Location& at = player.GetLocation();
    w.Begin(0x20, false);
    w.AppendLong(player.GetSerial());
    w.AppendShort(player.GetBody());
    w.AppendByte(GraphicIncrement(player));
    w.AppendShort(player.GetHue());
    w.AppendByte(StatusFlagsByte(player));
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendShort(FieldWord(g_serverConfig.id));
    w.AppendByte(FieldByte(direction));
    w.AppendByte(FieldByte(at.z));
    return FinishPacket(w, 0x20);
}

bool BuildMoveRejectPacket(PacketWriter& w, int sequence, int x, int y, int direction, int z) {
    w.Begin(0x21, false);
    w.AppendByte(FieldByte(sequence));
    w.AppendShort(FieldWord(x));
    w.AppendShort(FieldWord(y));
    w.AppendByte(FieldByte(direction));
    w.AppendByte(FieldByte(z));
    return FinishPacket(w, 0x21);
}

bool BuildMoveAckPacket(PacketWriter& w, int sequence, int notoriety) {
    w.Begin(0x22, false);
    w.AppendByte(FieldByte(sequence));
    w.AppendByte(FieldByte(notoriety));
    return FinishPacket(w, 0x22);
}

bool BuildMobileUpdatePacket(PacketWriter& w, const CMobile& mobile, int direction, int notoriety) {
    w.Begin(0x77, false);
    AppendMobileFields(w, mobile, direction, notoriety);
    return FinishPacket(w, 0x77);
}

bool BuildMobileIncomingPacket(PacketWriter& w, const CMobile& mobile, int direction,
                               int notoriety) {
    w.Begin(0x78, true);
    AppendMobileFields(w, mobile, direction, notoriety);
    for (int layer = kFirstSentLayer; layer <= kLastSentLayer; ++layer) {
        const CItem* item = mobile.GetLayer(layer);
        if (!item) continue;
        const u16 hue = item->GetHue();
        w.AppendLong(item->GetSerial());
        w.AppendShort(static_cast<u16>(item->GetType() | (hue ? kFieldFollowsBit : 0)));
        w.AppendByte(FieldByte(layer));
        if (hue) w.AppendShort(hue);
    }
    w.AppendLong(0);
    return FinishPacket(w, 0x78);
}

bool BuildWornItemPacket(PacketWriter& w, const CItem& item, const CMobile& wearer, int layer) {
    w.Begin(0x2E, false);
    w.AppendLong(item.GetSerial());
    w.AppendShort(item.GetType());
    w.AppendByte(GraphicIncrement(item));
    w.AppendByte(FieldByte(layer));
    w.AppendLong(wearer.GetSerial());
    w.AppendShort(item.GetHue());
    return FinishPacket(w, 0x2E);
}

bool BuildCorpseEquipmentPacket(PacketWriter& w, u32 corpseSerial,
                                CItem* const (&slots)[kCorpseSlotCount]) {
    w.Begin(0x89, true);
    w.AppendLong(corpseSerial);
    for (int i = 0; i < kCorpseSlotCount; ++i) {
        if (!slots[i]) continue;
        w.AppendByte(FieldByte(i + 1));
        w.AppendLong(slots[i]->GetSerial());
    }
    w.AppendByte(0);
    return FinishPacket(w, 0x89);
}

bool BuildMobileDeathPacket(PacketWriter& w, u32 mobileSerial, u32 corpseSerial, u32 flag) {
    w.Begin(0xAF, false);
    w.AppendLong(mobileSerial);
    w.AppendLong(corpseSerial);
    w.AppendLong(flag);
    return FinishPacket(w, 0xAF);
}

bool BuildStatusPacket(PacketWriter& w, const CMobile& mobile, bool detailed,
                       const MobileStatusValues& values) {
    // A player shows its shown name, an NPC its own name, anything else nothing.
    const char* name = "";
    if (mobile.IsPlayer()) {
        name = mobile.GetName(0);
    } else if (mobile.IsNPC()) {
        name = mobile.GetRealName();
    }
    const MobileVitals& v = values.vitals;
    w.Begin(0x11, true);
    w.AppendLong(mobile.GetSerial());
    w.AppendFixedText(name, 30);
    w.AppendShort(FieldWord(v.hits));
    w.AppendShort(FieldWord(v.maxHits));
    w.AppendByte(mobile.IsNPC() && values.isPetOfViewer ? 1 : 0);
    w.AppendByte(detailed ? 1 : 0);
    if (detailed) {
        w.AppendByte(mobile.IsPlayer() ? FieldByte(values.sex) : 0);
        for (int stat : values.stats)
            w.AppendShort(FieldWord(stat));
        w.AppendShort(FieldWord(v.fatigue));
        w.AppendShort(FieldWord(v.maxFatigue));
        w.AppendShort(FieldWord(v.mana));
        w.AppendShort(FieldWord(v.maxMana));
        w.AppendLong(values.gold);
        w.AppendShort(FieldWord(values.armour));
        w.AppendShort(FieldWord(mobile.GetWeight()));
    }
    return FinishPacket(w, 0x11);
}

bool BuildFullStatsPacket(PacketWriter& w, u32 serial, const MobileVitals& v) {
    w.Begin(0x2D, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(v.maxHits));
    w.AppendShort(FieldWord(v.hits));
    w.AppendShort(FieldWord(v.maxMana));
    w.AppendShort(FieldWord(v.mana));
    w.AppendShort(FieldWord(v.maxFatigue));
    w.AppendShort(FieldWord(v.fatigue));
    return FinishPacket(w, 0x2D);
}

namespace {
bool BuildStatBar(PacketWriter& w, u8 id, u32 serial, int maximum, int current) {
    w.Begin(id, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(maximum));
    w.AppendShort(FieldWord(current));
    return FinishPacket(w, id);
}
}  // namespace

bool BuildHitsPacket(PacketWriter& w, u32 serial, int maximum, int current) {
    return BuildStatBar(w, 0xA1, serial, maximum, current);
}
bool BuildManaPacket(PacketWriter& w, u32 serial, int maximum, int current) {
    return BuildStatBar(w, 0xA2, serial, maximum, current);
}
bool BuildFatiguePacket(PacketWriter& w, u32 serial, int maximum, int current) {
    return BuildStatBar(w, 0xA3, serial, maximum, current);
}

bool BuildSkillNamesPacket(PacketWriter& w, int count, const std::vector<SkillNameEntry>& table) {
    w.Begin(0x3A, true);
    w.AppendByte(0xFE);
    w.AppendShort(FieldWord(count));
    for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i) {
        const SkillNameEntry& skill = table[static_cast<size_t>(i)];
        if (!skill.valid) continue;
        // The length byte counts the terminator, so a name is at most 254 characters.
        const size_t length = skill.name ? strnlen(skill.name, 254) : 0;
        w.AppendByte(skill.directlyUsable ? 1 : 0);
        w.AppendByte(static_cast<u8>(length + 1));
        w.AppendBytes(skill.name, length);
        w.AppendByte(0);
    }
    return FinishPacket(w, 0x3A);
}

bool BuildSkillListPacket(PacketWriter& w, u8 type, const std::vector<int>& values) {
    w.Begin(0x3A, true);
    w.AppendByte(type);
    for (size_t i = 0; i < values.size(); ++i) {
        w.AppendShort(FieldWord(static_cast<int>(i) + 1));
        w.AppendShort(FieldWord(values[i]));
    }
    w.AppendShort(0);
    return FinishPacket(w, 0x3A);
}

bool BuildSkillUpdatePacket(PacketWriter& w, int skill, int value) {
    w.Begin(0x3A, true);
    w.AppendByte(0xFF);
    w.AppendShort(FieldWord(skill));
    w.AppendShort(FieldWord(value));
    return FinishPacket(w, 0x3A);
}

bool BuildPaperdollPacket(PacketWriter& w, u32 serial, const char* title, int warMode) {
    w.Begin(0x88, false);
    w.AppendLong(serial);
    w.AppendFixedText(title, 60);
    w.AppendByte(FieldByte(warMode));
    return FinishPacket(w, 0x88);
}
