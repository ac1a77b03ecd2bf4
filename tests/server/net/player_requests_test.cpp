// The basic requests of a playing client through the dispatcher: what each changes, what the
// client reads back, and requests whose fields run past the packet.
#include "server/net/player_requests.h"

#include <gtest/gtest.h>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "server/net/client_dispatcher.h"
#include "server/net/packet_framer.h"
#include "server/world/skill_table.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/net/player_world_test.h"
#include "tests/server/world/world_test_support.h"

namespace {

using RequestTest = PlayerWorldTest;

TEST_F(RequestTest, EachHandlerReadsItsWholePacketAndStopsWhenItIsOneByteShort) {
    // Each id with the offset of its last field, where a packet one byte short fails.
    const std::pair<int, size_t> ids[] = {{0x02, 2}, {0x04, 1}, {0x05, 1},  {0x09, 1}, {0x22, 2},
                                          {0x2C, 1}, {0x34, 6}, {0x6C, 17}, {0x72, 4}, {0x73, 1}};
    for (auto [id, lastField] : ids) {
        const ClientPacketHandler handler = FindClientPacketHandler(u8(id), false);
        ASSERT_NE(handler, nullptr);
        std::vector<u8> packet(PacketTableWord(id), 0);
        packet[0] = u8(id);
        PacketReader whole(packet.data(), packet.size(), 1);
        handler(*ann, whole);
        EXPECT_TRUE(whole.Ok()) << std::hex << id;
        EXPECT_EQ(whole.Remaining(), 0u) << std::hex << id;

        ann->calls.clear();
        sock->FlushSendQueue();
        sock->wire.clear();
        const u32 flags = ann->GetFlagWord();
        PacketReader cut(packet.data(), packet.size() - 1, 1);
        handler(*ann, cut);
        EXPECT_FALSE(cut.Ok()) << std::hex << id;
        EXPECT_EQ(cut.FailOffset(), lastField) << std::hex << id;
        sock->FlushSendQueue();
        EXPECT_TRUE(sock->wire.empty()) << "a short request gets no answer " << std::hex << id;
        EXPECT_TRUE(ann->calls.empty()) << std::hex << id;
        EXPECT_EQ(ann->GetFlagWord(), flags) << std::hex << id;
    }
}

TEST_F(RequestTest, SpeechWithoutItsTerminatorClosesTheConnectionNamingIdAndOffset) {
    LogCapture log;
    EXPECT_EQ(RunHex("03 00 00 00 00 00 00 03 41 42"), "");
    EXPECT_EQ(sock->state, u32(kSocketClosing));
    ASSERT_EQ(log.FromSource("badness").size(), 1u);
    EXPECT_EQ(log.FromSource("badness")[0].message,
              "client packet 0x03 read past its end at offset 8");
}

TEST_F(RequestTest, WalkLookResyncAndKeepAliveReachThePlayer) {
    EXPECT_EQ(RunHex("02 03 09"), "");
    EXPECT_EQ(RunHex("09 40 00 00 2A"), "");
    EXPECT_EQ(RunHex("73 00"), "") << "keep-alive: no answer";
    const auto resync = Run(Request("22 00 00"));
    EXPECT_EQ(ann->calls,
              (std::vector<std::string>{"walk 3 9", "look 1073741866", "surroundings"}));
    ASSERT_EQ(resync.size(), 1u);
    EXPECT_EQ(ToHex({resync[0].begin(), resync[0].begin() + 5}), "20 " + Serial(ann->GetSerial()))
        << "the player's own update after its surroundings";
}

TEST_F(RequestTest, GodModeNeedsTheRightsAndIsAlwaysAnswered) {
    struct Case {
        const char* name;
        u32 flags;
        const char* request;
        bool editing;
        const char* answer;
        const char* line;
    };
    const Case cases[] = {
        {"on with rights", kPlayerGodRights, "04 01", true, "2B 01", "god mode enabled"},
        {"any non-zero value is on", kPlayerGodRights, "04 7F", true, "2B 01", "god mode enabled"},
        {"off", kPlayerGodRights | kPlayerEditing, "04 00", false, "2B 00", "god mode disabled"},
        {"on without rights is off", 0, "04 01", false, "2B 00", "god mode disabled"},
        {"off without rights", kPlayerEditing, "04 00", false, "2B 00", "god mode disabled"},
    };
    for (const Case& c : cases) {
        ann->SetFlagWord(c.flags);
        LogCapture log;
        EXPECT_EQ(RunHex(c.request), c.answer) << c.name;
        EXPECT_EQ(ann->IsEditing(), c.editing) << c.name;
        const auto lines = log.FromSource("godmode");
        ASSERT_EQ(lines.size(), 1u) << c.name;
        EXPECT_EQ(lines[0].message, c.line) << c.name;
        EXPECT_EQ(lines[0].severity, "misc") << c.name;
        EXPECT_EQ(lines[0].serial, ann->GetSerial()) << c.name;
    }
}

TEST_F(RequestTest, AnAttackStartsOnAMobileWithin18TilesUnlessTheAttackerIsAGhost) {
    FakePlayer* near = Player("Near", 38, 20);
    FakePlayer* far = Player("Far", 39, 20);
    CItem* stone = PlacedItem(21, 20, 0);
    const std::string nearAttack =
        std::to_string(ann->GetSerial()) + " -> " + std::to_string(near->GetSerial()) + ", 1";
    Run(Request("05 " + Serial(near->GetSerial())));
    Run(Request("05 " + Serial(far->GetSerial())));
    Run(Request("05 " + Serial(stone->GetSerial())));
    Run(Request("05 7F 00 00 01"));
    EXPECT_EQ(world.attacks, std::vector<std::string>{nearAttack});
    ann->SetBodyType(kGhostBodies[0]);
    Run(Request("05 " + Serial(near->GetSerial())));
    EXPECT_EQ(world.attacks.size(), 1u) << "a ghost does not attack";
}

// The death screen's answer acts only for a frozen ghost; a resurrection that works costs 10 %
// of the stats (60 each: f = 10000 - 10 * 100 * 115 / 150, so 56).
TEST_F(RequestTest, TheDeathMenuAnswerCountsOnlyForAFrozenGhost) {
    struct Case {
        const char* name;
        bool ghost, frozen, resurrects;
        const char* request;
        const char* answer;
        std::vector<std::string> calls;
        bool frozenAfter;
        int strengthAfter;
    };
    const Case cases[] = {
        {"a living player", false, true, true, "2C 01", "", {}, true, 60},
        {"a ghost not frozen", true, false, true, "2C 01", "", {}, false, 60},
        {"stay a ghost", true, true, true, "2C 00", "", {}, false, 60},
        {"any other choice is a walking ghost", true, true, true, "2C 02", "", {}, false, 60},
        {"resurrect", true, true, true, "2C 01", "2C 01", {"resurrect 1"}, false, 56},
        {"a resurrection that fails costs nothing",
         true,
         true,
         false,
         "2C 01",
         "2C 01",
         {"resurrect 1"},
         false,
         60},
    };
    ann->loggedIn = true;
    for (const Case& c : cases) {
        ann->calls.clear();
        for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat)
            ann->SetRealStat(stat, 60);
        ann->SetBodyType(c.ghost ? kGhostBodies[1] : 400);
        ann->SetMobFlag(kMobFrozen, c.frozen);
        ann->resurrects = c.resurrects;
        Received(ann);
        EXPECT_EQ(RunHex(c.request), c.answer) << c.name;
        EXPECT_EQ(ann->calls, c.calls) << c.name;
        EXPECT_EQ(ann->IsFrozen(), c.frozenAfter) << c.name;
        EXPECT_EQ(ann->GetBaseStat(kStatStrength), c.strengthAfter) << c.name;
    }
}

