#pragma once
// Server-sent replacements of art records: the record is written into the installed art files
// (or removed), and the world objects that show the replaced picture are redrawn or placed
// again.
#include <cstddef>

#include "platform/types.h"

// Art ids: land tiles 0 .. 0x3FFF, statics 0x4000 + graphic.
constexpr s32 kArtStaticBase = 0x4000;
constexpr size_t kLandArtPatchBytes = 2048;

// Installs `length` received bytes as art record `id` (mode -1 removes the record). An id
// outside 0 .. 65535 is refused with a message box. A land record takes at most 2048 bytes; a
// static record is as long as what was received, whatever its first word claims. False when
// nothing was written.
bool UpdateArtRecord(const u8* data, size_t length, s32 id, int mode, u32 extra);
