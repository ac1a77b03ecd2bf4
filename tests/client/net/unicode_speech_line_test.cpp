// The speech line while the client speaks Unicode: 16-bit characters measured in the Unicode
// font, shown through the 16-bit typing line and sent as Unicode speech (0xAD).
#include <gtest/gtest.h>

#include "client/data/unicode_fonts.h"
#include "client/net/client_packets.h"
#include "client/net/speech_line.h"
#include "tests/client/net/speech_fixture.h"
#include "tools/content_builder/font_files.h"

namespace {

constexpr char16_t kZhe = u'\u0416';  // a character past the byte range with a glyph
constexpr char16_t kSmile = u'\u263A';  // one without

// Every glyph one row high and filled; its advance is its width + 1. 'W' is 6 pixels wide,
// the others 3 (the space advances 8, the font's own space width).
std::vector<u8> SpeechUnicodeFont() {
    UnicodeFontWriter writer;
    const u8 row[] = {0xFF};
    for (char16_t unit :
         std::u16string(u"abcdefghijklmnopqrstuvwxyz0123456789:;!'.*+-\u00e9") + kZhe)
        writer.Add(unit, 0, 0, 2, 1, row);
    writer.Add(u'W', 0, 0, 5, 1, row);
    return writer.Bytes();
}

class UnicodeSpeechLineTest : public SpeechFixture {
protected:
    ~UnicodeSpeechLineTest() override { ResetUnicodeFonts(); }
    // The font and the setting, in place before the line below is made.
    static bool SpeakUnicode() {
        ResetUnicodeFonts();
        SetUnicodeFontBytes(0, SpeechUnicodeFont());
        ClientSettings settings;
        settings.options.unicodeSpeech = true;
        SetClientSettings(settings);
        return true;
    }

    void Type(CSpeechLine& l, const std::u16string& text) {
        for (char16_t c : text)
            l.OnChar(c);
    }
    void Type(const std::u16string& text) { Type(line, text); }
    void Enter() { line.OnChar(13); }
    Bytes Only(u8 id) {
        const auto sent = Packets();
        EXPECT_EQ(sent.size(), 1u);
        if (sent.size() != 1) return {};
        EXPECT_EQ(sent[0].id, id);
        return sent[0].bytes;
    }
    // The 16-bit text of a 0xAD from byte 12 to its 0 unit.
    static std::u16string WideTextAt(const Bytes& p) {
        std::u16string out;
        for (size_t i = 12; i + 1 < p.size() && (p[i] | p[i + 1]) != 0; i += 2)
            out.push_back(char16_t(p[i] << 8 | p[i + 1]));
        return out;
    }
    const RecordingSpeechHost::WideShown& LastShown() const { return host.wideShown.back(); }

