#include "server/net/data_packets.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../world/world_test_support.h"
#include "core/log_sink.h"
#include "packet_test_support.h"

namespace {

class DataPacketsTest : public WorldTest {
protected:
    BuiltPacket p;
};

TEST_F(DataPacketsTest, StaticsBlockListsTheCellsStatics) {
    const int block = g_sectorGrid.CellIndexAt(17, 9);
    ASSERT_TRUE(BuildStaticsBlockPacket(p.w, block));
    const std::vector<u8> empty = p.Bytes();
    ASSERT_EQ(empty.size(), 15u);
    EXPECT_EQ(Be32(empty, 3), static_cast<u32>(block));
    EXPECT_EQ(Be32(empty, 7), 0u);

    CStaticObject* s = CStaticObject::Acquire();
    s->SetType(kTable);
    s->SetHue(0x0102);
    s->PlaceInWorld(Location(17, 9, -4));
    BuiltPacket one;
    ASSERT_TRUE(BuildStaticsBlockPacket(one.w, block));
    const std::vector<u8> b = one.Bytes();
    EXPECT_EQ(std::vector<u8>(b.begin() + 7, b.end()),
              Hex("00 00 00 01 00 00 00 00 00 65 01 01 FC 01 02"));
    s->Release();

    BuiltPacket none;
    EXPECT_FALSE(BuildStaticsBlockPacket(none.w, g_sectorGrid.GetCellCount()));
}

TEST_F(DataPacketsTest, TileDataGroups511And512AreTheLastLandAndTheFirstStatics) {
    LandTileRecord* land = GetTileData().MutableLand(16383);
    land->flags = 0x01020304;
    land->texture = 0x0506;
    std::strcpy(land->name, "edge");
    StaticTileRecord* first = GetTileData().MutableStatic(0);
    first->flags = 0x0A0B0C0D;
    first->weight = 7;
    first->layer = 9;
    first->value = 0x11223344;
    first->animation = 0x5566;
    first->height = 12;
    std::strcpy(first->name, "nothing");

    ASSERT_TRUE(BuildTileDataPacket(p.w, 511));
    std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), 11u + 32 * 26);
    EXPECT_EQ(Be32(b, 3), 511u);
    const size_t last = 11 + 31 * 26;
    EXPECT_EQ(Be32(b, last), 0x01020304u);
    EXPECT_EQ(Be16(b, last + 4), 0x0506);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[last + 6])), "edge");

    BuiltPacket statics;
    ASSERT_TRUE(BuildTileDataPacket(statics.w, 512));
    b = statics.Bytes();
    ASSERT_EQ(b.size(), kMaxTileDataLength);
    EXPECT_EQ(std::vector<u8>(b.begin() + 11, b.begin() + 28),
              Hex("0A 0B 0C 0D 07 09 11 22 33 44 55 66 00 00 00 00 0C"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "nothing");

    BuiltPacket outside;
    EXPECT_FALSE(BuildTileDataPacket(outside.w, kTileDataGroups));
}

TEST_F(DataPacketsTest, MultiComponentsAreSentInNetworkOrderFieldByField) {
    const std::vector<u8> file = Hex("34 12 FF FF 02 00 05 00 01 00 00 00 99");
    ASSERT_TRUE(BuildMultiDataPacket(p.w, 3, file.data(), file.size()));
    EXPECT_EQ(p.Bytes(),
              Hex("92 00 17 00 00 00 03 00 00 00 00 12 34 FF FF 00 02 00 05 00 00 00 01"));

    BuiltPacket tooLong;
    std::vector<u8> big(0xFFFF, 0);
    ASSERT_TRUE(BuildMultiDataPacket(tooLong.w, 3, big.data(), big.size()));
    EXPECT_EQ(tooLong.Bytes().size(), 11u);

    // Records just under 0xFFFF bytes would not fit the 16-bit length: not sent, logged.
    std::vector<u8> nearly(0xFFFC, 0);  // 5461 records: 11 + 65532 bytes
    LogCapture log;
    BuiltPacket overflow;
    EXPECT_FALSE(BuildMultiDataPacket(overflow.w, 3, nearly.data(), nearly.size()));
    EXPECT_EQ(log.Entries().size(), 1u);
}

TEST_F(DataPacketsTest, AGraphicsThreeResourceEntriesAreAHeaderAndThreeEntries) {
    ResourceEntryFields entries[3];
    for (int i = 0; i < 3; ++i) {
        entries[i].amounts[0] = 0x10000 + i;  // low 16 bits only
        entries[i].key = 40 + i;
    }
    ASSERT_TRUE(BuildGraphicResourcePacket(p.w, 0x0EED, 0, nullptr));
    EXPECT_EQ(p.Bytes(), Hex("36 00 09 0E ED 00 00 00 00"));
    for (int i = 0; i < 3; ++i) {
        BuiltPacket e;
        ASSERT_TRUE(BuildGraphicResourcePacket(e.w, 0x0EED, i + 1, &entries[i]));
        const std::vector<u8> b = e.Bytes();
        ASSERT_EQ(b.size(), kGraphicResourceEntryLength);
        EXPECT_EQ(Be16(b, 5), 1);
        EXPECT_EQ(Be16(b, 7), i + 1);
        EXPECT_EQ(Be16(b, 9), i);
        EXPECT_EQ(Be16(b, 25), 40 + i);
    }
    BuiltPacket none;
    EXPECT_FALSE(BuildResourceTypePacket(none.w, nullptr));
    EXPECT_EQ(none.w.Length(), 0u);
}

TEST_F(DataPacketsTest, HuesAreSentInNetworkOrder) {
    std::vector<u8> file(kHuesFileSize, 0);
    // Hue 9 (block 1, second record): first colour 0x1234, name "blue".
    u8* record = file.data() + (4 + kHueGroupSize * kHueRecordSize) + 4 + kHueRecordSize;
    record[0] = 0x34;
    record[1] = 0x12;
    std::memcpy(record + 68, "blue", 4);
    ASSERT_TRUE(GetTileData().ReadHues(file.data(), file.size()));
    ASSERT_TRUE(BuildHueBlockPacket(p.w, 1));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), kHueBlockLength);
    EXPECT_EQ(Be32(b, 1), 1u);
    EXPECT_EQ(Be16(b, 9 + kHueRecordSize), 0x1234);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[9 + kHueRecordSize + 68])), "blue");
}

}  // namespace
