// Typed speech: who hears it, in which hue and font, which texts are dropped, what ghosts are
// heard as, and which scripted objects hear it.
#include "server/net/speech.h"

#include <gtest/gtest.h>

#include "core/log_sink.h"
#include "platform/random.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/net/player_world_test.h"

namespace {

// 0x1C fields: type [9], hue [10-11], font [12-13], text from [44].
struct Heard {
    int type, hue, font;
    std::string text;
};

class SpeechTest : public PlayerWorldTest {
protected:
    // Ann says `text` with the given type, hue and font; answers the messages Ann reads.
    std::vector<Heard> Say(const std::string& text, int type = 0, int hue = 946, int font = 3,
                           FakePlayer* speaker = nullptr) {
        std::vector<u8> p = {0x03, 0, 0, u8(type), u8(hue >> 8), u8(hue), u8(font >> 8), u8(font)};
        p.insert(p.end(), text.begin(), text.end());
        p.push_back(0);
        p[1] = u8(p.size() >> 8);
        p[2] = u8(p.size());
        return ToHeard(Run(p, speaker));
    }
    // The 0x1C messages a player's client read since the last look.
    static std::vector<Heard> HeardBy(FakePlayer* p) { return ToHeard(Received(p)); }
    static std::vector<Heard> ToHeard(const std::vector<std::vector<u8>>& packets) {
        std::vector<Heard> out;
        for (const auto& packet : packets) {
            if (packet[0] != 0x1C) continue;
            out.push_back({packet[9], Be16(packet, 10), Be16(packet, 12),
                           std::string(reinterpret_cast<const char*>(&packet[44]))});
        }
        return out;
    }
    FakePlayer* Listener(const char* name, int x, int y) {
        FakePlayer* p = Player(name, x, y);
        Connect(p);
        return p;
    }
};

TEST_F(SpeechTest, HueAndFontAreClampedOutsideGodMode) {
    FakePlayer* bo = Listener("Bo", 22, 20);
    struct Case {
        bool godMode;
        int hue, font;
        int heardHue, heardFont;
    };
    const Case cases[] = {
        {false, 0, 3, 1001, 3},    {false, 1, 3, 1001, 3},    {false, 2, 3, 2, 3},
        {false, 1001, 7, 1001, 3}, {false, 1002, 3, 1001, 3}, {false, 2000, 0, 1001, 3},
        {true, 0, 7, 0, 7},        {true, 2000, 1, 2000, 1},
    };
    for (const Case& c : cases) {
        ann->SetFlagWord(c.godMode ? u32(kPlayerEditing) : 0u);
        Say("hi", 0, c.hue, c.font);
        const auto heard = HeardBy(bo);
        ASSERT_EQ(heard.size(), 1u) << c.hue;
        EXPECT_EQ(heard[0].hue, c.heardHue) << c.hue << " god mode " << c.godMode;
        EXPECT_EQ(heard[0].font, c.heardFont) << c.hue << " god mode " << c.godMode;
        EXPECT_EQ(ann->GetDefaultTextHue(), c.heardHue) << "the hue is kept as the speaker's";
    }
}

TEST_F(SpeechTest, BlankTextsAreDroppedLookingAtTheFirst240Characters) {
    FakePlayer* bo = Listener("Bo", 22, 20);
    struct Case {
        std::string text;
        bool heard;
    };
    const Case cases[] = {
        {"", false},
        {"   ", false},
        {" \t ", false},
        {"x", true},
        {"  x", true},
        {std::string(239, ' ') + "x", true},
        {std::string(240, ' ') + "x", false},
    };
    for (const Case& c : cases) {
        Say(c.text);
        EXPECT_EQ(HeardBy(bo).size(), c.heard ? 1u : 0u) << "'" << c.text << "'";
    }
}

TEST_F(SpeechTest, EachTypeCarriesItsRange) {
    struct Case {
        const char* name;
        int type;
        int range;  // -1: nobody hears
    };
    const Case cases[] = {
        {"normal", 0, 9},  {"type 3", 3, 9},    {"type 4", 4, 9},  {"emote", 2, 7},
        {"whisper", 8, 1}, {"yell", 9, 18},     {"type 5", 5, -1}, {"system", 6, -1},
        {"type 7", 7, -1}, {"type 10", 10, -1},
    };
    for (const Case& c : cases) {
        const int d = c.range < 0 ? 1 : c.range;
        FakePlayer* inside = Listener("In", 20 + d, 20);
        FakePlayer* outside = Listener("Out", 20, 20 + d + 1);
        Say("hello", c.type);
        const auto heard = HeardBy(inside);
        ASSERT_EQ(heard.size(), c.range < 0 ? 0u : 1u) << c.name;
        if (c.range >= 0) {
            EXPECT_EQ(heard[0].type, c.type) << c.name;
            EXPECT_EQ(heard[0].text, "hello") << c.name;
        }
        EXPECT_TRUE(HeardBy(outside).empty()) << c.name;
        inside->RemoveFromWorld();
        outside->RemoveFromWorld();
    }
}

TEST_F(SpeechTest, AWallStopsSpeechAndBroadcastNeedsGodMode) {
    PlacedItem(20, 22, 0, kWall);
    FakePlayer* behind = Listener("Behind", 20, 24);
    FakePlayer* far = Listener("Far", 60, 60);
    Say("hello");
    EXPECT_TRUE(HeardBy(behind).empty());
    Say("to all", 1);
    EXPECT_TRUE(HeardBy(far).empty()) << "broadcast outside god mode is dropped";
    ann->SetFlagWord(kPlayerEditing);
    Say("to all", 1);
    EXPECT_EQ(HeardBy(far).size(), 1u);
    EXPECT_EQ(HeardBy(behind).size(), 1u);
}

TEST_F(SpeechTest, ScriptedObjectsHearNormalSpeechAndYellsUnlessTheSpeakerIsANonCombatant) {
    CItem* nearby = PlacedItem(25, 20, 0);
    CItem* distant = PlacedItem(20, 50, 0);
    triggers.scripted = {nearby->GetSerial(), distant->GetSerial()};
    struct Case {
        const char* name;
        u32 flags;
        int type;
        std::vector<int> nearbyHeard, distantHeard;
    };
    const Case cases[] = {
        {"normal", 0, 0, {kTriggerSpeech}, {}},
        {"emote", 0, 2, {}, {}},
        {"whisper", 0, 8, {}, {}},
        {"yell", 0, 9, {kTriggerSpeech}, {}},
        {"non-combatant speaking", kPlayerNonCombatant, 0, {}, {}},
        {"non-combatant yelling", kPlayerNonCombatant, 9, {kTriggerSpeech}, {}},
    };
    for (const Case& c : cases) {
        triggers.calls.clear();
        ann->SetFlagWord(c.flags);
        Say("open sesame", c.type);
        EXPECT_EQ(triggers.TriggersFor(nearby->GetSerial()), c.nearbyHeard) << c.name;
        EXPECT_EQ(triggers.TriggersFor(distant->GetSerial()), c.distantHeard) << c.name;
        for (const auto& call : triggers.calls) {
            EXPECT_STREQ(call.args.text, "open sesame") << c.name;
            EXPECT_EQ(call.args.serial, ann->GetSerial()) << c.name;
        }
    }
}

TEST_F(SpeechTest, ASquelchedPlayerIsToldSoAndNobodyHears) {
    FakePlayer* bo = Listener("Bo", 22, 20);
    ann->SetMobFlag(kMobSquelched, true);
    const auto told = Say("hello");
    EXPECT_TRUE(HeardBy(bo).empty());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].type, 6);
    EXPECT_EQ(told[0].hue, 946);
    EXPECT_EQ(told[0].font, 3);
    EXPECT_EQ(told[0].text, "You can not say anything, you have been squelched.");
}

