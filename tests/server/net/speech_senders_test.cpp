// The senders of Unicode speech, sounds and music: who gets the packet, and what the speech
// trigger of a Unicode utterance hears.
#include <gtest/gtest.h>

#include "platform/random.h"
#include "server/net/sound_senders.h"
#include "server/net/unicode_speech.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/net/player_world_test.h"

namespace {

class SenderTest : public PlayerWorldTest {
protected:
    static FakePlayer* Connected(FakePlayer* p) {
        Connect(p);
        return p;
    }
    // The ids of what the player received.
    static std::string IdsOf(FakePlayer* p) {
        std::vector<u8> ids;
        for (const auto& packet : Received(p))
            ids.push_back(packet[0]);
        return ToHex(ids);
    }
};

TEST(UnicodeTriggerText, KeepsTheAsciiCodeUnitsInOrderUpTo4095) {
    EXPECT_EQ(UnicodeTriggerText(u"h\u00e9llo \u263a!"), "hllo !");
    EXPECT_EQ(UnicodeTriggerText(u"\u00c4\u263a\u4e2d"), "") << "only non-ASCII: empty";
    EXPECT_EQ(UnicodeTriggerText(nullptr), "");
    const std::u16string longText(5000, u'a');
    EXPECT_EQ(UnicodeTriggerText(longText.c_str()).size(), 4095u);
}

TEST_F(SenderTest, AUnicodeUtteranceReachesTheSpeechTriggerAsItsAsciiPart) {
    CItem* listener = PlacedItem(22, 20, 0);
    triggers.scripted = {listener->GetSerial()};
    // The text lives only while the trigger runs.
    struct TextKeeper : RecordingTriggers {
        std::vector<std::string> texts;
        int SendTrigger(CItem* object, int trigger, const TriggerArgs& args) override {
            texts.push_back(args.text ? args.text : "(null)");
            return RecordingTriggers::SendTrigger(object, trigger, args);
        }
    } keeper;
    keeper.scripted = triggers.scripted;
    SetTriggerServices(&keeper);
    SendUnicodeSpeechTrigger(ann, ann->GetLocation(), u"\u263aopen\u00e9 sesame", 18);
    SendUnicodeSpeechTrigger(ann, ann->GetLocation(), u"\u263a\u00e9", 18);
    SendUnicodeSpeechTrigger(ann, ann->GetLocation(), u"@at", 18);
    SetTriggerServices(&triggers);
    EXPECT_EQ(keeper.texts, (std::vector<std::string>{"open sesame", ""}))
        << "only non-ASCII: an empty text; a text starting with @ reaches no trigger";
}

TEST_F(SenderTest, UnicodeSpeechInRangeGoesToTheNearestInSight) {
    FakePlayer* a = Connected(Player("A", 21, 20));
    FakePlayer* b = Connected(Player("B", 23, 20));
    FakePlayer* c = Connected(Player("C", 25, 20));
    FakePlayer* far = Connected(Player("Far", 33, 20));
    Received(ann);
    SpeakUnicodeInRange(*ann, 0, u"hello", 946, 3, 0, 3);
    EXPECT_EQ(IdsOf(ann), "AE") << "the speaker is the nearest";
    EXPECT_EQ(IdsOf(a), "AE");
    EXPECT_EQ(IdsOf(b), "AE");
    EXPECT_EQ(IdsOf(c), "") << "past the count";
    EXPECT_EQ(IdsOf(far), "") << "13 tiles";
}

TEST_F(SenderTest, AUnicodeGhostIsHeardByTheSameRules) {
    ann->SetBodyType(kGhostBodies[0]);
    ann->SetFlagWord(kPlayerGhostHeard);
    FakePlayer* ghost = Connected(Player("Ghost", 21, 20));
    ghost->SetBodyType(kGhostBodies[1]);
    FakePlayer* living = Connected(Player("Living", 22, 20));
    platform::SeedRandom(3);
    SpeakUnicodeAsGhost(*ann, 0, u"ab c", 946, 3, 0, 9);
    const auto clear = Received(ghost);
    const auto garbled = Received(living);
    ASSERT_EQ(clear.size(), 1u);
    ASSERT_EQ(garbled.size(), 1u);
    ASSERT_EQ(clear[0].size(), 48u + 2 * 5);
    EXPECT_EQ(ToHex({clear[0].begin() + 48, clear[0].end()}), "00 61 00 62 00 20 00 63 00 00");
    ASSERT_EQ(garbled[0].size(), 58u);
    for (size_t i = 48; i < 56; i += 2) {
        const u16 unit = Be16(garbled[0], i);
        if (i == 52) {
            EXPECT_EQ(unit, u' ');
        } else {
            EXPECT_TRUE(unit == u'O' || unit == u'o') << unit;
        }
    }
}

TEST_F(SenderTest, SoundsAndMusicReachTheirAudience) {
    FakePlayer* near = Connected(Player("Near", 38, 20));  // 18 tiles
    FakePlayer* far = Connected(Player("Far", 39, 20));    // 19 tiles
    Received(ann);
    PlaySoundAtObject(*ann, 0x12345, 7);
    const auto heard = Received(near);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(ToHex(heard[0]), "54 01 23 45 00 07 00 14 00 14 00 00") << "low 16 bits of the id";
    EXPECT_EQ(IdsOf(ann), "54");
    EXPECT_EQ(IdsOf(far), "");

    PlayMusicAtObject(*ann, 9);
    EXPECT_EQ(IdsOf(near), "6D");
    EXPECT_EQ(IdsOf(far), "");
    PlayMusicForPlayer(*far, 0x0102);
    EXPECT_EQ(ToHex(Received(far)[0]), "6D 01 02");
    EXPECT_EQ(IdsOf(ann), "6D") << "from the object music only";

    PlaySoundForPlayer(*far, 5, 6);
    EXPECT_EQ(ToHex(Received(far)[0]), "54 01 00 05 00 06 00 27 00 14 00 00");
    PlayAmbientSoundForPlayer(*far, 5);
    EXPECT_EQ(ToHex(Received(far)[0]), "54 00 00 05 00 00 00 27 00 14 00 00");
    EXPECT_EQ(IdsOf(near), "");
}

TEST_F(SenderTest, ASoundAtAPlaceReachesThe40NearestWithin12Tiles) {
    std::vector<FakePlayer*> crowd;
    for (int i = 0; i < 50; ++i)
        crowd.push_back(Connected(Player("P", 30 + i % 10, 30 + i / 10)));
    FakePlayer* beyond = Connected(Player("Beyond", 43, 30));
    PlaySoundAtLocation(Location(30, 30, 0), 1, 0);
    // Exactly 40 of them stand within 7 tiles (Chebyshev): columns 0-7 of the 10 x 5 block.
    for (size_t i = 0; i < crowd.size(); ++i)
        EXPECT_EQ(!Received(crowd[i]).empty(), i % 10 <= 7) << i;
    EXPECT_TRUE(Received(ann).empty()) << "10 tiles away: not among the 40";
    EXPECT_TRUE(Received(beyond).empty()) << "13 tiles away";
}

}  // namespace
