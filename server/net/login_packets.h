#pragma once
// The server's answers of the login sequence.
#include <cstddef>

#include "platform/types.h"

class PacketWriter;

// 0x53 reasons.
inline constexpr u8 kLoginRejectNoSuchCharacter = 1;
inline constexpr u8 kLoginRejectNameInUse = 2;

inline constexpr int kCharacterListSlots = 5;
inline constexpr size_t kCharacterNameWidth = 30;
// The mode that adds the start-location block.
inline constexpr u8 kCharacterListWithStart = 0xCD;
// The largest 0x81: five slots and the start-location block.
inline constexpr size_t kCharacterListMaxLength = 387;

// 0x53, 2 bytes: the reason a creation or play request was refused.
void BuildLoginRejectPacket(PacketWriter& packet, u8 reason);

// 0x81: up to five characters (`count` names; `passwords` may be null: zero passwords), each
// in a 30-byte slot, empty slots zero; mode 0xCD adds the one world and its one start place.
void BuildCharacterListPacket(PacketWriter& packet, int count, u8 mode, const char* const* names,
                              const char* const* passwords);
