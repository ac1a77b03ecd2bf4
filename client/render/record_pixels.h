#pragma once
// The 16-bit pixels of a record as the data files store them: little-endian, with no
// alignment promised. The land drawers unpack a whole tile or texture for every cell they
// draw, so on a little-endian host this is a plain copy.
#include <bit>
#include <cstddef>
#include <cstring>

#include "core/byte_order.h"
#include "platform/types.h"

inline void LoadRecordPixels(u16* out, const u8* record, size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, record, count * sizeof(u16));
    } else {
        for (size_t i = 0; i < count; ++i)
            out[i] = LoadLe16(record + 2 * i);
    }
}
