#include "script/language/token_file.h"

#include <gtest/gtest.h>

#include "script/language/string_table.h"
#include "script/token_stream_builder.h"

namespace {

TEST(ScriptStringTable, ReadsLinesCuttingLfThenCr) {
    ScriptStringTable table;
    std::string error;
    ASSERT_TRUE(table.LoadFromText("abc\r\n\"lit\"\n\nlast", error));
    ASSERT_EQ(table.Count(), 4u);
    EXPECT_EQ(table.Line(0), "abc");
    EXPECT_EQ(table.Line(1), "\"lit\"");
    EXPECT_EQ(table.Line(2), "");
    EXPECT_EQ(table.Line(3), "last");
}

TEST(ScriptStringTable, RefusesOverlongLinesAndKeepsNothing) {
    ScriptStringTable table;
    std::string error;
    ASSERT_TRUE(table.LoadFromText(std::string(1023, 'x') + "\n", error));
    EXPECT_FALSE(table.LoadFromText("ok\n" + std::string(1024, 'x') + "\n", error));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(ScriptTokenReader, AdjacentStringPiecesFormOneLiteral) {
    TokenStreamBuilder b;
    b.Str("ab").Str("cd").Semi();
    const std::vector<u8> s = b.Terminated();
    TokenReader reader(s.data(), s.size(), b.table);
    size_t pos = 0;
    ScriptToken t;
    ASSERT_TRUE(reader.ReadToken(pos, t));
    EXPECT_EQ(t.text, "\"abcd\"");
    EXPECT_EQ(pos, 8u);
    ASSERT_TRUE(reader.ReadToken(pos, t));
    EXPECT_TRUE(MatchTokenClass(t, SM_SEMI));
}

TEST(ScriptTokenReader, EndOfStreamRepeats) {
    TokenStreamBuilder b;
    b.Id("x");
    for (const bool terminated : {true, false}) {
        const std::vector<u8> s = terminated ? b.Terminated() : b.bytes;
        TokenReader reader(s.data(), s.size(), b.table);
        size_t pos = 0;
        ScriptToken t;
        ASSERT_TRUE(reader.ReadToken(pos, t));
        EXPECT_EQ(t.text, "x");
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(reader.ReadToken(pos, t));
            EXPECT_TRUE(t.IsEnd());
            EXPECT_EQ(pos, 4u);
        }
    }
}

TEST(ScriptTokenReader, NumberTokensDecode) {
    const struct {
        std::vector<u8> bytes;
        s32 value;
    } cases[] = {
        {{0x31, T_BYTE, 0xFF}, 255},
        {{0x31, T_WORD, 0xFF, 0xFF}, 65535},
        {{0x31, T_DWORD, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {{0x31, T_DWORD, 0x00, 0x00, 0x00, 0x80}, -2147483647 - 1},
    };
    ScriptStringTable table;
    for (const auto& c : cases) {
        TokenReader reader(c.bytes.data(), c.bytes.size(), table);
        size_t pos = 0;
        ScriptToken t;
        ASSERT_TRUE(reader.ReadToken(pos, t));
        EXPECT_EQ(DecodeNumberToken(t), c.value);
        EXPECT_EQ(pos, c.bytes.size());
    }
    ScriptToken semi;
    semi.form = ScriptToken::Form::Raw;
    semi.code = TokenCode(SM_SEMI);
    EXPECT_EQ(DecodeNumberToken(semi), -1);
}

TEST(ScriptTokenReader, MatchesEveryAliasAndTextClasses) {
    for (int alias = 0; alias < kTokenAliasCount; ++alias) {
        ScriptToken t;
        t.form = ScriptToken::Form::Raw;
        t.code = TokenCode(TK_WHILE, alias);
        EXPECT_TRUE(MatchTokenClass(t, TK_WHILE));
        EXPECT_FALSE(MatchTokenClass(t, TK_IF));
    }
    ScriptToken text;
    text.form = ScriptToken::Form::Text;
    text.text = "TR_SPEECH";
    EXPECT_TRUE(MatchTokenClass(text, 66));
    text.text = "TR_MURDERCOUNTCHANGED";
    EXPECT_TRUE(MatchTokenClass(text, 136));
    text.text = "";
    EXPECT_FALSE(MatchTokenClass(text, 0));  // empty slots match nothing
    EXPECT_FALSE(MatchTokenClass(text, 137));
    EXPECT_FALSE(MatchTokenClass(text, -1));
    // No code has a low byte of 0, so a code never reads as the end of the stream.
    for (int cls = 0; cls < kTokenClassCount; ++cls) {
        if (IsCodeTokenClass(cls)) {
            EXPECT_NE(TokenCode(cls) & 0xFF, 0) << cls;
        }
    }
}

TEST(ScriptTokenReader, MalformedStreamsAreRefusedWithoutReadingPastTheBuffer) {
    ScriptStringTable table;
    std::string error;
    ASSERT_TRUE(table.LoadFromText("only\n", error));
    const struct {
        std::vector<u8> bytes;
        const char* message;
    } cases[] = {
        {{0x31}, "token code cut short"},
        {{0x31, T_ID, 0x00}, "token operand cut short"},
        {{0x31, T_DWORD, 1, 2, 3}, "token operand cut short"},
        {{0x31, T_ID, 0x01, 0x00}, "string index 1 is past the string table"},
        {{0x31, T_STR, 0x00, 0x00, 0x31, T_STR, 0x05}, "token operand cut short"},
        {{0x31, T_STR, 0x00, 0x00, 0x31, T_STR, 0x09, 0x00}, "string index 9"},
    };
    for (const auto& c : cases) {
        // An exact-size heap copy: reading one byte too far trips the address sanitizer.
        std::vector<u8> exact(c.bytes);
        TokenReader reader(exact.data(), exact.size(), table);
        size_t pos = 0;
        ScriptToken t;
        EXPECT_FALSE(reader.ReadToken(pos, t));
        EXPECT_NE(reader.Error().find(c.message), std::string::npos) << reader.Error();
    }
}

TEST(ScriptTokenReader, UnknownCodesAreTwoByteTokensOfNoClass) {
    const std::vector<u8> s = {0x7F, 0x7F, 0x31, SM_SEMI};
    ScriptStringTable table;
    TokenReader reader(s.data(), s.size(), table);
    size_t pos = 0;
    ScriptToken t;
    ASSERT_TRUE(reader.ReadToken(pos, t));
    EXPECT_EQ(t.Class(), -1);
    EXPECT_EQ(pos, 2u);
}

}  // namespace
