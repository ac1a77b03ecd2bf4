#include "client/net/client_packet_length_table.h"

namespace {

constexpr u16 V = kClientVariableLength;

// Sixteen ids a row, 0x00 to 0xB9.
constexpr u16 kLengths[kClientPacketTableSize] = {
    100, 5,  3,  V,   2,   5,   5,  7,   14,  5,  11, 266, V,   3,  V,  61,  // 0x0_
    215, V,  V,  10,  6,   9,   1,  V,   V,   V,  V,  37,  V,   5,  4,  8,   // 0x1_
    19,  8,  3,  26,  7,   20,  5,  2,   5,   1,  5,  2,   2,   17, 15, 10,  // 0x2_
    5,   1,  2,  2,   10,  653, V,  8,   7,   9,  V,  V,   V,   2,  37, V,   // 0x3_
    201, V,  V,  553, 713, 5,   V,  11,  73,  93, 5,  9,   V,   V,  6,  2,   // 0x4_
    V,   V,  V,  2,   12,  1,   11, 110, 106, V,  V,  4,   2,   73, V,  49,  // 0x5_
    5,   9,  15, 13,  1,   4,   V,  21,  V,   V,  3,  9,   19,  3,  14, V,   // 0x6_
    28,  V,  5,  2,   V,   35,  16, 17,  V,   9,  V,  2,   V,   13, 2,  V,   // 0x7_
    62,  V,  2,  39,  69,  2,   V,  V,   66,  V,  V,  V,   11,  V,  V,  V,   // 0x8_
    19,  65, V,  98,  V,   9,   V,  2,   V,   26, V,  258, 309, 51, V,  V,   // 0x9_
    3,   9,  9,  9,   149, V,   V,  4,   V,   V,  5,  V,   V,   V,  V,  13,  // 0xA_
    V,   V,  V,  V,   V,   64,  6,  V,   V,   3,                             // 0xB_
};

}  // namespace

u16 ClientPacketLengthTable(int id) {
    return id >= 0 && id < kClientPacketTableSize ? kLengths[id] : 0;
}

bool ClientPacketIsVariable(int id) {
    return (ClientPacketLengthTable(id) & kClientVariableLength) != 0;
}

size_t ClientPacketHeaderLength(int id) {
    return ClientPacketIsVariable(id) ? 3 : 1;
}
