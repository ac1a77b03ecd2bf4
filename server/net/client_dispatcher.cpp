#include "server/net/client_dispatcher.h"

#include <cstdio>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "server/net/book_requests.h"
#include "server/net/player_requests.h"
#include "server/net/speech.h"
#include "server/world/player.h"

namespace {

struct HandlerRow {
    u8 id;
    ClientPacketHandler handler;
};

// Served for every player. The slots still not built come with items, trade and dialogs, text
// commands, the admin queries and the editors.
constexpr HandlerRow kGeneralTable[] = {
    {0x02, HandleWalkRequest},        // walk request
    {0x03, HandleSpeech},             // speech
    {0x04, HandleGodModeRequest},     // god mode on or off
    {0x05, HandleAttackRequest},      // attack request
    {0x06, HandleUseRequest},         // use (double-click)
    {0x07, NotBuiltClientPacket},     // pick up
    {0x08, NotBuiltClientPacket},     // drop
    {0x09, HandleLookAt},             // look at
    {0x12, NotBuiltClientPacket},     // text command
    {0x13, NotBuiltClientPacket},     // equip
    {0x22, HandleResyncRequest},      // resynchronisation request
    {0x2C, HandleDeathChoice},        // death menu choice
    {0x34, HandleStatusRequest},      // status request
    {0x37, NotBuiltClientPacket},     // move an object by an offset
    {0x39, HandleReadTwoSerials},     // read, no effect
    {0x3B, NotBuiltClientPacket},     // buy from a vendor
    {0x4B, HandleReadTwoLongs},       // read, no effect
    {0x52, HandleReadPageText},       // read, no effect
    {0x56, NotBuiltClientPacket},     // map pin edit
    {0x66, HandleBookPage},           // book page
    {0x69, HandleEmptyClientPacket},  // nothing
    {0x6B, HandleEmptyClientPacket},  // nothing
    {0x6C, HandleTargetResponse},     // target cursor answer
    {0x6F, NotBuiltClientPacket},     // secure trade
    {0x71, NotBuiltClientPacket},     // bulletin board
    {0x72, HandleWarModeRequest},     // war mode
    {0x73, HandleKeepAlive},          // keep-alive
    {0x75, NotBuiltClientPacket},     // rename a pet
    {0x79, NotBuiltClientPacket},     // admin query
    {0x7D, NotBuiltClientPacket},     // menu choice
    {0x7E, NotBuiltClientPacket},     // overview of all mobiles
    {0x87, NotBuiltClientPacket},     // resource-bank edit
    {0x8A, NotBuiltClientPacket},     // object inspector request
    {0x91, HandleGameLoginInGame},    // read, no effect (the framer serves 0x91 first)
    {0x93, HandleBookHeader},         // book title and author
    {0x95, NotBuiltClientPacket},     // hue picker answer
    {0x96, NotBuiltClientPacket},     // editor request
    {0x98, NotBuiltClientPacket},     // name request
    {0x9A, NotBuiltClientPacket},     // string query answer
    {0x9B, NotBuiltClientPacket},     // help request
    {0x9F, NotBuiltClientPacket},     // sell to a vendor
    {0xA0, HandleReadShort},          // read, no effect
    {0xA4, HandleClientSystemInfo},   // read, not kept
    {0xA7, HandleEmptyClientPacket},  // nothing
    {0xAC, NotBuiltClientPacket},     // text entry answer
    {0xAD, HandleEmptyClientPacket},  // Unicode speech: nothing
    {0xB1, NotBuiltClientPacket},     // generic gump answer
};

// Served only for a player in edit mode, for ids the general table does not serve.
constexpr HandlerRow kEditTable[] = {
    {0x0A, NotBuiltClientPacket},  // world edit request
    {0x0C, NotBuiltClientPacket},  // tile-data record edit
    {0x0E, NotBuiltClientPacket},  // template list request
    {0x14, NotBuiltClientPacket},  // set a terrain cell
    {0x19, NotBuiltClientPacket},  // reads a serial and a byte
    {0x1D, NotBuiltClientPacket},  // delete an object
    {0x35, NotBuiltClientPacket},  // edit a resource type
    {0x36, NotBuiltClientPacket},  // edit an object's resources
    {0x46, NotBuiltClientPacket},  // art edit
    {0x47, NotBuiltClientPacket},  // terrain edit
    {0x48, NotBuiltClientPacket},  // anim data edit
    {0x49, NotBuiltClientPacket},  // hue edit
    {0x4A, NotBuiltClientPacket},  // art removal
    {0x58, NotBuiltClientPacket},  // region edit
    {0x61, NotBuiltClientPacket},  // remove a static
    {0x62, NotBuiltClientPacket},  // move a static
    {0x67, NotBuiltClientPacket},  // terrain-set fill
    {0x9C, NotBuiltClientPacket},  // game-master request answer
    {0x9D, NotBuiltClientPacket},  // game-master page relay
};

static_assert(sizeof kGeneralTable / sizeof kGeneralTable[0] == 47);
static_assert(sizeof kEditTable / sizeof kEditTable[0] == 19);

struct Lookup {
    ClientPacketHandler general[256] = {};
    ClientPacketHandler edit[256] = {};
    Lookup() {
        for (const HandlerRow& row : kGeneralTable)
            general[row.id] = row.handler;
        for (const HandlerRow& row : kEditTable)
            edit[row.id] = row.handler;
    }
};

const Lookup& Handlers() {
    static const Lookup lookup;
    return lookup;
}

}  // namespace

