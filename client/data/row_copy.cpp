#include "client/data/row_copy.h"

#include <cstring>

void SpanCopyAligned(u16* destination, const u16* source, int count) {
    if (count > 0) std::memcpy(destination, source, static_cast<size_t>(count) * 2);
}

void SpanCopy555To565(u16* destination, const u16* source, int count) {
    // Pixel by pixel, so an odd count never reads or writes past the row.
    for (int i = 0; i < count; ++i) {
        const u16 p = source[i];
        destination[i] = static_cast<u16>(((p & 0x7FE0) << 1) | (p & 0x001F));
    }
}

void SpanCopyBytes(u16* destination, const u16* source, int count) {
    SpanCopyAligned(destination, source, count);
}