    bool unicode_ = SpeakUnicode();
    CSpeechLine line{&net.link};
};

TEST_F(UnicodeSpeechLineTest, AColonASpaceAndAWordSpeakAnEmoteAsGoldenBytes) {
    ASSERT_TRUE(line.Unicode());
    Type(u":");
    EXPECT_EQ(LastShown().text, u":");
    Type(u" ");
    EXPECT_EQ(LastShown().prefix, "Emote: ");
    EXPECT_EQ(LastShown().hue, kEmoteHue);
    Type(u"w\u00e9");
    line.OnChar(kZhe);
    EXPECT_EQ(LastShown().text, std::u16string(u"w\u00e9") + kZhe);
    EXPECT_TRUE(LastShown().caret);
    Enter();
    EXPECT_EQ(Only(0xAD), (Bytes{0xAD, 0, 24, 2, 0x02, 0x25, 0, 3, 0, 0, 0, 0, 0, '*', 0, 'w',
                                 0, 0xE9, 0x04, 0x16, 0, '*', 0, 0}));
    EXPECT_TRUE(line.WideText().empty());
    EXPECT_EQ(line.GetMode(), CSpeechLine::kNormal);
    // The byte typing line is never asked.
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(UnicodeSpeechLineTest, TrailingSpacesAreCutAndInnerRunsKept) {
    struct Case {
        std::u16string typed, sent;
        int mode;
    } cases[] = {
        {u"hi  there  ", u"hi  there", 0},
        {u"a", u"a", 0},
        {u"! loud ", u"loud", 9},
        {u"; low", u"low", 8},
        {u"x hi", u"x hi", 0},
    };
    for (const Case& c : cases) {
        Type(c.typed);
        Enter();
        const Bytes p = Only(0xAD);
        ASSERT_GE(p.size(), 14u);
        EXPECT_EQ(p[3], c.mode);
        EXPECT_EQ(p[4] << 8 | p[5], kSpeechHue);
        EXPECT_EQ(WideTextAt(p), c.sent);
    }
}

TEST_F(UnicodeSpeechLineTest, TheLineStopsAt128CharactersAnd600PixelsOfTheUnicodeFont) {
    Type(std::u16string(128, kZhe));
    Type(u"a. ");
    EXPECT_EQ(line.WideText(), std::u16string(128, kZhe));
    // After 100 'W' the line is 600 pixels wide.
    CSpeechLine wide{&net.link};
    Type(wide, std::u16string(100, u'W'));
    Type(wide, u"W. a");
    EXPECT_EQ(wide.WideText(), std::u16string(100, u'W'));
    // 99 'W' and an 'a': 597 pixels, so one more character still goes in.
    CSpeechLine nearly{&net.link};
    Type(nearly, std::u16string(99, u'W') + u"aW");
    EXPECT_EQ(nearly.WideText(), std::u16string(99, u'W') + u"aW");
}

TEST_F(UnicodeSpeechLineTest, OnlyCharactersOfTheUnicodeFontAreTyped) {
    Type(u"a");
    line.OnChar(kSmile);  // no glyph
    line.OnChar(7);
    line.OnChar(0x10000);  // past 16 bits
    line.OnChar(kZhe);
    line.OnChar(0xE9);
    EXPECT_EQ(line.WideText(), std::u16string(u"a") + kZhe + u"\u00e9");
    // The byte form drops what bytes cannot hold.
    EXPECT_EQ(line.Text(), "a");
    line.OnChar(8);
    line.OnChar(8);
    EXPECT_EQ(line.WideText(), u"a");
}

TEST_F(UnicodeSpeechLineTest, CtrlQRecallsTheLast16BitLine) {
    Type(u"! ");
    line.OnChar(kZhe);
    Enter();
    Packets();
    host.ctrl = true;
    EXPECT_TRUE(line.OnKeyDown('Q', 0));
    EXPECT_EQ(line.WideText(), std::u16string(1, kZhe));
    EXPECT_EQ(line.GetMode(), CSpeechLine::kYell);
    EXPECT_EQ(LastShown().prefix, "Yell: ");
}

TEST_F(UnicodeSpeechLineTest, PromptsAndDotCommandsTakeTheNarrowedLine) {
    ThePendingPrompt() = PendingPrompt{true, 0x40000001, 7};
    Type(u"ye");
    line.OnChar(kZhe);
    Type(u"s");
    Enter();
    const Bytes answer = Only(0x9A);
    EXPECT_EQ(TextAt(answer, 15), "yes");
    // Command mode runs the narrowed word.
    line.SetMode(CSpeechLine::kCommand);
    Type(u"a");
    line.OnChar(kZhe);
    Type(u"ction 3");
    Enter();
    const Bytes action = Only(0x12);
    EXPECT_EQ(action[3], 0xC7);
    EXPECT_EQ(TextAt(action, 4), "3");
}

// A line made while the client speaks bytes stays a byte line.
TEST_F(UnicodeSpeechLineTest, TheSettingIsReadWhenTheLineIsMade) {
    SetClientSettings(ClientSettings{});
    CSpeechLine bytes{&net.link};
    EXPECT_FALSE(bytes.Unicode());
    bytes.OnChar(kZhe);
    bytes.OnChar('a');
    bytes.OnChar(13);
    EXPECT_EQ(TextAt(Only(0x03), 8), "a");
}

}  // namespace