TEST_F(RequestTest, StatusOfOneselfIsFullOfOthersShortUnlessInGodMode) {
    FakePlayer* bo = Player("Bo", 25, 25);
    FakePlayer* far = Player("Far", 50, 50);
    ann->SetMaxHits(80);
    ann->SetCurHits(77);
    Received(ann);
    auto status = [&](u32 serial, const char* marker = "ED ED ED ED") {
        return Run(Request(std::string("34 ") + marker + " 04 " + Serial(serial)));
    };
    auto own = status(ann->GetSerial());
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0][0], 0x11);
    EXPECT_EQ(Be32(own[0], 3), ann->GetSerial());
    EXPECT_EQ(Be16(own[0], 37), 77) << "the mobile's own hits";
    EXPECT_EQ(Be16(own[0], 39), 80);
    EXPECT_EQ(own[0][42], 1) << "full about oneself";
    EXPECT_EQ(ann->GetLastExamined(0), 0u) << "oneself is not remembered";

    auto other = status(bo->GetSerial());
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0][42], 0) << "short about another";
    EXPECT_EQ(ann->GetLastExamined(0), bo->GetSerial());
    ann->SetFlagWord(kPlayerEditing);
    other = status(bo->GetSerial());
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0][42], 1) << "full in god mode";

    EXPECT_TRUE(status(far->GetSerial()).empty()) << "more than 18 tiles away";
    EXPECT_EQ(ann->GetLastExamined(0), far->GetSerial()) << "remembered even when not found";
    EXPECT_EQ(ann->GetLastExamined(1), bo->GetSerial());
    EXPECT_TRUE(status(bo->GetSerial(), "ED ED ED EE").empty()) << "without the marker";
}

