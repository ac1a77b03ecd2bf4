#include "client/render/record_pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Whole runs of little-endian values read from any alignment: low byte first, and nothing
// written past the count.
TEST(RecordPixels, ReadLowByteFirstFromAnyAlignment) {
    std::vector<u8> bytes(64);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<u8>(0x11 * i + 3);
    for (size_t offset : {0, 1, 3})
        for (size_t count : {0, 1, 7, 30}) {
            std::vector<u16> out(count + 1, 0xBEEF);
            LoadRecordPixels(out.data(), bytes.data() + offset, count);
            for (size_t i = 0; i < count; ++i)
                EXPECT_EQ(out[i], bytes[offset + 2 * i] | bytes[offset + 2 * i + 1] << 8)
                    << "offset " << offset << " value " << i;
            EXPECT_EQ(out[count], 0xBEEF) << "offset " << offset << " count " << count;
        }
}

}  // namespace
