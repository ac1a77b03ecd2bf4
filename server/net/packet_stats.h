#pragma once
// Counts of the packets sent, per id: how many and how many bytes. Nothing in the in-process
// game calls it.
#include "platform/types.h"

// Counts one packet of `id` with `bytes` bytes; at most every 3600 ms it notes the time of a
// report (the statistics file "/zq/packets.%08d" holds no rows).
void PacketStatsLog(u8 id, u32 bytes);
u32 PacketStatsCount(u8 id);
u64 PacketStatsBytes(u8 id);