TEST_F(SpeechTest, CounselorCommandsAreNotSpokenAndCounselorSpeechIsLogged) {
    FakePlayer* bo = Listener("Bo", 22, 20);
    ann->SetFlagWord(kPlayerCounselor);
    LogCapture log;
    Say(".next");
    Say("=x");
    EXPECT_TRUE(HeardBy(bo).empty());
    Say("hello");
    EXPECT_EQ(HeardBy(bo).size(), 1u);
    const auto lines = log.FromSource("misc");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].severity, "counselortext");
    EXPECT_EQ(lines[2].message, "hello");
}

TEST_F(SpeechTest, AHiddenLivingSpeakerGetsTheUninvisMessage) {
    ann->SetHidden(true);
    Say("boo");
    ASSERT_EQ(triggers.TriggersFor(ann->GetSerial()), std::vector<int>{kTriggerMessage});
    EXPECT_STREQ(triggers.calls[0].args.text, "uninvis");
    EXPECT_EQ(triggers.calls[0].args.serial, ann->GetSerial());
}

TEST(GhostHearing, TheMatrixOfSightGodModeFlagsAndGhosts) {
    using H = GhostHearing;
    struct Case {
        const char* name;
        u32 speakerFlags;
        bool listenerGhost;
        u32 listenerFlags;
        bool sees;
        H heard;
    };
    const Case cases[] = {
        {"living listener", 0, false, 0, true, H::kNothing},
        {"ghost listener", 0, true, 0, true, H::kClear},
        {"living listener, hears ghosts", 0, false, kPlayerHearsGhosts, true, H::kNothing},
        {"living listener, heard ghost", kPlayerGhostHeard, false, 0, true, H::kGarbled},
        {"hears ghosts, heard ghost", kPlayerGhostHeard, false, kPlayerHearsGhosts, true,
         H::kClear},
        {"ghost listener, heard ghost", kPlayerGhostHeard, true, 0, true, H::kClear},
        {"god mode", 0, false, kPlayerEditing, true, H::kClear},
        {"counselor", 0, false, kPlayerCounselor, true, H::kClear},
        {"unseen ghost listener", 0, true, 0, false, H::kNothing},
        {"unseen, heard ghost", kPlayerGhostHeard, false, kPlayerHearsGhosts, false, H::kNothing},
        {"unseen god mode", 0, false, kPlayerEditing, false, H::kClear},
        {"unseen counselor", 0, false, kPlayerCounselor, false, H::kClear},
    };
    for (const Case& c : cases) {
        FakePlayer speaker("Ghost");
        speaker.SetBodyType(kGhostBodies[0]);
        speaker.SetFlagWord(c.speakerFlags);
        FakePlayer listener("Listener");
        listener.SetBodyType(c.listenerGhost ? kGhostBodies[1] : 400);
        listener.SetFlagWord(c.listenerFlags);
        EXPECT_EQ(HowListenerHearsGhost(speaker, listener, c.sees), c.heard) << c.name;
    }
}

