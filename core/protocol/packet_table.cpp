#include "core/protocol/packet_table.h"

#include "core/byte_order.h"

namespace {

constexpr u16 V = kVariableLength;
constexpr u16 kRefused = 0;
constexpr PacketDirection kNeither = PacketDirection::kNeither;
constexpr PacketDirection kToServer = PacketDirection::kToServer;
constexpr PacketDirection kToClient = PacketDirection::kToClient;
constexpr PacketDirection kBoth = PacketDirection::kBoth;

// {id, name, who sends it, server length, client length}.
constexpr PacketRow kRows[kClientPacketTableSize] = {
    {0x00, "create character", kToServer, 100, 100},
    {0x01, "disconnect", kToServer, 5, 5},
    {0x02, "walk request", kToServer, 3, 3},
    {0x03, "speech", kToServer, V, V},
    {0x04, "god mode request", kNeither, 2, 2},
    {0x05, "attack request", kToServer, 5, 5},
    {0x06, "use (double-click)", kToServer, 5, 5},
    {0x07, "pick up", kToServer, 7, 7},
    {0x08, "drop", kToServer, 14, 14},
    {0x09, "look at", kToServer, 5, 5},
    {0x0A, "world edit request", kNeither, 11, 11},
    {0x0B, "unused", kNeither, kRefused, 266},
    {0x0C, "tile-data record edit", kNeither, V, V},
    {0x0D, "unused", kNeither, 3, 3},
    {0x0E, "template list request", kNeither, V, V},
    {0x0F, "unused", kNeither, 61, 61},
    {0x10, "unused", kNeither, kRefused, 215},
    {0x11, "status", kToClient, V, V},
    {0x12, "text command", kToServer, V, V},
    {0x13, "equip", kToServer, 10, 10},
    {0x14, "terrain cell", kNeither, 6, 6},
    {0x15, "follow", kToClient, 9, 9},
    {0x16, "unused", kNeither, 1, 1},
    {0x17, "unused", kNeither, V, V},
    {0x18, "unused", kNeither, V, V},
    {0x19, "serial and byte (edit)", kNeither, V, V},
    {0x1A, "object information", kToClient, V, V},
    {0x1B, "enter world", kToClient, 37, 37},
    {0x1C, "text", kToClient, V, V},
    {0x1D, "delete object", kToClient, 5, 5},
    {0x1E, "word and byte", kNeither, 4, 4},
    {0x1F, "unused", kNeither, kRefused, 8},
    {0x20, "player update", kToClient, 19, 19},
    {0x21, "step refused", kToClient, 8, 8},
    {0x22, "step accepted / resynchronisation request", kBoth, 3, 3},
    {0x23, "drag effect", kToClient, 26, 26},
    {0x24, "open gump", kToClient, 7, 7},
    {0x25, "container item", kToClient, 20, 20},
    {0x26, "unused", kNeither, 5, 5},
    {0x27, "pick-up refused", kToClient, 2, 2},
    {0x28, "drop refused", kToClient, 5, 5},
    {0x29, "drop accepted", kToClient, 1, 1},
    {0x2A, "object signal", kNeither, 5, 5},
    {0x2B, "god mode", kNeither, 2, 2},
    {0x2C, "death status / death choice", kBoth, 2, 2},
    {0x2D, "stats", kToClient, 17, 17},
    {0x2E, "worn item", kToClient, 15, 15},
    {0x2F, "swing", kToClient, 10, 10},
    {0x30, "attack accepted", kToClient, 5, 5},
    {0x31, "attack ended", kToClient, 1, 1},
    {0x32, "player signal", kNeither, 2, 2},
    {0x33, "pause", kToClient, 2, 2},
    {0x34, "status request", kToServer, 10, 10},
    {0x35, "resource type", kNeither, 653, 653},
    {0x36, "object resources", kNeither, V, V},
    {0x37, "move by offset", kNeither, 8, 8},
    {0x38, "path search", kToClient, 7, 7},
    {0x39, "group", kToClient, 9, 9},
    {0x3A, "skills", kToClient, V, V},
    {0x3B, "shop close / buy", kBoth, V, V},
    {0x3C, "container contents", kToClient, V, V},
    {0x3D, "one byte (0x3D)", kNeither, 2, 2},
    {0x3E, "nine values", kToClient, 37, 37},
    {0x3F, "statics patch", kToClient, V, V},
    {0x40, "terrain patch", kToClient, 201, 201},
    {0x41, "tile-data patch", kToClient, V, V},
    {0x42, "art patch", kToClient, V, V},
    {0x43, "anim-data patch", kToClient, 553, 553},
    {0x44, "hue patch", kToClient, 713, 713},
    {0x45, "weapon signal", kToClient, 5, 5},
    {0x46, "art edit", kNeither, V, V},
    {0x47, "terrain edit", kNeither, 11, 11},
    {0x48, "anim-data edit", kNeither, 73, 73},
    {0x49, "hue edit", kNeither, 93, 93},
    {0x4A, "art removal", kNeither, 5, 5},
    {0x4B, "two longs", kNeither, 9, 9},
    {0x4C, "unused", kNeither, V, V},
    {0x4D, "unused", kNeither, V, V},
    {0x4E, "personal light", kToClient, 6, 6},
    {0x4F, "global light", kToClient, 2, 2},
    {0x50, "value block", kNeither, V, V},
    {0x51, "text (0x51)", kNeither, V, V},
    {0x52, "page text", kNeither, V, V},
    {0x53, "game-server error", kToClient, 2, 2},
    {0x54, "sound", kToClient, 12, 12},
    {0x55, "login complete", kToClient, 1, 1},
    {0x56, "course pin", kBoth, 11, 11},
    {0x57, "region patch", kToClient, 110, 110},
    {0x58, "region edit", kNeither, 106, 106},
    {0x59, "unused", kNeither, kRefused, V},
    {0x5A, "unused", kNeither, V, V},
    {0x5B, "game time", kToClient, 4, 4},
    {0x5C, "edit refresh", kToClient, 2, 2},
    {0x5D, "play character", kToServer, 73, 73},
    {0x5E, "unused", kNeither, V, V},
    {0x5F, "unused", kNeither, 49, 49},
    {0x60, "unused", kNeither, 5, 5},
    {0x61, "remove a static", kNeither, 9, 9},
    {0x62, "move a static", kNeither, 15, 15},
    {0x63, "server status", kNeither, 13, 13},
    {0x64, "unused", kNeither, 1, 1},
    {0x65, "weather", kToClient, 4, 4},
    {0x66, "book pages", kBoth, V, V},
    {0x67, "terrain-set fill", kNeither, 21, 21},
    {0x68, "unused", kNeither, V, V},
    {0x69, "option lists", kBoth, V, V},
    {0x6A, "online state", kToClient, 3, 3},
    {0x6B, "nothing (0x6B)", kNeither, 9, 9},
    {0x6C, "target cursor / target answer", kBoth, 19, 19},
    {0x6D, "music", kToClient, 3, 3},
    {0x6E, "animation", kToClient, 14, 14},
    {0x6F, "secure trade", kBoth, V, V},
    {0x70, "graphic effect", kToClient, 28, 28},
    {0x71, "bulletin board", kBoth, V, V},
    {0x72, "war mode", kBoth, 5, 5},
    {0x73, "ping / keep-alive", kBoth, 2, 2},
    {0x74, "vendor list", kToClient, V, V},
    {0x75, "rename", kToServer, 35, 35},
    {0x76, "server change", kToClient, 16, 16},
    {0x77, "mobile update", kToClient, 17, 17},
    {0x78, "mobile incoming", kToClient, V, V},
    {0x79, "admin query", kNeither, 9, 9},
    {0x7A, "unused", kNeither, V, V},
    {0x7B, "effect sequence", kToClient, 2, 2},
    {0x7C, "menu", kToClient, V, V},
    {0x7D, "menu choice", kToServer, 13, 13},
    {0x7E, "overview of mobiles", kNeither, 2, 2},
    {0x7F, "unused", kNeither, V, V},
    {0x80, "account login", kToServer, 62, 62},
    {0x81, "character list", kToClient, V, V},
    {0x82, "login refused", kToClient, 2, 2},
    {0x83, "delete character", kToServer, 39, 39},
    {0x84, "change password", kToServer, 69, 69},
    {0x85, "character deletion refused", kToClient, 2, 2},
    {0x86, "character list after a deletion", kToClient, V, V},
    {0x87, "resource-bank edit", kNeither, V, V},
    {0x88, "paperdoll", kToClient, 66, 66},
    {0x89, "corpse equipment", kToClient, V, V},
    {0x8A, "object inspector request", kNeither, V, V},
    {0x8B, "sign", kToClient, V, V},
    {0x8C, "relay to a game server", kToClient, 11, 11},
    {0x8D, "unused", kNeither, V, V},
    {0x8E, "unused", kNeither, V, V},
    {0x8F, "unused", kNeither, V, V},
    {0x90, "course map", kToClient, 19, 19},
    {0x91, "game login", kToServer, 65, 65},
    {0x92, "multi patch", kToClient, V, V},
    {0x93, "book open / book title", kBoth, 98, 98},
    {0x94, "skill patch", kToClient, V, V},
    {0x95, "hue picker / hue choice", kBoth, 9, 9},
    {0x96, "editor request", kNeither, V, V},
    {0x97, "forced step", kToClient, 2, 2},
    {0x98, "name request / name answer", kBoth, V, V},
    {0x99, "multi target", kToClient, 26, 26},
    {0x9A, "prompt / prompt answer", kBoth, V, V},
    {0x9B, "help request", kToServer, 258, 258},
    {0x9C, "game-master request", kNeither, 309, 309},
    {0x9D, "game-master page relay", kNeither, 51, 51},
    {0x9E, "sell list", kToClient, V, V},
    {0x9F, "sell", kToServer, V, V},
    {0xA0, "select server", kToServer, 3, 3},
    {0xA1, "hits", kToClient, 9, 9},
    {0xA2, "mana", kToClient, 9, 9},
    {0xA3, "stamina", kToClient, 9, 9},
    {0xA4, "client system information", kToServer, 149, 149},
    {0xA5, "open URL", kToClient, V, V},
    {0xA6, "tip or notice", kToClient, V, V},
    {0xA7, "tip request", kToServer, 4, 4},
    {0xA8, "server list", kToClient, V, V},
    {0xA9, "game character list", kToClient, V, V},
    {0xAA, "attack target", kToClient, 5, 5},
    {0xAB, "text prompt", kToClient, V, V},
    {0xAC, "text prompt answer", kToServer, V, V},
    {0xAD, "Unicode speech request", kToServer, V, V},
    {0xAE, "Unicode speech", kToClient, V, V},
    {0xAF, "mobile death", kToClient, 13, 13},
    {0xB0, "generic gump", kToClient, V, V},
    {0xB1, "generic gump answer", kToServer, V, V},
    {0xB2, "chat message", kToClient, V, V},
    {0xB3, "chat text", kBoth, V, V},
    {0xB4, "object-list target", kToClient, V, V},
    {0xB5, "chat open", kBoth, 64, 64},
    {0xB6, "unused", kNeither, kRefused, 6},
    {0xB7, "text pop-up", kToClient, kRefused, V},
    {0xB8, "profile", kBoth, kRefused, V},
    {0xB9, "feature flag", kToClient, kRefused, 3},
};

constexpr bool RowsAreInIdOrder() {
    for (int i = 0; i < kClientPacketTableSize; ++i) {
        if (kRows[i].id != i) return false;
        // The server accepts nothing past its own table.
        if (i >= kServerPacketTableSize && kRows[i].serverLength != kRefused) return false;
    }
    return true;
}
static_assert(RowsAreInIdOrder(), "row i of the packet table is id i");

}  // namespace

