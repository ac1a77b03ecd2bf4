#pragma once
// Hands each complete server packet to the slot of its id. The client accepts 99 ids; every
// other id, and every id past the length table, is consumed without effect. The pause of
// packet 0x33 is kept by the framer (ClientPacketFramer), which sees the buffer.
#include <array>
#include <cstddef>
#include <functional>

#include "platform/types.h"

// A slot: the packet as framed (byte 0 the id, numbers big-endian) and its whole length.
using ServerPacketSlot = std::function<void(const u8* packet, size_t length)>;

inline constexpr int kAcceptedServerPacketCount = 99;
inline constexpr u8 kPausePacketId = 0x33;

class ServerPacketDispatcher {
public:
    // True for the 99 ids the client handles (0x33 among them, handled by the framer).
    static bool Accepts(int id);

    // Sets the slot of an accepted id (0x33 excepted); false for any other id.
    bool SetSlot(int id, ServerPacketSlot slot);
    const ServerPacketSlot& Slot(int id) const { return slots_[u8(id)]; }

    void Dispatch(const u8* packet, size_t length) const {
        const ServerPacketSlot& slot = slots_[packet[0]];
        if (slot) slot(packet, length);
    }

private:
    std::array<ServerPacketSlot, 256> slots_;
};

// One row of a handler family's table: the id and the family's method for it.
template <class Family>
struct HandlerRow {
    int id;
    void (Family::*method)(const u8* packet, size_t length);
};

// Points the slot of each row's id at the family's method.
template <class Family, size_t N>
void InstallHandlerRows(ServerPacketDispatcher& d, Family& family,
                        const HandlerRow<Family> (&rows)[N]) {
    for (const HandlerRow<Family>& row : rows) {
        const auto method = row.method;
        d.SetSlot(row.id, [&family, method](const u8* packet, size_t length) {
            (family.*method)(packet, length);
        });
    }
}
