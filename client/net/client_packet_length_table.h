#pragma once
// The client's table of server and client packet lengths, ids 0x00-0xB9: the whole packet's
// size with its id byte, or kClientVariableLength for a packet that carries its total size
// big-endian in bytes 1-2. Ids past the table cannot be framed.
#include <cstddef>

#include "platform/types.h"

inline constexpr int kClientPacketTableSize = 186;  // ids 0x00-0xB9
inline constexpr u16 kClientVariableLength = 0x8000;

// The table word of an id (a length or kClientVariableLength); 0 past the table.
u16 ClientPacketLengthTable(int id);
bool ClientPacketIsVariable(int id);
// 3 for a variable-length id, else 1.
size_t ClientPacketHeaderLength(int id);
