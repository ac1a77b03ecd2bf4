#include "server/net/data_packets.h"

#include "core/byte_order.h"
#include "server/net/packet_build.h"
#include "server/world/base_object.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"

namespace {

constexpr size_t kTileNameField = 20;
constexpr int kHueColours = 32;
constexpr int kRegionNameField = 40;

}  // namespace

bool BuildStaticsBlockPacket(PacketWriter& w, int block) {
    const SectorCell* cell = g_sectorGrid.GetCell(block);
    if (!cell) return RefusePacket(0x3F, "no such statics block");
    u32 count = 0;
    for (const CStaticObject* s = cell->statics; s; s = s->next)
        ++count;
    w.Begin(0x3F, true);
    w.AppendLong(static_cast<u32>(block));
    w.AppendLong(count);
    w.AppendLong(0);
    for (const CStaticObject* s = cell->statics; s && w.Ok(); s = s->next) {
        const Location& at = s->GetLocation();
        w.AppendShort(s->GetType());
        w.AppendByte(static_cast<u8>(at.x & 7));
        w.AppendByte(static_cast<u8>(at.y & 7));
        w.AppendByte(static_cast<u8>(at.z));
        w.AppendShort(s->GetHue());
    }
    return FinishPacket(w, 0x3F);
}

bool BuildTerrainBlockPacket(PacketWriter& w, int block) {
    const SectorCell* cell = g_sectorGrid.GetCell(block);
    if (!cell) return RefusePacket(0x40, "no such terrain block");
    w.Begin(0x40, false);
    w.AppendLong(static_cast<u32>(block));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            w.AppendShort(cell->terrain[y][x].tile);
            w.AppendByte(static_cast<u8>(cell->terrain[y][x].z));
        }
    }
    w.AppendLong(0);
    return FinishPacket(w, 0x40);
}

bool BuildTileDataPacket(PacketWriter& w, int group) {
    if (group < 0 || group >= kTileDataGroups) return RefusePacket(0x41, "no such tile group");
    const TileData& tiles = GetTileData();
    w.Begin(0x41, true);
    w.AppendLong(static_cast<u32>(group));
    w.AppendLong(0);
    for (int i = 0; i < kTileGroupSize; ++i) {
        if (group < kLandTileGroups) {
            const LandTileRecord& r = tiles.Land(group * kTileGroupSize + i);
            w.AppendLong(r.flags);
            w.AppendShort(r.texture);
            w.AppendFixedText(r.name, kTileNameField);
        } else {
            const StaticTileRecord& r = tiles.Static(group * kTileGroupSize + i - kTileCount);
            w.AppendLong(r.flags);
            w.AppendByte(r.weight);
            w.AppendByte(r.layer);
            w.AppendLong(r.value);
            w.AppendShort(r.animation);
            w.AppendShort(r.hue);
            w.AppendShort(r.light);
            w.AppendByte(r.height);
            w.AppendFixedText(r.name, kTileNameField);
        }
    }
    return FinishPacket(w, 0x41);
}

bool BuildRawDataPacket(PacketWriter& w, u32 a, u32 b, const u8* data, int length) {
    const bool withData = data && length > 0;
    w.Begin(0x42, true);
    w.AppendLong(a);
    w.AppendLong(b);
    w.AppendLong(data ? static_cast<u32>(length) : 0xFFFFFFFFu);
    if (withData) w.AppendBytes(data, static_cast<size_t>(length));
    return FinishPacket(w, 0x42);
}

bool BuildAnimDataPacket(PacketWriter& w, u32 a, u32 b, int block) {
    w.Begin(0x43, false);
    w.AppendLong(a);
    w.AppendLong(b);
    for (int i = 0; i < kAnimGroupSize; ++i) {
        const u8* record = GetTileData().AnimRecord(block * kAnimGroupSize + i);
        if (record) {
            w.AppendBytes(record, kAnimRecordSize);
        } else {
            w.AppendZeros(kAnimRecordSize);
        }
    }
    return FinishPacket(w, 0x43);
}

bool BuildHueBlockPacket(PacketWriter& w, int block) {
    w.Begin(0x44, false);
    w.AppendLong(static_cast<u32>(block));
    w.AppendLong(0);
    for (int i = 0; i < kHueGroupSize; ++i) {
        const u8* record = GetTileData().HueRecord(block * kHueGroupSize + i);
        if (!record) {
            w.AppendZeros(kHueRecordSize);
            continue;
        }
        // The file keeps the colours, start and end little-endian; the packet sends them in
        // network order.
        for (int c = 0; c < kHueColours + 2; ++c)
            w.AppendShort(LoadLe16(record + 2 * c));
        w.AppendBytes(record + 2 * (kHueColours + 2), kTileNameField);
    }
    return FinishPacket(w, 0x44);
}

bool BuildRegionPacket(PacketWriter& w, const RegionFields& r) {
    w.Begin(0x57, false);
    w.AppendFixedText(r.firstName.c_str(), kRegionNameField);
    w.AppendLong(r.value);
    for (u16 v : r.six)
        w.AppendShort(v);
    w.AppendLong(0);
    w.AppendFixedText(r.secondName.c_str(), kRegionNameField);
    for (u16 v : r.three)
        w.AppendShort(v);
    w.AppendByte(r.byte);
    w.AppendShort(r.last);
    return FinishPacket(w, 0x57);
}

