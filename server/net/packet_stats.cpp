#include "server/net/packet_stats.h"

#include <cstdio>

#include "core/archive.h"
#include "platform/clock.h"

namespace {
constexpr u32 kReportIntervalMs = 3600;
u32 g_counts[256];
u64 g_bytes[256];
u32 g_lastReport = 0;
}  // namespace

void PacketStatsLog(u8 id, u32 bytes) {
    ++g_counts[id];
    g_bytes[id] += bytes;
    const u32 now = platform::NowMs();
    if (!platform::HasElapsed(g_lastReport, now, kReportIntervalMs + 1)) return;
    g_lastReport = now;
    char path[32];
    std::snprintf(path, sizeof path, "/zq/packets.%08u", now);
    // The file is opened and closed; its rows are not written.
    if (ArchiveHandle file = ArchiveOpen(path, "w")) ArchiveClose(file);
}

u32 PacketStatsCount(u8 id) {
    return g_counts[id];
}

u64 PacketStatsBytes(u8 id) {
    return g_bytes[id];
}
