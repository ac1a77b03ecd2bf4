#include "server/net/text_packets.h"

#include <gtest/gtest.h>

#include "../world/world_test_support.h"
#include "core/log_sink.h"
#include "packet_test_support.h"

namespace {

struct NamedPlayer : CPlayer {
    std::string name = "Ayla";
    const char* GetRealName() const override { return name.c_str(); }
};

class TextPacketsTest : public WorldTest {
protected:
    BuiltPacket p;
};

TEST_F(TextPacketsTest, SystemMessageWithoutASpeaker) {
    ASSERT_TRUE(BuildTextMessagePacket(p.w, nullptr, 6, "Hi", 0x03B2, 3, false));
    EXPECT_EQ(p.Bytes(), Concat({Hex("1C 00 2F FF FF FF FF FF FF 06 03 B2 00 03"),
                                 std::vector<u8>(30, 0), Hex("48 69 00")}));
}

TEST_F(TextPacketsTest, LongTextsAreCutTo1023CharactersAndATerminator) {
    const std::string text(2000, 'a');
    ASSERT_TRUE(BuildTextMessagePacket(p.w, nullptr, 0, text.c_str(), 0, 3, false));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), 44u + 1023 + 1);
    EXPECT_EQ(Be16(b, 1), b.size());
    EXPECT_EQ(b[44 + 1022], 'a');
    EXPECT_EQ(b.back(), 0);
}

TEST_F(TextPacketsTest, SpeakerNamesOfPlayersNpcsAndGameMasters) {
    NamedPlayer* player = new NamedPlayer;
    CItem* stone = NewItem();
    struct Case {
        const CBaseObject* speaker;
        bool gmBody;
        std::string name;
    };
    const Case cases[] = {
        {player, false, "Ayla"},
        {player, true, "GM Ayla"},
        {stone, false, ""},
        {stone, true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpeakerNameField(c.speaker, c.gmBody), c.name);
    player->name = std::string(40, 'n');
    EXPECT_EQ(SpeakerNameField(player, true), "GM " + std::string(27, 'n'));

    ASSERT_TRUE(BuildTextMessagePacket(p.w, stone, 0, "x", 0, 3, false));
    EXPECT_EQ(Be32(p.Bytes(), 3), stone->GetSerial());
    EXPECT_EQ(Be16(p.Bytes(), 7), kPlainItem);
}

TEST_F(TextPacketsTest, UpdateNoticeJoinsLinesWithSpacesAndEmptyLinesAsReturns) {
    const std::string file = "12\r\nA\r\n\r\nB\n";
    ASSERT_TRUE(BuildNoticePacket(p.w, kNoticeUpdate, 0, &file));
    EXPECT_EQ(p.Bytes(), Hex("A6 00 0F 01 00 00 00 0C 00 05 41 20 0D 42 20"));

    BuiltPacket missing;
    ASSERT_TRUE(BuildNoticePacket(missing.w, kNoticeUpdate, 5, nullptr));
    EXPECT_EQ(missing.Bytes(),
              Concat({Hex("A6 00 18 01 00 00 00 00 00 0E"), Text("MISSING UPDATE")}));
    // A byte 0xFF ends the file.
    EXPECT_EQ(NoticeText(std::string("one\ntwo\xFFthree\n")), "one two ");
}

TEST_F(TextPacketsTest, MenuEntriesWithEmptyOrMissingTexts) {
    const std::string longText(300, 'z');
    const std::vector<MenuEntry> entries = {
        {0x0E75, 0, ""}, {0x0E76, 0x21, nullptr}, {1, 2, "ab"}, {3, 4, longText.c_str()}};
    ASSERT_TRUE(BuildMenuPacket(p.w, 0x40000001, 7, "Pick", entries));
    const std::vector<u8> b = p.Bytes();
    const std::vector<u8> head = Concat({Hex("7C 00 00 40 00 00 01 00 07 04"), Text("Pick"),
                                         Hex("04 0E 75 00 00 01 00 0E 76 00 21 00 00 01 00 02 02"),
                                         Text("ab"), Hex("00 03 00 04 FF")});
    ASSERT_EQ(b.size(), head.size() + 255);
    EXPECT_TRUE(std::equal(head.begin() + 3, head.end(), b.begin() + 3));
    EXPECT_EQ(MenuItemTextLength(nullptr), 0);
    EXPECT_EQ(MenuItemTextLength(""), 1);
}

TEST_F(TextPacketsTest, GumpLayoutJoinsOnlyItsStringsAndWidensTexts) {
    std::vector<GumpEntry> layout(4);
    layout[0] = {GumpEntry::Kind::kNarrow, "{page 0}", {}};
    layout[1] = {GumpEntry::Kind::kOther, {}, {}};
    layout[2] = {GumpEntry::Kind::kNarrow, "{text}", {}};
    layout[3] = {GumpEntry::Kind::kNarrow, "{x}", {}};
    std::vector<GumpEntry> texts(3);
    texts[0] = {GumpEntry::Kind::kWide, {}, u"\u263Aa"};
    texts[1] = {GumpEntry::Kind::kNarrow, "\xE9", {}};
    texts[2] = {GumpEntry::Kind::kOther, {}, {}};
    ASSERT_TRUE(BuildGenericGumpPacket(p.w, 0x40000001, 1, 2, 3, layout, texts));
    const std::vector<u8> b = p.Bytes();
    EXPECT_EQ(Be16(b, 19), 18);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[21])), "{page 0}{text}{x}");
    EXPECT_EQ(std::vector<u8>(b.begin() + 39, b.end()),
              Hex("00 03 00 02 26 3A 00 61 00 01 00 E9 00 00"));
    EXPECT_EQ(Be16(b, 1), b.size());
}

