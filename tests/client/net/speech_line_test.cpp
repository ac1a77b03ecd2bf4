#include "client/net/speech_line.h"

#include <gtest/gtest.h>

#include "client/data/client_log.h"
#include "platform/keys.h"
#include "tests/client/net/speech_fixture.h"

namespace {

class SpeechLineTest : public SpeechFixture {
protected:
    void Type(const std::string& text) {
        for (char c : text)
            line.OnChar(u8(c));
    }
    void Enter() { line.OnChar(13); }
    // The one packet sent since the last look, which must have the id.
    Bytes Only(u8 id) {
        const auto sent = Packets();
        EXPECT_EQ(sent.size(), 1u);
        if (sent.size() != 1) return {};
        EXPECT_EQ(sent[0].id, id);
        return sent[0].bytes;
    }
    const RecordingSpeechHost::Shown& LastShown() const { return host.shown.back(); }

    CSpeechLine line{&net.link};
};

// --- typing and speaking ------------------------------------------------------------------------

TEST_F(SpeechLineTest, AColonASpaceAndAWordSpeakAnEmote) {
    Type(":");
    EXPECT_EQ(LastShown().prefix, "");
    EXPECT_EQ(LastShown().text, ":");
    EXPECT_TRUE(LastShown().caret);
    Type(" ");
    EXPECT_EQ(LastShown().prefix, "Emote: ");
    EXPECT_EQ(LastShown().text, "");
    EXPECT_EQ(LastShown().hue, kEmoteHue);
    Type("word");
    Enter();
    const Bytes p = Only(0x03);
    ASSERT_GE(p.size(), 8u);
    EXPECT_EQ(p[3], 2);  // emote
    EXPECT_EQ(p[4] << 8 | p[5], kEmoteHue);
    EXPECT_EQ(p[6] << 8 | p[7], 3);
    EXPECT_EQ(TextAt(p, 8), "*word*");
    // The line is empty again, in the normal mode.
    EXPECT_EQ(line.Text(), "");
    EXPECT_EQ(line.GetMode(), CSpeechLine::kNormal);
    EXPECT_EQ(LastShown().prefix, "");
    EXPECT_EQ(LastShown().hue, kSpeechHue);
}

TEST_F(SpeechLineTest, EachPrefixChoosesItsModeAndHue) {
    struct Case {
        const char* typed;
        int mode;
        const char* prefix;
        const char* sent;
        u16 hue;
    } cases[] = {
        {"! hi", 9, "Yell: ", "hi", kSpeechHue},
        {"; hi", 8, "Whisper: ", "hi", kSpeechHue},
        {": hi", 2, "Emote: ", "*hi*", kEmoteHue},
        {"! ' hi", 0, "", "hi", kSpeechHue},  // "'" returns to normal
        {"x hi", 0, "", "x hi", kSpeechHue},  // any other single character keeps its space
        {"!! hi", 0, "", "!! hi", kSpeechHue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(c.typed);
        EXPECT_EQ(line.GetMode(), c.mode);
        EXPECT_EQ(LastShown().prefix, c.prefix);
        Enter();
        const Bytes p = Only(0x03);
        ASSERT_GE(p.size(), 8u);
        EXPECT_EQ(p[3], c.mode);
        EXPECT_EQ(p[4] << 8 | p[5], c.hue);
        EXPECT_EQ(TextAt(p, 8), c.sent);
    }
}

TEST_F(SpeechLineTest, RunsOfSpacesAreSentAsOne) {
    struct Case {
        const char* typed;
        const char* sent;
    } cases[] = {
        {"a   b  c", "a b c"},
        {"a", "a"},  // a one-character line is sent unchanged
        {"q ", "q "},
        {"  lead", " lead"},
        {"end   ", "end "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(c.typed);
        Enter();
        const Bytes p = Only(0x03);
        EXPECT_EQ(TextAt(p, 8), c.sent);
    }
    // SendSpeech itself, as the keyboard commands call it.
    SendSpeech("x    y", 0, &net.link);
    EXPECT_EQ(TextAt(Only(0x03), 8), "x y");
}

TEST_F(SpeechLineTest, AnEmptyLineSendsNothingOnEnter) {
    Type(": ");
    Enter();
    EXPECT_TRUE(Packets().empty());
    EXPECT_EQ(line.GetMode(), CSpeechLine::kNormal);
}

TEST_F(SpeechLineTest, TheLineStopsAt128CharactersAnd600Pixels) {
    // Plain glyphs are 3 pixels wide: 128 of them are 384 pixels.
    Type(std::string(128, 'a'));
    Type("b. ");
    EXPECT_EQ(line.Text(), std::string(128, 'a'));
    // 'W' is 6 pixels wide: after 100 of them the line is 600 pixels wide.
    CSpeechLine wide{&net.link};
    for (int i = 0; i < 100; ++i)
        wide.OnChar('W');
    for (char c : std::string("W. a"))
        wide.OnChar(u8(c));
    EXPECT_EQ(wide.Text(), std::string(100, 'W'));
    // 99 'W' and an 'a': 594 pixels, so one more character still goes in.
    CSpeechLine nearly{&net.link};
    for (int i = 0; i < 99; ++i)
        nearly.OnChar('W');
    nearly.OnChar('a');
    nearly.OnChar('W');
    EXPECT_EQ(nearly.Text(), std::string(99, 'W') + "aW");
    nearly.OnChar('a');
    EXPECT_EQ(nearly.Text().size(), 101u);
}

TEST_F(SpeechLineTest, CharactersWithoutAGlyphAndControlCharactersAreDropped) {
    Type("a");
    line.OnChar(200);  // no glyph in the speech font
    line.OnChar(7);
    line.OnChar(0x263A);  // not a byte
    Type("b");
    EXPECT_EQ(line.Text(), "ab");
}

TEST_F(SpeechLineTest, PlusAndMinusAreSwallowedWhileCounted) {
    line.swallowCount = 2;
    Type("+a-+-");
    EXPECT_EQ(line.Text(), "a+-");
    EXPECT_EQ(line.swallowCount, 0);
}

TEST_F(SpeechLineTest, BackspaceToAnEmptyLineReturnsToTheNormalMode) {
    Type("; ab");
    EXPECT_EQ(line.GetMode(), CSpeechLine::kWhisper);
    line.OnChar(8);
    EXPECT_EQ(line.GetMode(), CSpeechLine::kWhisper);
    line.OnChar(8);
    EXPECT_EQ(line.Text(), "");
    EXPECT_EQ(line.GetMode(), CSpeechLine::kNormal);
    EXPECT_EQ(LastShown().prefix, "");
    line.OnChar(8);  // nothing left: still shown, nothing breaks
    EXPECT_EQ(line.Text(), "");
}

TEST_F(SpeechLineTest, NothingIsTypedWhileNoCharacterPlays) {
    host.playing = false;
    Type("abc");
    Enter();
    EXPECT_EQ(line.Text(), "");
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(Packets().empty());
}

TEST_F(SpeechLineTest, TheCaretHidesWhileAWindowHoldsTheFocus) {
    Type("a");
    EXPECT_TRUE(LastShown().caret);
    host.focus = true;
    line.UpdateBark();
    EXPECT_FALSE(LastShown().caret);
    EXPECT_EQ(LastShown().text, "a");
}

TEST_F(SpeechLineTest, CtrlQRecallsTheLastLineAndItsMode) {
    Type("! loud");
    Enter();
    Packets();
    host.ctrl = true;
    EXPECT_TRUE(line.OnKeyDown('Q', 0));
    EXPECT_EQ(line.Text(), "loud");
    EXPECT_EQ(line.GetMode(), CSpeechLine::kYell);
    EXPECT_EQ(LastShown().prefix, "Yell: ");
    // The Q's own character is ignored, the next one is typed.
    Type("qx");
    EXPECT_EQ(line.Text(), "loudx");
}

// --- keys -------------------------------------------------------------------------------------

// The walk keys step screen up as north-west; only an empty line walks.
TEST_F(SpeechLineTest, WalkKeysStepScreenUpAsNorthWest) {
    struct Case {
        u32 key;
        int direction;
    };
    const Case cases[] = {{platform::kVkUp, 7},   {platform::kVkPrior, 0}, {platform::kVkRight, 1},
                          {platform::kVkNext, 2}, {platform::kVkDown, 3},  {platform::kVkEnd, 4},
                          {platform::kVkLeft, 5}, {platform::kVkHome, 6}};
    PlayerAt(20, 20, 0, 2);
    FlatLand(20, 20, 2);
    CWalkQueue& q = TheWalkQueue();
    for (const Case& c : cases) {
        q.Reset(-1, -1, -1, -1);
        Sent();
        EXPECT_TRUE(line.OnKeyDown(c.key, 0));
        const auto sent = Sent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].body[0], c.direction);
    }
    q.Reset(-1, -1, -1, -1);
    EXPECT_FALSE(line.OnKeyDown(platform::kVkA, 0));
    // Ctrl runs.
    host.ctrl = true;
    EXPECT_TRUE(line.OnKeyDown(platform::kVkRight, 0));
    EXPECT_EQ(Sent().back().body[0], 0x81);
    host.ctrl = false;
    // An auto-repeated key waits while a step is outstanding.
    EXPECT_TRUE(line.OnKeyDown(platform::kVkRight, platform::kKeyDataWasDown));
    EXPECT_TRUE(Sent().empty());
    TickUntilShown();
    EXPECT_TRUE(line.OnKeyDown(platform::kVkRight, platform::kKeyDataWasDown));
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(SpeechLineTest, KeysThatDoNotWalk) {
    PlayerAt(20, 20, 0, 2);
    FlatLand(20, 20, 2);
    struct Case {
        const char* what;
        u32 key, data;
        bool typed, modal, playing;
        bool handled;
        std::vector<u32> commands;
    } cases[] = {
        {"a typed line keeps the arrows", platform::kVkUp, 0, true, false, true, true, {}},
        {"a modal window keeps them", platform::kVkUp, 0, false, true, true, true, {}},
        {"no character playing", platform::kVkUp, 0, false, false, false, true, {}},
        {"Alt+Enter asks for full screen", platform::kVkReturn, platform::kKeyDataAltDown, true,
         false, true, true, {101}},
        {"Alt+F4 is left to the window", platform::kVkF1 + 3, platform::kKeyDataAltDown, false,
         false, true, false, {}},
        {"Alt+Tab is left to the system", platform::kVkTab, platform::kKeyDataAltDown, false,
         false, true, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSpeechLine l{&net.link};
        host.playing = true;
        if (c.typed) l.OnChar('a');
        host.modal = c.modal;
        host.playing = c.playing;
        host.commands.clear();
        EXPECT_EQ(l.OnKeyDown(c.key, c.data), c.handled);
        EXPECT_EQ(host.commands, c.commands);
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(TheWalkQueue().count, 0);
    }
}

// --- prompts ----------------------------------------------------------------------------------

TEST_F(SpeechLineTest, EnterAnswersAPendingPromptInsteadOfSpeaking) {
    ThePendingPrompt() = PendingPrompt{true, 0x40000010, 0x1234};
    Type("yes");
    Enter();
    const Bytes p = Only(0x9A);
    ASSERT_GE(p.size(), 15u);
    EXPECT_EQ(Bytes(p.begin() + 3, p.begin() + 15),
              (Bytes{0x40, 0, 0, 0x10, 0, 0, 0x12, 0x34, 0, 0, 0, 1}));
    EXPECT_EQ(TextAt(p, 15), "yes");
    EXPECT_FALSE(ThePendingPrompt().pending);
    // The next line is speech again.
    Type("hi");
    Enter();
    EXPECT_EQ(TextAt(Only(0x03), 8), "hi");
}

TEST_F(SpeechLineTest, EscapeCancelsAPendingPromptWithAnEmptyAnswer) {
    EXPECT_FALSE(line.CancelPrompt());
    EXPECT_TRUE(Packets().empty());
    ThePendingPrompt() = PendingPrompt{true, 7, 9};
    Type("half");
    EXPECT_TRUE(line.CancelPrompt());
    const Bytes p = Only(0x9A);
    ASSERT_GE(p.size(), 16u);
    EXPECT_EQ(Bytes(p.begin() + 3, p.begin() + 15), (Bytes{0, 0, 0, 7, 0, 0, 0, 9, 0, 0, 0, 0}));
    EXPECT_EQ(TextAt(p, 15), "");
    EXPECT_EQ(line.Text(), "");
    EXPECT_FALSE(ThePendingPrompt().pending);
}

// --- dot commands -----------------------------------------------------------------------------

TEST_F(SpeechLineTest, ADotTypedFirstIsSpoken) {
    Type(".where");
    Enter();
    const Bytes p = Only(0x03);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(TextAt(p, 8), ".where");
}

TEST_F(SpeechLineTest, DotCommandsInCommandMode) {
    PlayerAt(20, 21, 5, 2);
    struct Case {
        const char* typed;
        bool echo;
        bool known;
        std::vector<std::string> journal;
        int packetId;  // -1: none
        std::string packetText;
    } cases[] = {
        {"where", false, true, {"You are at: 20 21 5 in ."}, -1, ""},
        {"  WHERE now", false, true, {"You are at: 20 21 5 in ."}, -1, ""},
        {"action bow deeply", false, true, {}, 0x12, "bow deeply"},
        {"helpme stuck here", false, true, {}, 0x9B, "stuck here"},
        {"version", false, true, {"ZQ Demo Version 1.09."}, -1, ""},
        {"who", false, true, {}, -1, ""},
        {"a", false, true, {}, -1, ""},
        {"dance", false, false, {}, -1, ""},
        {"dance", true, false, {}, -1, ""},
        {"action bow", true, true, {".action bow"}, 0x12, "bow"},
        {"query", true, true, {".query "}, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TheJournal().Reset();
        CSpeechLine l{&net.link};
        l.commandEcho = c.echo;
        l.SetMode(CSpeechLine::kCommand);
        for (char ch : std::string(c.typed))
            l.OnChar(u8(ch));
        EXPECT_EQ(l.RunDotCommand(), c.known);
        EXPECT_EQ(JournalTexts(), c.journal);
        const auto sent = Packets();
        if (c.packetId < 0) {
            EXPECT_TRUE(sent.empty());
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].id, c.packetId);
        if (c.packetId == 0x12) {
            EXPECT_EQ(sent[0].bytes[3], 0xC7);
            EXPECT_EQ(TextAt(sent[0].bytes, 4), c.packetText);
        } else {
            EXPECT_EQ(TextAt(sent[0].bytes, 2), c.packetText);
        }
    }
}

TEST_F(SpeechLineTest, EnterInCommandModeRunsTheCommandAndSpeaksNothing) {
    line.SetMode(CSpeechLine::kCommand);
    Type("version");
    EXPECT_EQ(LastShown().prefix, "Command: ");
    EXPECT_EQ(LastShown().hue, CSpeechLine::kPlainPrefixHue);
    Enter();
    EXPECT_TRUE(Packets().empty());
    EXPECT_EQ(JournalTexts(), std::vector<std::string>{"ZQ Demo Version 1.09."});
    EXPECT_EQ(line.GetMode(), CSpeechLine::kNormal);
}

TEST_F(SpeechLineTest, HelpRequestsNeedAnOpenConnection) {
    SendHelpRequest(&net.link);
    const Bytes p = Only(0x9B);
    EXPECT_EQ(TextAt(p, 2), "");
    net.link.CloseConnection();
    line.SetMode(CSpeechLine::kCommand);
    Type("helpme now");
    EXPECT_TRUE(line.RunDotCommand());
    EXPECT_TRUE(net.ClientSent().empty());
}

// Until the typing line is built the line's text goes nowhere, and the host says so once.
TEST(SpeechLineHost, TheTypingLineIsNotBuiltAndSaysSoOnce) {
    SpeechLineHost host;
    LogCapture log(GetClientLogSink());
    host.UpdateBark("Emote: ", "wave", true, 0x225, 3);
    host.UpdateBark("", "hello", true, 0x5A, 3);
    host.MenuCommand(101);
    const auto lines = log.FromSource("speech line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].message, "typing line: not built yet");
    EXPECT_EQ(lines[1].message, "menu commands: not built yet");
    // The host's own answers: nobody playing, nothing open, nothing held.
    EXPECT_FALSE(host.CharacterPlaying());
    EXPECT_FALSE(host.ModalGumpOpen());
    EXPECT_FALSE(host.KeyboardFocusTaken());
    EXPECT_FALSE(host.CtrlHeld());
}

TEST(SplitFirstWord, SkipsSpacesLowersTheWordAndAnswersTheRest) {
    struct Case {
        const char* source;
        const char* word;
        const char* rest;
    } cases[] = {
        {"where", "where", ""},       {"  Action  bow", "action", " bow"},
        {"HELPME me now", "helpme", "me now"}, {"", "", ""},
        {"   ", "", ""},              {"x ", "x", ""},
    };
    for (const Case& c : cases) {
        std::string word = "old";
        EXPECT_EQ(SplitFirstWord(c.source, word), c.rest) << c.source;
        EXPECT_EQ(word, c.word) << c.source;
    }
}

}  // namespace
