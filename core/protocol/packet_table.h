#pragma once
// The server's table of packet lengths, one record per id 0x00-0xB5: it defines the framing
// of the whole protocol in both directions. A fixed-length id has its length; a
// variable-length id (bit 15 of its word, exactly 0x8000) carries its total length in bytes
// 1-2; a length of 0 means the id is not accepted.
#include <cstddef>

#include "platform/types.h"

inline constexpr int kPacketTableSize = 182;  // ids 0x00-0xB5
inline constexpr u16 kVariableLength = 0x8000;

// The table word of an id: the fixed length, kVariableLength, or 0 for an id that is not
// accepted or lies past the table.
u16 PacketTableWord(int id);
// True for a variable-length id.
bool PacketTableIsVariable(int id);
// 3 for a variable-length id, else 1.
size_t PacketHeaderSize(int id);

// The framed length of the packet at the start of `data` (`available` bytes there): the
// table length, or bytes 1-2 (big-endian) for a variable-length id. 0 when the id has no
// length (not accepted, past the table) or a variable length below 3 says less than its own
// header; -1 when the length cannot be known yet (a variable-length id with fewer than 3
// bytes at hand).
int PacketFramedLength(const u8* data, size_t available);
