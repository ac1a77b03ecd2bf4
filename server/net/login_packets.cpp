#include "server/net/login_packets.h"

#include "core/packet_writer.h"

namespace {
// The demo's one world and its start place.
constexpr const char* kWorldName = "Sorvenmar";
constexpr const char* kStartTown = "Vessholm";
constexpr const char* kStartPlace = "Copper Kettle";
constexpr size_t kWorldNameWidth = 16;
constexpr size_t kPlaceNameWidth = 31;
}  // namespace

void BuildLoginRejectPacket(PacketWriter& packet, u8 reason) {
    packet.Begin(0x53, false);
    packet.AppendByte(reason);
}

void BuildCharacterListPacket(PacketWriter& packet, int count, u8 mode, const char* const* names,
                              const char* const* passwords) {
    if (count < 0) count = 0;
    if (count > kCharacterListSlots) count = kCharacterListSlots;
    packet.Begin(0x81, true);
    packet.AppendByte(static_cast<u8>(count));
    packet.AppendByte(mode);
    for (int i = 0; i < kCharacterListSlots; ++i) {
        const bool used = i < count;
        packet.AppendFixedText(used && names ? names[i] : "", kCharacterNameWidth);
        packet.AppendFixedText(used && passwords ? passwords[i] : "", kCharacterNameWidth);
    }
    if (mode != kCharacterListWithStart) return;
    packet.AppendByte(1);  // worlds
    packet.AppendByte(0);  // world index
    packet.AppendFixedText(kWorldName, kWorldNameWidth);
    packet.AppendByte(1);  // start places
    packet.AppendByte(0);  // place index
    packet.AppendFixedText(kStartTown, kPlaceNameWidth);
    packet.AppendFixedText(kStartPlace, kPlaceNameWidth);
}
