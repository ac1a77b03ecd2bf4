// Visual effects and sounds, sent at once or gathered in the effect sequence and sent as one,
// as the players near them read the bytes.
#include "server/rules/effect_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/log_sink.h"
#include "server/rules/effects.h"
#include "server/world/npc.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/player/player_walk_support.h"

namespace {

// The bytes of integers as four little-endian bytes, of a place as three 16-bit values.
std::string Le(u32 v) {
    return ToHex({u8(v), u8(v >> 8), u8(v >> 16), u8(v >> 24)});
}
std::string At(int x, int y, int z) {
    return ToHex({u8(x), u8(x >> 8), u8(y), u8(y >> 8), u8(z), u8(z >> 8)});
}
std::string Be(u32 v) {
    return ToHex({u8(v >> 24), u8(v >> 16), u8(v >> 8), u8(v)});
}
std::string Ids(const Received& got) {
    return got.Ids({});
}

class EffectSequenceTest : public WalkWorldTest {
protected:
    void SetUp() override {
        WalkWorldTest::SetUp();
        g_effectSequence.Clear();
        ann = NewPlayer(10, 10);
        bob = NewPlayer(50, 10);  // 40 tiles east of Ann
        npc = NewNpc(12, 13, 5);
        DropAll();
    }
    void TearDown() override {
        g_effectSequence.Clear();
        WalkWorldTest::TearDown();
    }
    CPlayer* ann = nullptr;
    CPlayer* bob = nullptr;
    CNPC* npc = nullptr;
};

TEST_F(EffectSequenceTest, EachEffectKeepsItsRecordWhileTheSequenceIsOpen) {
    const u32 n = npc->GetSerial();
    const u32 a = ann->GetSerial();
    const std::string p3 = Le(300) + " " + Le(2) + " " + Le(3);  // p1 is kept whole
    const std::string npcAt = At(12, 13, 5);
    struct Case {
        const char* what;
        std::function<void()> effect;
        int kind;
        std::string bytes;
    } cases[] = {
        {"loc animation", [] { DoLocAnimation(Location(20, 21, -2), 0x3728, 300, 2, 3, 4); },
         0, Le(0x3728) + " " + At(20, 21, -2) + " " + p3 + " " + Le(4)},
        {"mob animation", [&] { DoMobAnimation(*npc, 0x373A, 300, 2, 3, 4); }, 1,
         Le(n) + " " + Le(0x373A) + " " + npcAt + " " + p3 + " " + Le(4)},
        {"lightning", [&] { DoLightning(*npc); }, 2, Le(n) + " " + npcAt},
        {"missile place to place",
         [] { DoMissileLocToLoc(Location(1, 2, 3), Location(4, 5, 6), 0x36D4, 300, 2, 3); }, 3,
         At(1, 2, 3) + " " + At(4, 5, 6) + " " + Le(0x36D4) + " " + p3},
        {"missile place to mobile",
         [&] { DoMissileLocToMob(Location(1, 2, 3), *npc, 0x36D4, 300, 2, 3); }, 4,
         Le(n) + " " + Le(0x36D4) + " " + At(1, 2, 3) + " " + npcAt + " " + p3},
        {"missile mobile to place",
         [&] { DoMissileMobToLoc(*npc, Location(4, 5, 6), 0x36D4, 300, 2, 3); }, 5,
         Le(n) + " " + Le(0x36D4) + " " + npcAt + " " + At(4, 5, 6) + " " + p3},
        {"missile mobile to mobile", [&] { DoMissileMobToMob(*npc, *ann, 0x36D4, 300, 2, 3); },
         6, Le(n) + " " + Le(a) + " " + Le(0x36D4) + " " + npcAt + " " + At(10, 10, 0) + " " + p3},
        {"mobile action", [&] { AnimateMobile(*npc, 12, 7, 1, 0, 1); }, 7,
         Le(n) + " " + npcAt + " " + Le(12) + " " + Le(7) + " " + Le(1) + " " + Le(0) + " " +
             Le(1)},
        {"sound", [] { PlaySfx(Location(20, 21, 0), 587, 300); }, 8,
         At(20, 21, 0) + " " + Le(587) + " " + Le(300)},
        {"sound for a player", [&] { PlaySfxTo(*ann, 86, 7); }, 9,
         Le(a) + " " + Le(86) + " " + Le(7)},
    };
    for (const Case& c : cases) {
        g_effectSequence.Clear();
        BeginSequence();
        c.effect();
        ASSERT_EQ(g_effectSequence.Records().size(), 1u) << c.what;
        EXPECT_EQ(g_effectSequence.Records()[0].kind, c.kind) << c.what;
        EXPECT_EQ(ToHex(g_effectSequence.Records()[0].data), c.bytes) << c.what;
        EXPECT_EQ(Ids(Got(ann)), "") << c.what << ": nothing goes out while the sequence is open";
    }
}

TEST_F(EffectSequenceTest, ImmediateFormsAsTheNearPlayersReadThem) {
    // Lightning: one 28-byte packet of type 1, graphic 0, the mobile's place twice.
    DoLightning(*npc);
    Received got = Got(ann);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]), "70 01 " + Be(npc->GetSerial()) +
                                         " 00 00 00 00 00 00 00 0C 00 0D 05 00 0C 00 0D 05 "
                                         "00 00 00 00 00 00");
    EXPECT_EQ(Ids(Got(bob)), "");

    // A standing animation: p1 300 goes as its low byte, 44; then 1 and 0.
    DoLocAnimation(Location(20, 21, -2), 0x13728, 300, 2, 3, 4);
    got = Got(ann);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]),
              "70 02 00 00 00 00 00 00 00 00 37 28 00 14 00 15 FE 00 14 00 15 FE 2C 02 03 04 01 00");

    // A missile reaches the players near either end, each once; speed, 0, 0, 0, p2, p3.
    CPlayer* both = NewPlayer(25, 10);
    CPlayer* far = NewPlayer(10, 40);
    DoMissileMobToLoc(*ann, Location(40, 10, 0), 0x36D4, 300, 2, 3);
    const std::string missile = "70 00 " + Be(ann->GetSerial()) +
                                " 00 00 00 00 36 D4 00 0A 00 0A 00 00 28 00 0A 00 2C 00 00 00 02 03";
    for (CPlayer* p : {ann, bob, both}) {
        got = Got(p);
        ASSERT_EQ(got.packets.size(), 1u);
        EXPECT_EQ(ToHex(got.packets[0]), missile);
    }
    EXPECT_EQ(Ids(Got(far)), "");

    // A mobile's action: at most 20 frames and 5 x frames + repeats up to 1000.
    AnimateMobile(*npc, 12, 21, 0, 0, 0);
    AnimateMobile(*npc, 12, 20, 901, 0, 0);
    EXPECT_EQ(Ids(Got(ann)), "");
    AnimateMobile(*npc, 12, 20, 900, 1, 1);
    got = Got(ann);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]), "6E " + Be(npc->GetSerial()) + " 00 0C 00 14 03 84 01 01 00");

    // Sounds: below 588 only, inside the sector grid only; the value as the extra word.
    PlaySfx(Location(11, 10, 0), 588, 1);
    PlaySfx(Location(70, 10, 0), 5, 1);
    EXPECT_EQ(Ids(Got(ann)), "");
    PlaySfx(Location(11, 10, 0), 587, 300);
    got = Got(ann);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]), "54 01 02 4B 01 2C 00 0B 00 0A 00 00");
    PlaySfxTo(*bob, 588, 0);
    PlaySfxTo(*bob, 86, 7);
    EXPECT_EQ(Ids(Got(ann)), "");
    got = Got(bob);
    ASSERT_EQ(got.packets.size(), 1u);
    EXPECT_EQ(ToHex(got.packets[0]), "54 01 00 56 00 07 00 32 00 0A 00 00");
}

