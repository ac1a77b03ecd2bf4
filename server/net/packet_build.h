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

// The graphic increment of an item: 1 while it shows its next graphic.
u8 GraphicIncrement(const CItem& item);
// The status flags byte of an item (0x80 hidden, 0x20 weight override).
u8 StatusFlagsByte(const CItem& item);
// A z as the 16-bit field some packets carry (sign kept).
inline u16 ZWord(int z) {
    return static_cast<u16>(static_cast<s16>(z));
}
