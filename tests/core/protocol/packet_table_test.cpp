// The one packet table as each half frames it: lengths of ids, the rows where the halves
// differ, and the server's framed length of the bytes at hand.
#include "core/protocol/packet_table.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PacketTable, LengthsOfTheProtocol) {
    struct Case {
        int id;
        u16 word;
    };
    const Case cases[] = {
        {0x00, 100},
        {0x02, 3},
        {0x03, kVariableLength},
        {0x0B, 0},
        {0x10, 0},
        {0x1F, 0},
        {0x59, 0},
        {0x35, 653},
        {0x5D, 73},
        {0x80, 62},
        {0x91, 65},
        {0xA4, 149},
        {0xB5, 64},
        {0xB6, 0},
        {0xFF, 0},
        {-1, 0},
        {0xB1, kVariableLength},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PacketTableWord(c.id), c.word) << std::hex << c.id;
        EXPECT_EQ(PacketHeaderSize(c.id), c.word == kVariableLength ? 3u : 1u) << std::hex << c.id;
    }
}

TEST(PacketTable, ClientLengthsOfTheProtocol) {
    struct Case {
        int id;
        u16 word;
    };
    // The ids the server refuses are framed by the client, and so are four ids past the
    // server's table.
    const Case cases[] = {
        {0x00, 100},
        {0x02, 3},
        {0x03, kVariableLength},
        {0x0B, 266},
        {0x10, 215},
        {0x1F, 8},
        {0x59, kVariableLength},
        {0xB5, 64},
        {0xB6, 6},
        {0xB7, kVariableLength},
        {0xB8, kVariableLength},
        {0xB9, 3},
        {0xBA, 0},
        {0xFF, 0},
        {-1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClientPacketLengthTable(c.id), c.word) << std::hex << c.id;
        EXPECT_EQ(ClientPacketIsVariable(c.id), c.word == kVariableLength) << std::hex << c.id;
        EXPECT_EQ(ClientPacketHeaderLength(c.id), c.word == kVariableLength ? 3u : 1u)
            << std::hex << c.id;
    }
}

TEST(PacketTable, RowsDifferOnlyWhereTheServerRefuses) {
    std::vector<int> differ;
    for (const PacketRow& row : PacketRows()) {
        if (row.serverLength != row.clientLength) {
            EXPECT_EQ(row.serverLength, 0) << std::hex << int(row.id);
            differ.push_back(row.id);
        }
    }
    EXPECT_EQ(differ, (std::vector<int>{0x0B, 0x10, 0x1F, 0x59, 0xB6, 0xB7, 0xB8, 0xB9}));
}

TEST(PacketTable, FramedLengthOfTheBytesAtHand) {
    struct Case {
        std::vector<u8> bytes;
        int length;
    };
    const Case cases[] = {
        {{0x02}, 3},                  // fixed: known from the id alone
        {{0x03}, -1},                 // variable: needs bytes 1-2
        {{0x03, 0x00}, -1},           //
        {{0x03, 0x00, 0x08}, 8},      //
        {{0x03, 0x00, 0x00}, 0},      // says less than its own header
        {{0x03, 0x00, 0x02}, 0},      //
        {{0x03, 0x00, 0x03}, 3},      // header only
        {{0x03, 0xFF, 0xFF}, 65535},  //
        {{0x0B, 1, 2, 3}, 0},         // not accepted
        {{0xB6}, 0},                  // past the table
        {{}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PacketFramedLength(c.bytes.data(), c.bytes.size()), c.length);
    }
}
