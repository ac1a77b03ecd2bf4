#include "client/data/row_copy.h"

#include <cstring>

#include "client/data/pixel_format.h"

void SpanCopyAligned(u16* destination, const u16* source, int count) {
    if (count > 0) std::memcpy(destination, source, static_cast<size_t>(count) * 2);
}

void SpanCopy555To565(u16* destination, const u16* source, int count) {
    // Pixel by pixel, so an odd count never reads or writes past the row.
    for (int i = 0; i < count; ++i)
        destination[i] = Convert555To565(source[i]);
}

void SpanCopyBytes(u16* destination, const u16* source, int count) {
    SpanCopyAligned(destination, source, count);
}
