#pragma once
// Row copies of 16-bit pixels between buffers.
#include "platform/types.h"

// Copies `count` pixels; the regions must not overlap.
void SpanCopyAligned(u16* destination, const u16* source, int count);
// Copies `count` pixels converting 5-5-5 to 5-6-5 (green widened, its low bit 0).
void SpanCopy555To565(u16* destination, const u16* source, int count);
void SpanCopyBytes(u16* destination, const u16* source, int count);
