#include "core/protocol/packet_table.h"

#include "core/byte_order.h"

namespace {

constexpr u16 V = kVariableLength;

// Sixteen ids a row, 0x00 to 0xB5.
constexpr u16 kPacketTable[kPacketTableSize] = {
    100, 5,  3,  V,   2,   5,   5,  7,   14,  5,  11, 0,   V,   3,  V,  61,  // 0x0_
    0,   V,  V,  10,  6,   9,   1,  V,   V,   V,  V,  37,  V,   5,  4,  0,   // 0x1_
    19,  8,  3,  26,  7,   20,  5,  2,   5,   1,  5,  2,   2,   17, 15, 10,  // 0x2_
    5,   1,  2,  2,   10,  653, V,  8,   7,   9,  V,  V,   V,   2,  37, V,   // 0x3_
    201, V,  V,  553, 713, 5,   V,  11,  73,  93, 5,  9,   V,   V,  6,  2,   // 0x4_
    V,   V,  V,  2,   12,  1,   11, 110, 106, 0,  V,  4,   2,   73, V,  49,  // 0x5_
    5,   9,  15, 13,  1,   4,   V,  21,  V,   V,  3,  9,   19,  3,  14, V,   // 0x6_
    28,  V,  5,  2,   V,   35,  16, 17,  V,   9,  V,  2,   V,   13, 2,  V,   // 0x7_
    62,  V,  2,  39,  69,  2,   V,  V,   66,  V,  V,  V,   11,  V,  V,  V,   // 0x8_
    19,  65, V,  98,  V,   9,   V,  2,   V,   26, V,  258, 309, 51, V,  V,   // 0x9_
    3,   9,  9,  9,   149, V,   V,  4,   V,   V,  5,  V,   V,   V,  V,  13,  // 0xA_
    V,   V,  V,  V,   V,   64,                                               // 0xB_
};

}  // namespace

u16 PacketTableWord(int id) {
    return id >= 0 && id < kPacketTableSize ? kPacketTable[id] : 0;
}

bool PacketTableIsVariable(int id) {
    return (PacketTableWord(id) & kVariableLength) != 0;
}

size_t PacketHeaderSize(int id) {
    return PacketTableIsVariable(id) ? 3 : 1;
}

int PacketFramedLength(const u8* data, size_t available) {
    if (available < 1) return -1;
    const u16 word = PacketTableWord(data[0]);
    if (word == 0) return 0;
    if (!(word & kVariableLength)) return word;
    if (available < 3) return -1;
    const u16 length = LoadBe16(data + 1);
    return length < 3 ? 0 : length;
}
