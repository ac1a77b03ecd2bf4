// The bulletin-board packets (0x71) as bytes worked by hand: the board, a message's summary
// and the whole message, with its variables missing, mistyped or ending in a lone graphic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "core/cstr.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/net/board_packets.h"
#include "server/world/bulletin_board.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/world/world_test_support.h"

namespace {

using Entry = std::variant<int, std::string>;

std::vector<u8> Serial(u32 s) {
    return {static_cast<u8>(s >> 24), static_cast<u8>(s >> 16), static_cast<u8>(s >> 8),
            static_cast<u8>(s)};
}
// A board string: the byte length with the 0, the text and the 0.
std::vector<u8> BoardText(const std::string& text) {
    return Concat({{static_cast<u8>(text.size() + 1)}, Text(text), {0}});
}
std::vector<u8> WithLength(std::vector<u8> packet) {
    packet[1] = static_cast<u8>(packet.size() >> 8);
    packet[2] = static_cast<u8>(packet.size());
    return packet;
}

class BoardPacketsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        std::strcpy(GetTileData().MutableStatic(7775)->name, "bulletin board");
        board = static_cast<CBulletinBoard*>(PlacedItem(4, 4, 0, 7775));
        message = NewItem(kMessageGraphic);
        ASSERT_TRUE(message->AddToContainer(board, Location(0, 0, 0)));
    }
    void SetList(const char* name, const std::vector<Entry>& entries) {
        CScriptList list;
        for (const Entry& e : entries) {
            if (const int* i = std::get_if<int>(&e)) {
                list.Append(kTypeInt, ScriptListValue::Int(*i));
            } else {
                CStr s(std::get<std::string>(e).c_str());
                list.Append(kTypeString, ScriptListValue::Ptr(&s));
            }
        }
        ObjVars::Set(message->ScriptAttachments(), name, kTypeList, ScriptListValue::Ptr(&list));
    }
    std::vector<u8> Build(BoardMessageForm form) {
        BuiltPacket p;
        EXPECT_TRUE(BuildBoardMessagePacket(p.w, *message, form));
        return p.Bytes();
    }
    CBulletinBoard* board = nullptr;
    CItem* message = nullptr;
};

TEST_F(BoardPacketsTest, TheBoardCarriesItsSerialAndTileName) {
    BuiltPacket p;
    ASSERT_TRUE(BuildBoardOpenPacket(p.w, *board));
    std::vector<u8> name = Text("bulletin board");
    name.resize(30, 0);
    EXPECT_EQ(p.Bytes(), Concat({Hex("71 00 26 00"), Serial(board->GetSerial()), name}));
    EXPECT_EQ(p.w.Length(), kBoardOpenLength);
}

TEST_F(BoardPacketsTest, ASummaryOfAMessageWithoutVariablesSendsEmptyStringsAndDayZero) {
    EXPECT_EQ(Build(BoardMessageForm::kSummary),
              WithLength(Concat({Hex("71 00 00 01"), Serial(board->GetSerial()),
                                 Serial(message->GetSerial()), Hex("00000000 0100 0100"),
                                 BoardText("Day 0 @ 0:00")})));
}

TEST_F(BoardPacketsTest, ASummaryNamesItsParentPosterSubjectAndTime) {
    ObjVars::Set(message->ScriptAttachments(), "msgId", kTypeObject, ScriptListValue::Int(0x4001));
    ObjVars::Set(message->ScriptAttachments(), "postTime", kTypeInt,
                 ScriptListValue::Int(2 * 1440 + 13 * 60 + 5));
    SetList("poster", {std::string("Ann"), 400, 0});
    SetList("postText", {std::string("Hi"), std::string("body")});
    EXPECT_EQ(Build(BoardMessageForm::kSummary),
              WithLength(Concat({Hex("71 00 00 01"), Serial(board->GetSerial()),
                                 Serial(message->GetSerial()), Hex("00004001"), BoardText("Ann"),
                                 BoardText("Hi"), BoardText("Day 2 @ 13:05")})));
}

TEST_F(BoardPacketsTest, AWholeMessageSendsWhatItsListsHoldAndNothingPastThem) {
    struct Case {
        const char* name;
        std::vector<Entry> poster;
        std::vector<Entry> text;
        std::string posterName, subject;
        const char* tail;  // look and lines, after the time
    };
    const std::string a = "Ann", hi = "Hi";
    const Case cases[] = {
        {"a full look and two lines", {a, 400, 0x83EA, 5, 6, 7, 8}, {hi, std::string("one"),
         std::string("")}, a, hi, "0190 83EA 02 0005 0006 0007 0008 02 04 6F6E6500 01 00"},
        {"a lone last graphic is not sent", {a, 400, 0x83EA, 5, 6, 7}, {hi}, a, hi,
         "0190 83EA 01 0005 0006 00"},
        {"a look not led by a name and a body", {400, a, 1}, {hi}, "", hi, "0000 0000 00 00"},
        {"no hue entry", {a, 400}, {hi}, a, hi, "0190 0000 00 00"},
        {"a mistyped hue", {a, 400, a, 5, 6}, {hi}, a, hi, "0190 0000 00 00"},
        {"mistyped pair entries and lines", {a, 400, 2, a, 9}, {hi, 5, std::string("x")}, a, hi,
         "0190 0002 01 0000 0009 02 0100 027800"},
        {"a text not led by a subject", {a, 400, 2}, {5, std::string("x")}, a, "",
         "0190 0002 00 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetList("poster", c.poster);
        SetList("postText", c.text);
        EXPECT_EQ(Build(BoardMessageForm::kFull),
                  WithLength(Concat({Hex("71 00 00 02"), Serial(board->GetSerial()),
                                     Serial(message->GetSerial()), BoardText(c.posterName),
                                     BoardText(c.subject), BoardText("Day 0 @ 0:00"),
                                     Hex(c.tail)})));
    }
}

TEST_F(BoardPacketsTest, LongTextsAreCutToWhatTheLengthByteHolds) {
    const std::string longLine(300, 'w');
    SetList("postText", {longLine, longLine});
    const std::vector<u8> bytes = Build(BoardMessageForm::kFull);
    const std::vector<u8> cut = BoardText(std::string(254, 'w'));
    // The subject after the board, message and poster fields.
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), bytes.begin() + 4 + 8 + 2));
    // The last line, before nothing.
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), bytes.end() - cut.size()));
}

}  // namespace