TEST_F(TextPacketsTest, AGumpLayoutPast16384BytesIsNotSentAndIsLogged) {
    struct Case {
        size_t layoutBytes;
        bool sent;
    };
    for (const Case c : {Case{16383, true}, Case{16384, false}}) {
        std::vector<GumpEntry> layout(2);
        layout[0] = {GumpEntry::Kind::kNarrow, std::string(c.layoutBytes - 1, 'a'), {}};
        layout[1] = {GumpEntry::Kind::kNarrow, "b", {}};
        LogCapture log;
        BuiltPacket b;
        EXPECT_EQ(BuildGenericGumpPacket(b.w, 1, 0, 0, 0, layout, {}), c.sent) << c.layoutBytes;
        EXPECT_EQ(log.Entries().size(), c.sent ? 0u : 1u);
    }
}

TEST_F(TextPacketsTest, NameAnswerFindsAMobileWithinEighteenTiles) {
    NamedPlayer* asker = new NamedPlayer;
    asker->PlaceInWorld(Location(10, 10, 0));
    NamedPlayer* near = new NamedPlayer;
    near->name = "Brom";
    near->PlaceInWorld(Location(28, 10, 0));
    NamedPlayer* far = new NamedPlayer;
    far->PlaceInWorld(Location(29, 10, 0));
    CItem* stone = PlacedItem(11, 10, 0);
    struct Case {
        u32 serial;
        const char* name;
    };
    const Case cases[] = {
        {near->GetSerial(), "Brom"}, {far->GetSerial(), ""}, {stone->GetSerial(), ""}};
    for (const Case& c : cases) {
        BuiltPacket b;
        ASSERT_TRUE(BuildNameAnswerPacket(b.w, *asker, c.serial));
        const std::vector<u8> bytes = b.Bytes();
        ASSERT_EQ(bytes.size(), kNameAnswerLength);
        EXPECT_EQ(Be32(bytes, 3), c.serial);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[7])), c.name);
    }
}

TEST_F(TextPacketsTest, StringQueryAndSignCountTheirTerminators) {
    ASSERT_TRUE(BuildStringQueryPacket(p.w, 0x40000001, 2, "Name?", 1, 0, 30, "Bob"));
    EXPECT_EQ(p.Bytes(), Concat({Hex("AB 00 1D 40 00 00 01 00 02 00 06"), Text("Name?"),
                                 Hex("00 01 00 00 00 00 1E 00 04"), Text("Bob"), Hex("00")}));
    BuiltPacket sign;
    ASSERT_TRUE(BuildSignGumpPacket(sign.w, 5, 0x64, "A", ""));
    EXPECT_EQ(sign.Bytes(), Hex("8B 00 10 00 00 00 05 00 64 00 02 41 00 00 01 00"));
}

}  // namespace