TEST_F(RequestTest, SkillsAllAndOneWithinTheTable) {
    // Three skills whose effective value is the skill itself (no stat share).
    std::string table = "version 0\n";
    for (int i = 0; i < 3; ++i)
        table += "--\nName S" + std::to_string(i) +
                 "\nStr 0\nDex 0\nInt 0\nW 0\nW 0\nW 0\nCurve 0 500 800\nSpare 0\nPct 100\n"
                 "Use T\nCap 1\nScript s\n";
    ASSERT_EQ(g_skillTable.LoadFromText(table), 3);
    ann->SetSkill(0, 500);
    ann->SetSkill(1, 1000);
    Received(ann);
    EXPECT_EQ(RunHex("34 ED ED ED ED 05 00 00 00 00"),
              "3A 00 12 00 00 01 01 F4 00 02 03 E8 00 03 00 00 00 00");
    const auto one = Run(Request("34 ED ED ED ED 06 00 00 00 01"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0][0], 0x3A);
    EXPECT_EQ(RunHex("34 ED ED ED ED 06 00 00 00 03"), "") << "past the skill table";
    EXPECT_EQ(RunHex("34 ED ED ED ED 06 FF FF FF FF"), "");
    g_skillTable.LoadFromText("");
}

TEST_F(RequestTest, ResourceStatusRequestsAreForGodRightsAndNotBuiltYet) {
    LogCapture log;
    for (const char* type : {"02", "03", "FD", "07"})
        EXPECT_EQ(RunHex(std::string("34 ED ED ED ED ") + type + " 00 00 00 01"), "") << type;
    EXPECT_TRUE(log.FromSource("protocol").empty()) << "no rights: ignored";
    ann->SetFlagWord(kPlayerGodRights);
    for (const char* type : {"02", "03", "FD"})
        RunHex(std::string("34 ED ED ED ED ") + type + " 00 00 00 01");
    EXPECT_LE(log.FromSource("protocol").size(), 1u) << "said once";
}

TEST_F(RequestTest, WarModeIsSetStoredAndEchoedExceptForANonCombatant) {
    EXPECT_EQ(RunHex("72 01 22 33 44"), "72 01 22 33 44");
    EXPECT_EQ(ann->calls, std::vector<std::string>{"war 1"});
    EXPECT_EQ(ToHex({ann->GetWarModeBytes(), ann->GetWarModeBytes() + 4}), "01 22 33 44");
    EXPECT_EQ(RunHex("72 05 00 00 00"), "72 01 00 00 00") << "the resulting war state";
    ann->SetFlagWord(kPlayerNonCombatant);
    EXPECT_EQ(RunHex("72 00 00 00 00"), "");
    EXPECT_EQ(ann->calls.size(), 2u);
}

