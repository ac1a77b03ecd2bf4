// The one packet table as each half frames it: lengths of ids, the rows where the halves
// differ, and the server's framed length of the bytes at hand.
#include "core/protocol/packet_table.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PacketTable, LengthsOfTheProtocolOnEachSide) {
    constexpr u16 V = kVariableLength;
    struct Case {
        int id;
        u16 server;
        u16 client;
    };
    // The ids the server refuses are framed by the client, and so are four ids past the
    // server's table.
    const Case cases[] = {
        {0x00, 100, 100}, {0x02, 3, 3},     {0x03, V, V},     {0x0B, 0, 266}, {0x10, 0, 215},
        {0x1F, 0, 8},     {0x59, 0, V},     {0x35, 653, 653}, {0x5D, 73, 73}, {0x80, 62, 62},
        {0x91, 65, 65},   {0xA4, 149, 149}, {0xB1, V, V},     {0xB5, 64, 64}, {0xB6, 0, 6},
        {0xB7, 0, V},     {0xB8, 0, V},     {0xB9, 0, 3},     {0xBA, 0, 0},   {0xFF, 0, 0},
        {-1, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PacketTableWord(c.id), c.server) << std::hex << c.id;
        EXPECT_EQ(PacketTableIsVariable(c.id), c.server == V) << std::hex << c.id;
        EXPECT_EQ(PacketHeaderSize(c.id), c.server == V ? 3u : 1u) << std::hex << c.id;
        EXPECT_EQ(ClientPacketLengthTable(c.id), c.client) << std::hex << c.id;
        EXPECT_EQ(ClientPacketIsVariable(c.id), c.client == V) << std::hex << c.id;
        EXPECT_EQ(ClientPacketHeaderLength(c.id), c.client == V ? 3u : 1u) << std::hex << c.id;
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
