#pragma once
// What every server packet builder shares: the end of a build, which answers whether the
// packet may be sent and logs the one that may not (it passed its buffer or the protocol's
// 65,535 bytes, or its content was refused), and the small field helpers the builders use.
#include <string>

#include "core/location.h"
#include "core/packet_writer.h"
#include "platform/types.h"

class CItem;

// Answers w.Ok(); a failed build logs one line naming the packet id and what was written.
bool FinishPacket(PacketWriter& w, u8 id);
// Logs that a packet was not built for a reason of its content; answers false.
bool RefusePacket(u8 id, const char* reason);

// The packets of a single field: the id alone, one byte, or one 32-bit value.
bool BuildIdOnlyPacket(PacketWriter& w, u8 id);
bool BuildOneBytePacket(PacketWriter& w, u8 id, int value);
bool BuildOneLongPacket(PacketWriter& w, u8 id, u32 value);

// The graphic increment of an item: 1 while it shows its next graphic.
u8 GraphicIncrement(const CItem& item);
// The status flags byte of an item (0x80 hidden, 0x20 weight override).
u8 StatusFlagsByte(const CItem& item);
// The low 16 or 8 bits of a value, as a packet field carries them.
inline u16 FieldWord(int value) {
    return static_cast<u16>(value);
}
inline u8 FieldByte(int value) {
    return static_cast<u8>(value);
}
// A z as the 16-bit field some packets carry (sign kept).
inline u16 ZWord(int z) {
    return static_cast<u16>(static_cast<s16>(z));
}