TEST_F(SpeechTest, AGhostIsHeardClearGarbledOrNotAtAllAndTheGarblingFollowsTheSeed) {
    ann->SetBodyType(kGhostBodies[0]);
    ann->SetFlagWord(kPlayerGhostHeard);
    FakePlayer* ghost = Listener("Ghost", 21, 20);
    ghost->SetBodyType(kGhostBodies[1]);
    FakePlayer* living = Listener("Living", 22, 20);
    FakePlayer* medium = Listener("Medium", 23, 20);
    medium->SetFlagWord(kPlayerHearsGhosts);
    PlacedItem(20, 22, 0, kWall);
    FakePlayer* hidden = Listener("Behind", 20, 24);
    FakePlayer* god = Listener("God", 20, 25);
    god->SetFlagWord(kPlayerEditing);

    auto garbledOnce = [&](u32 seed) {
        platform::SeedRandom(seed);
        Say("hello world");
        EXPECT_EQ(HeardBy(ghost)[0].text, "hello world");
        EXPECT_EQ(HeardBy(medium)[0].text, "hello world");
        EXPECT_EQ(HeardBy(god)[0].text, "hello world") << "god mode hears through walls";
        EXPECT_TRUE(HeardBy(hidden).empty()) << "unseen";
        const auto heard = HeardBy(living);
        EXPECT_EQ(heard.size(), 1u);
        return heard.empty() ? std::string() : heard[0].text;
    };
    const std::string first = garbledOnce(11);
    ASSERT_EQ(first.size(), 11u);
    for (size_t i = 0; i < first.size(); ++i) {
        if (i == 5) {
            EXPECT_EQ(first[i], ' ') << "blanks stay";
        } else {
            EXPECT_TRUE(first[i] == 'O' || first[i] == 'o') << first;
        }
    }
    EXPECT_NE(first.find('O'), std::string::npos) << "both letters occur: " << first;
    EXPECT_NE(first.find('o'), std::string::npos) << "both letters occur: " << first;
    EXPECT_EQ(garbledOnce(11), first) << "the same seed garbles the same way";

    Say("hi", 2);
    EXPECT_TRUE(HeardBy(ghost).empty()) << "ghosts cannot emote";
    ann->SetFlagWord(0);
    Say("hello");
    EXPECT_TRUE(HeardBy(living).empty()) << "without the flag the living hear nothing";
    EXPECT_EQ(HeardBy(ghost).size(), 1u);
}

}  // namespace