TEST_F(EffectSequenceTest, SendingFramesTheRecordsForThePlayersNearAnyPlace) {
    CPlayer* far = NewPlayer(10, 40);
    BeginSequence();
    // Two effects at one spot: one place, two records, sent in the order they came.
    DoLocAnimation(Location(11, 11, 0), 0x3728, 1, 2, 3, 4);
    DoLocAnimation(Location(11, 11, 0), 0x3729, 1, 2, 3, 4);
    // The same mobile at both ends: its place once, one record.
    DoMissileMobToMob(*npc, *npc, 0x36D4, 9, 0, 0);
    PlaySfx(Location(50, 11, 0), 86, 0);
    EXPECT_EQ(g_effectSequence.Places().size(), 3u);
    EXPECT_EQ(g_effectSequence.Records().size(), 4u);
    EndSequence(5);
    EXPECT_FALSE(g_effectSequence.IsOpen());
    EXPECT_TRUE(g_effectSequence.Records().empty());
    EXPECT_TRUE(g_effectSequence.Places().empty());

    const Received annGot = Got(ann);
    EXPECT_EQ(Ids(annGot), "7B 70 70 70 7B");
    ASSERT_EQ(annGot.packets.size(), 5u);
    EXPECT_EQ(ToHex(annGot.packets[0]), "7B 00");
    EXPECT_EQ(Be16(annGot.packets[1], 10), 0x3728);
    EXPECT_EQ(Be16(annGot.packets[2], 10), 0x3729);
    EXPECT_EQ(ToHex(annGot.packets[4]), "7B 05");
    // Bob is near the sound's place only: the markers and the sound.
    EXPECT_EQ(Ids(Got(bob)), "7B 54 7B");
    EXPECT_EQ(Ids(Got(far)), "");
}