std::span<const PacketRow> PacketRows() {
    return kRows;
}

const PacketRow* FindPacketRow(int id) {
    return id >= 0 && id < kClientPacketTableSize ? &kRows[id] : nullptr;
}

u16 PacketTableWord(int id) {
    return id >= 0 && id < kServerPacketTableSize ? kRows[id].serverLength : 0;
}

bool PacketTableIsVariable(int id) {
    return (PacketTableWord(id) & kVariableLength) != 0;
}

size_t PacketHeaderSize(int id) {
    return PacketTableIsVariable(id) ? 3 : 1;
}

int PacketFramedLength(const u8* data, size_t available) {
    if (available < 1) return -1;
    const u16 word = PacketTableWord(data[0]);
    if (word == 0) return 0;
    if (!(word & kVariableLength)) return word;
    if (available < 3) return -1;
    const u16 length = LoadBe16(data + 1);
    return length < 3 ? 0 : length;
}

u16 ClientPacketLengthTable(int id) {
    return id >= 0 && id < kClientPacketTableSize ? kRows[id].clientLength : 0;
}

bool ClientPacketIsVariable(int id) {
    return (ClientPacketLengthTable(id) & kVariableLength) != 0;
}

size_t ClientPacketHeaderLength(int id) {
    return ClientPacketIsVariable(id) ? 3 : 1;
}