bool BuildMultiDataPacket(PacketWriter& w, u32 multi, const u8* data, size_t length) {
    w.Begin(0x92, true);
    w.AppendLong(multi);
    w.AppendLong(0);
    if (data && length < 0xFFFF) {
        for (size_t at = 0; at + kMultiComponentSize <= length && w.Ok();
             at += kMultiComponentSize) {
            const u8* c = data + at;
            for (int field = 0; field < 4; ++field)
                w.AppendShort(LoadLe16(c + 2 * field));
            w.AppendLong(LoadLe32(c + 8));
        }
    }
    return FinishPacket(w, 0x92);
}

bool BuildTerrainCellPacket(PacketWriter& w, int x, int y, int z) {
    w.Begin(0x14, false);
    w.AppendShort(FieldWord(x));
    w.AppendShort(FieldWord(y));
    w.AppendByte(static_cast<u8>(z));
    return FinishPacket(w, 0x14);
}

bool BuildResourceTypePacket(PacketWriter& w, const ResourceTypeFields* type) {
    if (!type) return false;
    w.Begin(0x35, false);
    w.AppendLong(static_cast<u32>(type->number));
    for (const std::string* name : {&type->internalName, &type->foodName, &type->shelterName,
                                    &type->desireName, &type->productionName})
        w.AppendFixedText(name->c_str(), 128);
    w.AppendLong(type->first);
    w.AppendLong(type->second);
    return FinishPacket(w, 0x35);
}

namespace {
void AppendResourceEntry(PacketWriter& w, const ResourceEntryFields& e) {
    for (int amount : e.amounts)
        w.AppendShort(FieldWord(amount));
    w.AppendShort(FieldWord(e.kind));
    w.AppendLong(0);
    w.AppendLong(0);
    w.AppendShort(FieldWord(e.key));
}
}  // namespace

bool BuildResourceEntryPacket(PacketWriter& w, u32 request, bool last, int index,
                              const ResourceEntryFields& entry) {
    w.Begin(0x36, true);
    w.AppendShort(last ? 1 : 0);
    w.AppendShort(2);
    w.AppendLong(request);
    w.AppendShort(FieldWord(index));
    AppendResourceEntry(w, entry);
    return FinishPacket(w, 0x36);
}

bool BuildGraphicResourcePacket(PacketWriter& w, int graphic, int index,
                                const ResourceEntryFields* entry) {
    w.Begin(0x36, true);
    w.AppendShort(FieldWord(graphic));
    w.AppendShort(entry ? 1 : 0);
    w.AppendShort(FieldWord(entry ? index : 0));
    if (entry) AppendResourceEntry(w, *entry);
    return FinishPacket(w, 0x36);
}

bool BuildNineValuesPacket(PacketWriter& w, const u32 (&values)[9]) {
    w.Begin(0x3E, false);
    for (u32 v : values)
        w.AppendLong(v);
    return FinishPacket(w, 0x3E);
}

bool BuildValueBlockPacket(PacketWriter& w, u32 value, const u8 (&block)[76]) {
    w.Begin(0x50, true);
    w.AppendLong(value);
    w.AppendBytes(block, sizeof block);
    return FinishPacket(w, 0x50);
}

bool BuildTextPacket51(PacketWriter& w, const char* text) {
    w.Begin(0x51, true);
    w.AppendCText(text);
    return FinishPacket(w, 0x51);
}

bool BuildRecordTextPacket(PacketWriter& w, int byte, bool recordFlag, const char* text) {
    w.Begin(0x94, true);
    w.AppendByte(static_cast<u8>(byte));
    w.AppendLong(0);
    w.AppendByte(recordFlag ? 1 : 0);
    w.AppendCText(text);
    return FinishPacket(w, 0x94);
}

bool BuildTwoValuesPacket(PacketWriter& w, u32 a, u32 b) {
    w.Begin(0x15, false);
    w.AppendLong(a);
    w.AppendLong(b);
    return FinishPacket(w, 0x15);
}

bool BuildThreeWordsPacket(PacketWriter& w, int a, int b, int c) {
    w.Begin(0x38, false);
    w.AppendShort(FieldWord(a));
    w.AppendShort(FieldWord(b));
    w.AppendShort(FieldWord(c));
    return FinishPacket(w, 0x38);
}

bool BuildWordAndBytePacket(PacketWriter& w, int word, int byte) {
    w.Begin(0x1E, false);
    w.AppendShort(FieldWord(word));
    w.AppendByte(static_cast<u8>(byte));
    return FinishPacket(w, 0x1E);
}

bool BuildOneByte3DPacket(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x3D, value);
}

bool BuildAccountRefusedPacket(PacketWriter& w, int reason) {
    return BuildOneBytePacket(w, 0x82, reason);
}

bool BuildDeleteResultPacket(PacketWriter& w, int result) {
    return BuildOneBytePacket(w, 0x85, result);
}

bool BuildAccountCharactersPacket(PacketWriter& w, const std::vector<AccountCharacter>& list) {
    constexpr size_t kSlots = 5;
    const size_t count = list.size() > kSlots ? kSlots : list.size();
    w.Begin(0x86, true);
    w.AppendByte(static_cast<u8>(count));
    for (size_t i = 0; i < kSlots; ++i) {
        w.AppendFixedText(i < count ? list[i].name.c_str() : "", 30);
        w.AppendFixedText(i < count ? list[i].password.c_str() : "", 30);
    }
    return FinishPacket(w, 0x86);
}

bool BuildServerAddressPacket(PacketWriter& w, int port, u32 key) {
    w.Begin(0x8C, false);
    w.AppendLong(0);
    w.AppendShort(FieldWord(port));
    w.AppendLong(key);
    return FinishPacket(w, 0x8C);
}
