// Unicode speech from the server (0xAE): over its speaker, as a system line, or not at all,
// always entering the journal as 16-bit text under the speaker's name.
#include <gtest/gtest.h>

#include "client/data/client_word_lists.h"
#include "client/data/profanity_filter.h"
#include "client/net/speech_packet_handlers.h"
#include "client/render/dirty_rects.h"
#include "client/world/bark_views.h"
#include "client/world/client_object.h"
#include "tests/client/net/speech_fixture.h"

namespace {

constexpr u32 kNone = 0xFFFFFFFFu;
constexpr u32 kSpeaker = 0x77;
constexpr u32 kLanguage = 0x454E5500;

class IgnoreOne : public ClientWordLists {
public:
    bool IsIgnored(u32 serial) const override { return serial == ignored; }
    bool ObscenityFilterOn() const override { return filterOn; }
    const std::vector<std::string>& ObsceneWords() const override { return words; }
    u32 ignored = 0;
    bool filterOn = false;
    std::vector<std::string> words;
};

// 0xAE: serial, graphic, type, hue, font, language, 30-byte name, big-endian units (with the
// 0 unit unless cut); `tail` bytes follow as they are.
Bytes UnicodePacket(u32 serial, u8 type, const std::string& name, const std::u16string& text,
                    bool terminated = true, const Bytes& tail = {}) {
    Bytes body;
    PutLong(body, serial);
    PutShort(body, 0x190);
    body.push_back(type);
    PutShort(body, 0x35);
    PutShort(body, 1);
    PutLong(body, kLanguage);
    PutText(body, name, 30);
    for (char16_t u : text)
        PutShort(body, u16(u));
    if (terminated) PutShort(body, 0);
    body.insert(body.end(), tail.begin(), tail.end());
    return ServerPacket(0xAE, body, true);
}

class UnicodeSpeechPacketTest : public SpeechFixture {
protected:
    UnicodeSpeechPacketTest() {
        oldLists_ = SetClientWordLists(&lists);
        PlayerAt(20, 20, 0);
        speaker = Mobile(kSpeaker, 400, 21, 20);
        DeathFadeStep = 0;
    }
    ~UnicodeSpeechPacketTest() override {
        SetClientWordLists(oldLists_);
        DeathFadeStep = 0;
        speaker->DeleteBarks();
        while (OverheadText* b = BarkChainOf(nullptr))
            DropBark(nullptr, b);
    }
    void Dispatch(const Bytes& p) { net.link.Dispatcher().Dispatch(p.data(), p.size()); }
    static std::vector<std::u16string> Journal() {
        std::vector<std::u16string> out;
        for (const JournalEntry& e : TheJournal().Entries()) {
            EXPECT_TRUE(e.unicode);
            out.push_back(e.wideText);
        }
        return out;
    }
    static std::vector<std::u16string> Chain(CClientObject* o) {
        std::vector<std::u16string> out;
        for (const OverheadText* b = BarkChainOf(o); b; b = b->older)
            out.push_back(b->wideText);
        return out;
    }