TEST_F(EffectSequenceTest, TheEndMarkerIsTheLowByteOfTheEndValueNeverZero) {
    const struct {
        int value;
        const char* marker;
    } cases[] = {{0, "7B 01"}, {256, "7B 01"}, {257, "7B 01"}, {300, "7B 2C"}, {5, "7B 05"}};
    for (const auto& c : cases) {
        BeginSequence();
        DoLightning(*npc);
        EndSequence(c.value);
        const Received got = Got(ann);
        ASSERT_EQ(got.packets.size(), 3u) << c.value;
        EXPECT_EQ(ToHex(got.packets[2]), c.marker) << c.value;
    }
}

TEST_F(EffectSequenceTest, AnEmptySequenceSendsItsMarkersOnlyToThePlayersNearItsPlaces) {
    BeginSequence();
    EndSequence(3);
    EXPECT_EQ(Ids(Got(ann)), "") << "no places: nobody";
    BeginSequence();
    g_effectSequence.AddLocation(Location(10, 12, 0));
    EndSequence(3);
    EXPECT_EQ(Ids(Got(ann)), "7B 7B");
    EXPECT_EQ(Ids(Got(bob)), "");
}

TEST_F(EffectSequenceTest, EndWithoutBeginSendsNothingAndBeginsDoNotNest) {
    EndSequence(1);
    EXPECT_EQ(Ids(Got(ann)), "");
    BeginSequence();
    DoLightning(*npc);
    BeginSequence();  // changes nothing: the record stays
    EXPECT_EQ(g_effectSequence.Records().size(), 1u);
    EndSequence(1);
    EXPECT_EQ(Ids(Got(ann)), "7B 70 7B");
    EndSequence(1);  // closed by the first end
    EXPECT_EQ(Ids(Got(ann)), "");
    DoLightning(*npc);
    EXPECT_EQ(Ids(Got(ann)), "70") << "a closed sequence lets effects go at once";
}

TEST_F(EffectSequenceTest, ASoundForAPlayerGoneByTheEndReachesNobody) {
    BeginSequence();
    PlaySfxTo(*bob, 86, 0);
    PlaySfx(Location(11, 10, 0), 87, 0);
    Destroy(bob);
    EndSequence(1);
    const Received got = Got(ann);
    EXPECT_EQ(Ids(got), "7B 54 7B");
    ASSERT_EQ(got.packets.size(), 3u);
    EXPECT_EQ(Be16(got.packets[1], 2), 87);
}

TEST_F(EffectSequenceTest, ARecordOfTheWrongLengthIsSkipped) {
    BeginSequence();
    const u8 shortLightning[9] = {};
    ASSERT_TRUE(g_effectSequence.AddRecord(kEffectLightning, shortLightning, sizeof shortLightning));
    DoLightning(*npc);
    EndSequence(1);
    EXPECT_EQ(Ids(Got(ann)), "7B 70 7B");
}

TEST_F(EffectSequenceTest, PastTheLimitFurtherEffectsAreDroppedWithOneLogLine) {
    LogCapture log;
    BeginSequence();
    for (size_t i = 0; i < EffectSequence::kMaxRecords; ++i)
        DoLocAnimation(Location(11, 11, 0), 0x3728, 0, 0, 0, 0);
    EXPECT_TRUE(log.FromSource("effects").empty());
    DoLocAnimation(Location(40, 40, 0), 0x3728, 0, 0, 0, 0);
    PlaySfx(Location(40, 41, 0), 86, 0);
    EXPECT_EQ(g_effectSequence.Records().size(), EffectSequence::kMaxRecords);
    EXPECT_EQ(g_effectSequence.Places().size(), 1u) << "a dropped effect adds no place";
    EXPECT_EQ(log.FromSource("effects").size(), 1u);
    g_effectSequence.Clear();
    // A new sequence starts with room and with its own log line.
    BeginSequence();
    EXPECT_TRUE(g_effectSequence.AddRecord(kEffectLightning, nullptr, 0));
}

}  // namespace