ClientPacketHandler FindClientPacketHandler(u8 id, bool editing) {
    const Lookup& lookup = Handlers();
    if (lookup.general[id]) return lookup.general[id];
    return editing ? lookup.edit[id] : nullptr;
}

void DispatchClientPacket(CPlayer& player, u8 id, PacketReader& packet) {
    if (ClientPacketHandler handler = FindClientPacketHandler(id, player.IsEditing())) {
        handler(player, packet);
    }
}

void NotBuiltClientPacket(CPlayer&, PacketReader& packet) {
    static bool logged[256] = {};
    const u8 id = packet.Id();
    if (logged[id]) return;
    logged[id] = true;
    char text[64];
    std::snprintf(text, sizeof text, "client packet 0x%02X: handler not built yet", id);
    GetLogSink().Log(0, 0, 0, "", "protocol", "error", text);
}

void HandleReadTwoSerials(CPlayer&, PacketReader& packet) {
    u32 first = 0;
    u32 second = 0;
    packet.ReadLong(first);
    packet.ReadLong(second);
}

void HandleReadTwoLongs(CPlayer& player, PacketReader& packet) {
    HandleReadTwoSerials(player, packet);
}

void HandleReadPageText(CPlayer&, PacketReader& packet) {
    // An 80-byte field, then a text taken to the end of the packet (at most 8192 bytes): the
    // text is not used, so a short one is no fault of the client's.
    constexpr size_t kTextWidth = 8192;
    const u8* title = nullptr;
    const u8* text = nullptr;
    packet.ReadFixedBytes(title, 80);
    const size_t rest = packet.Remaining();
    packet.ReadFixedBytes(text, rest < kTextWidth ? rest : kTextWidth);
}

void HandleGameLoginInGame(CPlayer&, PacketReader& packet) {
    u32 key = 0;
    const u8* first = nullptr;
    const u8* second = nullptr;
    packet.ReadLong(key);
    packet.ReadFixedBytes(first, 30);
    packet.ReadFixedBytes(second, 30);
}

void HandleReadShort(CPlayer&, PacketReader& packet) {
    u16 value = 0;
    packet.ReadShort(value);
}

void HandleClientSystemInfo(CPlayer&, PacketReader& packet) {
    u8 byte = 0;
    u16 word = 0;
    u32 value = 0;
    const u8* text = nullptr;
    packet.ReadByte(byte);
    packet.ReadShort(word);
    packet.ReadByte(byte);
    for (int i = 0; i < 4; ++i)
        packet.ReadFixedBytes(text, 32);
    packet.ReadShort(word);
    packet.ReadShort(word);
    packet.ReadLong(value);
    packet.ReadLong(value);
    packet.ReadLong(value);
}

void HandleEmptyClientPacket(CPlayer&, PacketReader&) {}