    IgnoreOne lists;
    CClientMobile* speaker = nullptr;

private:
    const ClientWordLists* oldLists_ = nullptr;
};

TEST_F(UnicodeSpeechPacketTest, EveryTypeAndSpeaker) {
    struct Case {
        u32 serial;
        int type;
        u32 ignored;
        std::vector<std::u16string> journal;
        std::vector<std::u16string> overSpeaker;
        std::vector<std::u16string> systemLines;
    } cases[] = {
        {kSpeaker, 0, 0, {u"Guard: h\u00e9llo"}, {u"h\u00e9llo"}, {}},
        {kSpeaker, 9, 0, {u"Guard: h\u00e9llo"}, {u"h\u00e9llo"}, {}},
        {kSpeaker, 6, 0, {u"You see: h\u00e9llo"}, {u"h\u00e9llo"}, {}},
        {kSpeaker, 7, 0, {u"Guard: h\u00e9llo"}, {u"h\u00e9llo"}, {}},
        // A system text in Unicode and the ignored types show nothing at all.
        {kSpeaker, 1, 0, {}, {}, {}},
        {kNone, 1, 0, {}, {}, {}},
        {kSpeaker, 5, 0, {}, {}, {}},
        {kSpeaker, 10, 0, {}, {}, {}},
        // An unknown speaker or none: a system line of the bare text.
        {0x99, 0, 0, {u"h\u00e9llo"}, {}, {u"h\u00e9llo"}},
        {kNone, 6, 0, {u"h\u00e9llo"}, {}, {u"h\u00e9llo"}},
        // An ignored speaker is neither shown nor journaled.
        {kSpeaker, 0, kSpeaker, {}, {}, {}},
        {kSpeaker, 7, kSpeaker, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.serial << " type " << std::dec << c.type);
        Clean();
        speaker->DeleteBarks();
        while (OverheadText* b = BarkChainOf(nullptr))
            DropBark(nullptr, b);
        lists.ignored = c.ignored;
        Dispatch(UnicodePacket(c.serial, u8(c.type), "Guard", u"h\u00e9llo"));
        EXPECT_EQ(Journal(), c.journal);
        EXPECT_EQ(Chain(speaker), c.overSpeaker);
        EXPECT_EQ(Chain(nullptr), c.systemLines);
        for (const OverheadText* b = speaker->firstBark; b; b = b->older) {
            EXPECT_EQ(b->hue, 0x35);
            EXPECT_EQ(b->language, kLanguage);
        }
        EXPECT_EQ(TheBarkSpeaker().mode, BarkSpeaker::kPlain);
    }
}

TEST_F(UnicodeSpeechPacketTest, AtMostThreeOverASpeakerAndType7ReplacesThem) {
    for (const char16_t* t : {u"one", u"two", u"three", u"four"})
        Dispatch(UnicodePacket(kSpeaker, 0, "Guard", t));
    EXPECT_EQ(Chain(speaker), (std::vector<std::u16string>{u"four", u"three", u"two"}));
    Dispatch(UnicodePacket(kSpeaker, 7, "Guard", u"only"));
    EXPECT_EQ(Chain(speaker), std::vector<std::u16string>{u"only"});
}

TEST_F(UnicodeSpeechPacketTest, TheTextEndsAtItsZeroUnitOrAtThePacketEnd) {
    struct Case {
        std::u16string text;
        bool terminated;
        Bytes tail;
        std::u16string shown;
    } cases[] = {
        {u"end", true, {0, 'x', 0, 0}, u"end"},
        {u"cut", false, {}, u"cut"},
        // A last odd byte is no unit.
        {u"odd", false, {0x41}, u"odd"},
        {u"", true, {}, u""},
    };
    for (const Case& c : cases) {
        Clean();
        Dispatch(UnicodePacket(kNone, 0, "", c.text, c.terminated, c.tail));
        EXPECT_EQ(Journal(), std::vector<std::u16string>{c.shown});
    }
}

TEST_F(UnicodeSpeechPacketTest, ShortPacketsAndTheDeathFadeShowNothing) {
    Bytes shortPacket = UnicodePacket(kSpeaker, 0, "Guard", u"x");
    shortPacket.resize(20);
    shortPacket[1] = 0;
    shortPacket[2] = 20;
    Dispatch(shortPacket);
    DeathFadeStep = 3;
    Dispatch(UnicodePacket(kSpeaker, 0, "Guard", u"boo"));
    EXPECT_TRUE(Journal().empty());
    EXPECT_TRUE(Chain(speaker).empty());
}

// With the filter on, a listed word in Unicode speech is masked as in 8-bit speech; other
// units stay.
TEST_F(UnicodeSpeechPacketTest, TheProfanityFilterMasksListedWordsInUnicodeSpeech) {
    lists.words = {"darn"};
    for (const bool on : {false, true}) {
        lists.filterOn = on;
        speaker->DeleteBarks();
        Dispatch(UnicodePacket(kSpeaker, 0, "Bo", u"darn \u0416 it"));
        ASSERT_FALSE(Chain(speaker).empty());
        std::string masked = "darn";
        MaskChars(masked, 0, masked.size());
        const std::u16string expected =
            on ? std::u16string(masked.begin(), masked.end()) + u" \u0416 it" : u"darn \u0416 it";
        EXPECT_EQ(Chain(speaker).front(), expected) << (on ? "on" : "off");
    }
}

}  // namespace