// Target answers reach the requester's scripts: triggers 56 and 24 for an object, 25 always,
// each after looking the requester up again.
class TargetTest : public RequestTest {
protected:
    void SetUp() override {
        RequestTest::SetUp();
        requester = PlacedItem(22, 20, 0);
        target = PlacedItem(23, 20, 0);
    }
    std::vector<u8> Answer(int cursor, u32 requesterSerial, u32 targetSerial) {
        return Request("6C 0" + std::to_string(cursor) + " " + Serial(requesterSerial) + " 00 " +
                       Serial(targetSerial) + " 00 15 00 16 FF FE 0E 10");
    }
    std::vector<int> Fired() const { return triggers.TriggersFor(requester->GetSerial()); }
    CItem* requester = nullptr;
    CItem* target = nullptr;
};

TEST_F(TargetTest, ALocationFiresOnlyTargetLocWithThePlaceAndGraphic) {
    Run(Answer(1, requester->GetSerial(), 0));
    ASSERT_EQ(Fired(), std::vector<int>{kTriggerTargetLoc});
    const TriggerArgs& a = triggers.calls[0].args;
    EXPECT_EQ(a.serial, ann->GetSerial());
    EXPECT_EQ(a.a, Location(0x15, 0x16, -2));
    EXPECT_EQ(a.value, 0x0E10);
}

TEST_F(TargetTest, AnObjectFiresTheThreeTriggersUntilOneRefuses) {
    struct Case {
        const char* name;
        int refuses;  // the trigger that answers 0, or -1
        std::vector<int> fired;
    };
    const Case cases[] = {
        {"none refuses", -1, {kTriggerOorTargetObj, kTriggerTargetObj, kTriggerTargetLoc}},
        {"out-of-range refuses", kTriggerOorTargetObj, {kTriggerOorTargetObj}},
        {"targetobj refuses", kTriggerTargetObj, {kTriggerOorTargetObj, kTriggerTargetObj}},
    };
    for (const Case& c : cases) {
        triggers.calls.clear();
        triggers.answers.clear();
        if (c.refuses >= 0) triggers.answers[{requester->GetSerial(), c.refuses}] = 0;
        Run(Answer(0, requester->GetSerial(), target->GetSerial()));
        EXPECT_EQ(Fired(), c.fired) << c.name;
        EXPECT_EQ(triggers.calls[0].args.other, target->GetSerial()) << c.name;
    }
}

TEST_F(TargetTest, AnUnreachableTargetReachesTargetObjAsZeroButOutOfRangeAsSent) {
    CItem* distant = PlacedItem(60, 60, 0);
    Run(Answer(0, requester->GetSerial(), distant->GetSerial()));
    ASSERT_EQ(triggers.calls.size(), 3u);
    EXPECT_EQ(triggers.calls[0].args.other, distant->GetSerial());
    EXPECT_EQ(triggers.calls[1].args.other, 0u);
}

TEST_F(TargetTest, ARequesterDeletedByATriggerHearsNoMore) {
    const u32 serial = requester->GetSerial();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger == kTriggerOorTargetObj && object == requester) {
            object->DeleteSelf();
            requester = nullptr;
        }
    };
    Run(Answer(0, serial, target->GetSerial()));
    EXPECT_EQ(triggers.TriggersFor(serial),
              (std::vector<int>{kTriggerOorTargetObj, kTriggerDestroyed}));
}

TEST_F(TargetTest, TheCallbackSeesEveryAnswerFirstEvenWithoutARequester) {
    static std::vector<std::string> seen;
    seen.clear();
    ann->SetTargetCallback([](CPlayer&, int cursor, u32 t, int x, int y, int z) {
        seen.push_back(std::to_string(cursor) + " " + std::to_string(t) + " " + std::to_string(x) +
                       " " + std::to_string(y) + " " + std::to_string(z));
    });
    CItem* distant = PlacedItem(60, 60, 0);
    Run(Answer(0, 0, target->GetSerial()));
    Run(Answer(0, requester->GetSerial(), distant->GetSerial()));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "0 " + std::to_string(target->GetSerial()) + " 21 22 -2", "0 0 21 22 -2"}))
        << "the second target is out of reach";
    EXPECT_EQ(triggers.calls.size(), 3u) << "no requester: no trigger";
}

}  // namespace
