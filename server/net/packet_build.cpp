#include "server/net/packet_build.h"

#include <cstdio>

#include "core/log_sink.h"
#include "server/world/item.h"

namespace {
void LogPacket(const char* message) {
    GetLogSink().Log(0, 0, 0, "", "packets", "error", message);
}
}  // namespace

bool FinishPacket(PacketWriter& w, u8 id) {
    if (w.Ok()) return true;
    char message[128];
    std::snprintf(message, sizeof message,
                  "packet 0x%02X not sent: it passes its buffer of %zu bytes or 65535 bytes", id,
                  w.Capacity());
    LogPacket(message);
    return false;
}

bool RefusePacket(u8 id, const char* reason) {
    char message[160];
    std::snprintf(message, sizeof message, "packet 0x%02X not sent: %s", id, reason);
    LogPacket(message);
    return false;
}

bool BuildIdOnlyPacket(PacketWriter& w, u8 id) {
    w.Begin(id, false);
    return FinishPacket(w, id);
}

bool BuildOneBytePacket(PacketWriter& w, u8 id, int value) {
    w.Begin(id, false);
    w.AppendByte(static_cast<u8>(value));
    return FinishPacket(w, id);
}

bool BuildOneLongPacket(PacketWriter& w, u8 id, u32 value) {
    w.Begin(id, false);
    w.AppendLong(value);
    return FinishPacket(w, id);
}

u8 GraphicIncrement(const CItem& item) {
    return (item.GetStatus() & kStatusShowsNextGraphic) ? 1 : 0;
}

u8 StatusFlagsByte(const CItem& item) {
    u8 flags = 0;
    item.GetStatusFlags(flags);
    return flags;
}
