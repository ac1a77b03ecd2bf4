#include "client/net/speech_packet_handlers.h"

#include <gtest/gtest.h>

#include "client/data/client_word_lists.h"
#include "client/render/dirty_rects.h"
#include "tests/client/net/speech_fixture.h"

namespace {

constexpr u32 kNone = 0xFFFFFFFFu;
constexpr u32 kSpeaker = 0x77;

// An ignore list and an obscene-word list of the test's own.
class FakeWordLists : public ClientWordLists {
public:
    bool IsIgnored(u32 serial) const override { return serial == ignored; }
    bool ObscenityFilterOn() const override { return filterOn; }
    const std::vector<std::string>& ObsceneWords() const override { return words; }
    u32 ignored = 0;
    bool filterOn = false;
    std::vector<std::string> words;
};

// 0x1C: serial, graphic, type, hue, font, 30-byte name, text (with its zero unless cut).
Bytes TextPacket(u32 serial, u8 type, const std::string& name, const std::string& text,
                 bool terminated = true, u16 hue = 0x21, u16 font = 3) {
    Bytes body;
    PutLong(body, serial);
    PutShort(body, 0x190);
    body.push_back(type);
    PutShort(body, hue);
    PutShort(body, font);
    PutText(body, name, 30);
    body.insert(body.end(), text.begin(), text.end());
    if (terminated) body.push_back(0);
    return ServerPacket(0x1C, body, true);
}

class SpeechPacketHandlersTest : public SpeechFixture {
protected:
    SpeechPacketHandlersTest() {
        oldLists_ = SetClientWordLists(&lists);
        PlayerAt(20, 20, 0);
        speaker = Mobile(kSpeaker, 400, 21, 20);
        DeathFadeStep = 0;
    }
    ~SpeechPacketHandlersTest() override {
        SetClientWordLists(oldLists_);
        DeathFadeStep = 0;
    }
    void Dispatch(const Bytes& p) { net.link.Dispatcher().Dispatch(p.data(), p.size()); }
    std::vector<std::string> Barks(const CClientObject* o) const {
        std::vector<std::string> out;
        for (const OverheadText* b = o->firstBark; b; b = b->older)
            out.push_back(b->text);
        return out;
    }

