#pragma once
// The game protocol's one table of packet ids, read by both halves and by the protocol tests:
// for every id 0x00-0xB9 its name, who sends it in this game, and its length as each half
// frames it. A fixed-length id has its whole length, id byte included; a variable-length id
// (exactly kVariableLength, bit 15) carries its total length big-endian in bytes 1-2; a length
// of 0 means that half does not accept the id.
//
// The halves frame most ids alike. They differ where the server refuses what the client would
// frame: 0x0B, 0x10, 0x1F and 0x59, and 0xB6-0xB9, which lie past the server's 182 ids.
#include <cstddef>
#include <span>

#include "platform/types.h"

enum class PacketDirection : u8 {
    kNeither,   // neither half sends it in this game
    kToServer,  // built by the client
    kToClient,  // built by the server and accepted by the client
    kBoth,
};

inline constexpr u16 kVariableLength = 0x8000;
inline constexpr int kServerPacketTableSize = 182;  // the server frames ids 0x00-0xB5
inline constexpr int kClientPacketTableSize = 186;  // the client frames ids 0x00-0xB9

struct PacketRow {
    u8 id;
    const char* name;
    PacketDirection direction;
    u16 serverLength;  // as the server frames the id
    u16 clientLength;  // as the client frames the id
};

// Every row in id order: row i is id i, 0x00 to 0xB9.
std::span<const PacketRow> PacketRows();
// The row of an id; null past the table.
const PacketRow* FindPacketRow(int id);

// --- The server's framing ------------------------------------------------------------------

// The server's length of an id: the fixed length, kVariableLength, or 0 for an id it does not
// accept or that lies past its 182 ids.
u16 PacketTableWord(int id);
// True for an id the server frames as variable-length.
bool PacketTableIsVariable(int id);
// 3 for a variable-length id, else 1.
size_t PacketHeaderSize(int id);

// The framed length of the packet at the start of `data` (`available` bytes there) as the
// server frames it: the table length, or bytes 1-2 (big-endian) for a variable-length id. 0
// when the id has no length (not accepted, past the table) or a variable length below 3 says
// less than its own header; -1 when the length cannot be known yet (a variable-length id with
// fewer than 3 bytes at hand).
int PacketFramedLength(const u8* data, size_t available);

// --- The client's framing ------------------------------------------------------------------

// The client's length of an id (a length or kVariableLength); 0 past its 186 ids.
u16 ClientPacketLengthTable(int id);
bool ClientPacketIsVariable(int id);
// 3 for a variable-length id, else 1.
size_t ClientPacketHeaderLength(int id);
