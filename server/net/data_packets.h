#pragma once
// Builders of the data-update packets (statics, terrain, tile data, anim data, hues, regions,
// multis) that let a client patch its own data files after a live edit, the resource packets a
// god-mode player asks for, and the account-server answers and other packets the server can
// build but never sends. One writer per packet; each builder answers w.Ok() (a packet past
// its buffer or 65,535 bytes is not to be sent, and is logged).
#include <string>
#include <vector>

#include "core/packet_writer.h"
#include "platform/types.h"

// The packets of unbounded data (a cell's statics, raw data, multi components, texts) are
// bounded by the protocol's limit.
constexpr size_t kMaxDataPacketLength = PacketWriter::kMaxPacketLength;

// 0x3F: the statics of one sector cell (block), 7 bytes each; an unknown cell is refused.
bool BuildStaticsBlockPacket(PacketWriter& w, int block);

// 0x40: the terrain of one sector cell; an unknown cell is refused.
constexpr size_t kTerrainBlockLength = 201;
bool BuildTerrainBlockPacket(PacketWriter& w, int block);

// 0x41: 32 tile-data records: groups 0-511 land, 512-1023 statics; other groups are refused.
constexpr int kTileDataGroups = 1024;
constexpr int kLandTileGroups = 512;
constexpr size_t kMaxTileDataLength = 11 + 32 * 37;
bool BuildTileDataPacket(PacketWriter& w, int group);

// 0x42: raw data (nothing sends it); a negative length sends -1 and no bytes.
bool BuildRawDataPacket(PacketWriter& w, u32 a, u32 b, const u8* data, int length);

// 0x43: the eight anim-data records of a block.
constexpr size_t kAnimDataLength = 553;
bool BuildAnimDataPacket(PacketWriter& w, u32 a, u32 b, int block);

// 0x44: the eight hues of a block.
constexpr size_t kHueBlockLength = 713;
bool BuildHueBlockPacket(PacketWriter& w, int block);

// The fields of a region record, in the order the record keeps them.
struct RegionFields {
    std::string firstName;  // 40 bytes
    u32 value = 0;
    u16 six[6] = {};
    std::string secondName;  // 40 bytes
    u16 three[3] = {};
    u8 byte = 0;
    u16 last = 0;
};
// 0x57: a region record.
constexpr size_t kRegionLength = 110;
bool BuildRegionPacket(PacketWriter& w, const RegionFields& region);

// 0x92: a compiled multi: its 12-byte little-endian component records sent field by field in
// network order (a trailing partial record is left out); none when there is no data or the
// length is 0xFFFF or more.
constexpr size_t kMultiComponentSize = 12;
bool BuildMultiDataPacket(PacketWriter& w, u32 multi, const u8* data, size_t length);

// 0x14: one terrain cell (nothing sends it).
constexpr size_t kTerrainCellLength = 6;
bool BuildTerrainCellPacket(PacketWriter& w, int x, int y, int z);

// A resource type as 0x35 shows it.
struct ResourceTypeFields {
    int number = 0;
    std::string internalName, foodName, shelterName, desireName, productionName;
    u32 first = 0;
    u32 second = 0;
};
// 0x35: a resource type; null (no type with that number) builds nothing and answers false.
constexpr size_t kResourceTypeLength = 653;
bool BuildResourceTypePacket(PacketWriter& w, const ResourceTypeFields* type);

// One resource entry as 0x36 shows it.
struct ResourceEntryFields {
    int amounts[3] = {};
    int kind = 0;
    int key = 0;  // the resource type number
};
// 0x36 for one resource entry of an object.
constexpr size_t kResourceEntryLength = 31;
bool BuildResourceEntryPacket(PacketWriter& w, u32 request, bool last, int index,
                              const ResourceEntryFields& entry);
// 0x36 for a graphic's resource list: the header record (entry null, index 0) or an entry.
constexpr size_t kGraphicResourceHeaderLength = 9;
constexpr size_t kGraphicResourceEntryLength = 27;
bool BuildGraphicResourcePacket(PacketWriter& w, int graphic, int index,
                                const ResourceEntryFields* entry);

// Packets the server can build and nothing sends.
constexpr size_t kNineValuesLength = 37;
bool BuildNineValuesPacket(PacketWriter& w, const u32 (&values)[9]);  // 0x3E
constexpr size_t kValueBlockLength = 83;
bool BuildValueBlockPacket(PacketWriter& w, u32 value, const u8 (&block)[76]);             // 0x50
bool BuildTextPacket51(PacketWriter& w, const char* text);                                 // 0x51
bool BuildRecordTextPacket(PacketWriter& w, int byte, bool recordFlag, const char* text);  // 0x94
constexpr size_t kTwoValuesLength = 9;
bool BuildTwoValuesPacket(PacketWriter& w, u32 a, u32 b);  // 0x15
constexpr size_t kThreeWordsLength = 7;
bool BuildThreeWordsPacket(PacketWriter& w, int a, int b, int c);  // 0x38
constexpr size_t kWordAndByteLength = 4;
bool BuildWordAndBytePacket(PacketWriter& w, int word, int byte);  // 0x1E
// 0x3D: only the 2-byte form the packet table gives it.
constexpr size_t kOneByte3DLength = 2;
bool BuildOneByte3DPacket(PacketWriter& w, int value);

// Account-server answers.
constexpr size_t kAccountRefusedLength = 2;
bool BuildAccountRefusedPacket(PacketWriter& w, int reason);  // 0x82
constexpr size_t kDeleteResultLength = 2;
bool BuildDeleteResultPacket(PacketWriter& w, int result);  // 0x85
// 0x86: the number of characters (at most five), then five slots of a 30-byte name and a
// 30-byte password, the unused ones zero: the client reads all five slots.
struct AccountCharacter {
    std::string name;
    std::string password;
};
constexpr size_t kAccountCharactersLength = 4 + 5 * 60;
bool BuildAccountCharactersPacket(PacketWriter& w, const std::vector<AccountCharacter>& list);
constexpr size_t kServerAddressLength = 11;
bool BuildServerAddressPacket(PacketWriter& w, int port, u32 key);  // 0x8C