    FakeWordLists lists;
    CClientMobile* speaker = nullptr;

private:
    const ClientWordLists* oldLists_ = nullptr;
};

TEST_F(SpeechPacketHandlersTest, EveryTextType) {
    struct Case {
        u32 serial;
        int type;
        std::vector<std::string> journal;
        std::vector<std::string> barks;  // over the speaker, newest first
        bool systemLine;
    } cases[] = {
        {kNone, 1, {"[System]: hello"}, {}, true},
        {kSpeaker, 1, {"Guard: hello"}, {}, true},
        {kSpeaker, 0, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 2, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 3, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 4, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 8, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 9, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 6, {"You see: hello"}, {"hello"}, false},
        {kSpeaker, 7, {"Guard: hello"}, {"hello"}, false},
        {kSpeaker, 5, {}, {}, false},
        {kSpeaker, 10, {}, {}, false},
        {kSpeaker, 255, {}, {}, false},
        // A speaker the client does not know, or none: a system line of the bare text.
        {0x99, 0, {"hello"}, {}, true},
        {kNone, 6, {"hello"}, {}, true},
        {0x99, 7, {"hello"}, {}, true},
        {kNone, 5, {}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.serial << " type " << std::dec << c.type);
        Clean();
        speaker->DeleteBarks();
        walkHooks.calls.clear();
        Dispatch(TextPacket(c.serial, u8(c.type), "Guard", "hello"));
        EXPECT_EQ(JournalTexts(), c.journal);
        EXPECT_EQ(Barks(speaker), c.barks);
        int systemLines = 0;
        for (const std::string& call : walkHooks.calls)
            systemLines += call.rfind("SystemMessage ", 0) == 0;
        EXPECT_EQ(systemLines, c.systemLine ? 1 : 0);
        if (c.systemLine) {
            EXPECT_TRUE(Contains(walkHooks.calls, "SystemMessage " + c.journal[0]));
        }
        if (!c.journal.empty()) {
            EXPECT_EQ(TheJournal().Entries().back().hue, 0x21);
        }
        // Each text's speaker is used once.
        EXPECT_EQ(TheBarkSpeaker().mode, BarkSpeaker::kPlain);
    }
}

TEST_F(SpeechPacketHandlersTest, SpeechAddsUpToThreeAndType7ReplacesThem) {
    for (const char* t : {"one", "two", "three", "four"})
        Dispatch(TextPacket(kSpeaker, 0, "Guard", t));
    EXPECT_EQ(Barks(speaker), (std::vector<std::string>{"four", "three", "two"}));
    Dispatch(TextPacket(kSpeaker, 7, "Guard", "only"));
    EXPECT_EQ(Barks(speaker), std::vector<std::string>{"only"});
    EXPECT_EQ(TheJournal().Count(), 5u);
}

TEST_F(SpeechPacketHandlersTest, AnIgnoredSpeakerIsNeitherShownNorJournaled) {
    lists.ignored = kSpeaker;
    for (int type : {0, 2, 6, 7, 9}) {
        Dispatch(TextPacket(kSpeaker, u8(type), "Pest", "noise"));
        EXPECT_TRUE(Barks(speaker).empty()) << type;
    }
    EXPECT_EQ(TheJournal().Count(), 0u);
    // System text names the speaker but is never ignored.
    Dispatch(TextPacket(kSpeaker, 1, "Pest", "notice"));
    EXPECT_EQ(JournalTexts(), std::vector<std::string>{"Pest: notice"});
}

TEST_F(SpeechPacketHandlersTest, NothingIsHeardDuringTheDeathFade) {
    DeathFadeStep = 1;
    Dispatch(TextPacket(kNone, 1, "", "You died"));
    Dispatch(TextPacket(kSpeaker, 0, "Guard", "hello"));
    EXPECT_EQ(TheJournal().Count(), 0u);
    EXPECT_TRUE(Barks(speaker).empty());
    DeathFadeStep = 0;
    Dispatch(TextPacket(kSpeaker, 0, "Guard", "hello"));
    EXPECT_EQ(TheJournal().Count(), 1u);
}

TEST_F(SpeechPacketHandlersTest, TheFilterMasksListedWordsWhenOn) {
    lists.words = {"darn"};
    Dispatch(TextPacket(kSpeaker, 0, "Guard", "oh DARN it"));
    lists.filterOn = true;
    Dispatch(TextPacket(kSpeaker, 0, "Guard", "oh DARN it"));
    Dispatch(TextPacket(kNone, 1, "", "darn"));
    // D (68), A (65), R (82), N (78) mod 7: 5, 2, 5, 1.
    EXPECT_EQ(JournalTexts(), (std::vector<std::string>{"Guard: oh DARN it", "Guard: oh &#&@ it",
                                                        "[System]: #*#&"}));
}

TEST_F(SpeechPacketHandlersTest, TextsEndAtTheirZeroOrAtThePacketEnd) {
    Dispatch(TextPacket(kNone, 1, "", "no end", false));
    Bytes embedded = TextPacket(kNone, 1, "", std::string("cut\0hidden", 10));
    Dispatch(embedded);
    Dispatch(TextPacket(kNone, 1, "", "", false));
    // A name that fills its 30 bytes has no zero and keeps all 30.
    Dispatch(TextPacket(kSpeaker, 0, std::string(30, 'N'), "hi"));
    EXPECT_EQ(JournalTexts(), (std::vector<std::string>{"[System]: no end", "[System]: cut",
                                                        "[System]: ", std::string(30, 'N') + ": hi"}));
    EXPECT_TRUE(net.link.Connection().IsOpen());
}

TEST_F(SpeechPacketHandlersTest, ATextPacketShorterThanItsFieldsIsRefused) {
    net.reports.SetQuiet(true);
    Bytes body;
    PutLong(body, kNone);
    PutShort(body, 0);
    body.push_back(1);
    PutShort(body, 0);  // the font and the name are missing
    Dispatch(ServerPacket(0x1C, body, true));
    EXPECT_EQ(TheJournal().Count(), 0u);
    EXPECT_EQ(net.reports.Lines().size(), 1u);
    EXPECT_FALSE(net.link.Connection().IsOpen());
}

TEST_F(SpeechPacketHandlersTest, APromptThenEnterAnswersIt) {
    Bytes body;
    PutLong(body, 0x40000020);
    PutLong(body, 0x55);
    PutLong(body, 3);
    const std::string ask = "Name your price";
    body.insert(body.end(), ask.begin(), ask.end());
    body.push_back(0);
    Dispatch(ServerPacket(0x9A, body, true));
    EXPECT_TRUE(ThePendingPrompt().pending);
    EXPECT_EQ(TheJournal().Count(), 0u);  // the prompt's own text is not shown
    CSpeechLine line{&net.link};
    for (char c : std::string("ten"))
        line.OnChar(u8(c));
    line.OnChar(13);
    const auto sent = Packets();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].id, 0x9A);
    EXPECT_EQ(Bytes(sent[0].bytes.begin() + 3, sent[0].bytes.begin() + 15),
              (Bytes{0x40, 0, 0, 0x20, 0, 0, 0, 0x55, 0, 0, 0, 1}));
    EXPECT_EQ(TextAt(sent[0].bytes, 15), "ten");
    // A prompt without its text is enough; one shorter than its numbers is refused.
    Bytes bare;
    PutLong(bare, 1);
    PutLong(bare, 2);
    PutLong(bare, 0);
    Dispatch(ServerPacket(0x9A, bare, true));
    EXPECT_TRUE(ThePendingPrompt().pending);
    ThePendingPrompt() = PendingPrompt{};
    net.reports.SetQuiet(true);
    Dispatch(ServerPacket(0x9A, Bytes{0, 0, 0, 1}, true));
    EXPECT_FALSE(ThePendingPrompt().pending);
    EXPECT_EQ(net.reports.Lines().size(), 1u);
}

}  // namespace
