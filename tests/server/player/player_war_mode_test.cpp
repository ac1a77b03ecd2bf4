// War mode and the manifesting ghost as the clients around see it: the client's 0x72 round
// trip, the cases where nothing changes, the ghost's war-mode timeout, toggling the
// manifesting bit; and the player's small services around it: the status watch list, the
// bark to self and to the others in sight, the alignment sides, frozen and squelched.
#include "server/player/player_war_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "server/net/client_dispatcher.h"
#include "server/world/player.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/timed_callbacks.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/player/player_walk_support.h"

namespace {

class WarModeTest : public WalkWorldTest {
protected:
    CPlayer* Ghost(int x, int y) {
        CPlayer* p = NewPlayer(x, y);
        p->SetBodyType(kGhostBodies[0]);
        return p;
    }
    // The client's packet through its handler, as the dispatcher runs it.
    static void Send(CPlayer* p, const std::string& hex) {
        const std::vector<u8> packet = FromHex(hex);
        PacketReader r(packet.data(), packet.size(), PacketTableIsVariable(packet[0]) ? 3 : 1);
        FindClientPacketHandler(packet[0], false)(*p, r);
        ASSERT_TRUE(r.Ok()) << hex;
    }
    // Whether the viewer was sent the mobile in full (0x78), or told it is gone (0x1D).
    static bool Shown(const Received& got, const CPlayer* mobile) { return Has(got, 0x78, mobile); }
    static bool Removed(const Received& got, const CPlayer* mobile) {
        return Has(got, 0x1D, mobile);
    }
    static bool Has(const Received& got, u8 id, const CPlayer* mobile) {
        for (const auto& p : got.Of(id))
            if (ReadSerial(p) == mobile->GetSerial()) return true;
        return false;
    }
    static std::string WarPackets(const Received& got) {
        std::string out;
        for (const auto& p : got.Of(0x72))
            out += (out.empty() ? "" : " | ") + ToHex(p);
        return out;
    }
};

TEST_F(WarModeTest, AGhostInWarModeIsSeenByTheLivingAndHiddenAgainWhenItLeaves) {
    CPlayer* ghost = Ghost(10, 10);
    CPlayer* living = NewPlayer(12, 12);
    CPlayer* otherGhost = Ghost(12, 8);
    DropAll();

    Send(ghost, "72 01 00 32 00");
    EXPECT_TRUE(ghost->IsManifesting());
    EXPECT_TRUE(Shown(Got(living), ghost));
    // Placed again, so the client resynchronises (sequence 0); its moves are seen now.
    EXPECT_EQ(Request(ghost, 2, 0), 1);
    EXPECT_EQ(Got(living).Ids(), "77");
    Got(otherGhost);

    Send(ghost, "72 00 00 32 00");
    EXPECT_FALSE(ghost->IsManifesting());
    const Received gone = Got(living);
    EXPECT_TRUE(Removed(gone, ghost));
    EXPECT_FALSE(Shown(gone, ghost));
    EXPECT_TRUE(Shown(Got(otherGhost), ghost)) << "ghosts still see it";
    EXPECT_EQ(Request(ghost, 2, 0), 1);
    EXPECT_EQ(Got(living).Ids(), "");
    EXPECT_EQ(Got(otherGhost).Ids(), "77");
}

TEST_F(WarModeTest, TheClientsWarModeRequestAndTheCasesThatChangeNothing) {
    struct Case {
        const char* name;
        bool ghost;
        bool nonCombatant;
        bool fighting;  // before the request
        const char* request;
        const char* answer;  // the 0x72 the player gets back ("" for none)
        bool fightingAfter;
        bool opponentKept;  // the combat list emptied only when war mode ends
        bool livingSeesIt;  // the player was placed again for the living
    } cases[] = {
        {"peace to war", false, false, false, "72 01 0A 0B 0C", "72 01 0A 0B 0C", true, true,
         false},
        {"any non-zero flag is war", false, false, false, "72 05 0A 0B 0C", "72 01 0A 0B 0C", true,
         true, false},
        {"war to war", false, false, true, "72 01 0A 0B 0C", "72 01 0A 0B 0C", true, true, false},
        {"war to peace", false, false, true, "72 00 0A 0B 0C", "72 00 0A 0B 0C", false, false,
         false},
        {"peace to peace", false, false, false, "72 00 0A 0B 0C", "72 00 0A 0B 0C", false, true,
         false},
        {"ghost to war", true, false, false, "72 01 0A 0B 0C", "72 01 0A 0B 0C", true, true, true},
        {"ghost already at war", true, false, true, "72 01 0A 0B 0C", "72 01 0A 0B 0C", true, true,
         false},
        {"non-combatant", false, true, false, "72 01 0A 0B 0C", "", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayer* p = c.ghost ? Ghost(10, 10) : NewPlayer(10, 10);
        CPlayer* living = NewPlayer(12, 12);
        if (c.nonCombatant) p->SetFlag(kPlayerNonCombatant, true);
        if (c.fighting) {
            p->SetStatusFlag(kMobileFighting);
            p->SetManifesting(c.ghost);
        }
        p->AddOpponent(77);
        const std::vector<u8> before(p->GetWarModeBytes(), p->GetWarModeBytes() + 4);
        DropAll();
        Send(p, c.request);
        EXPECT_EQ(WarPackets(Got(p)), c.answer);
        EXPECT_EQ(p->HasStatusFlag(kMobileFighting), c.fightingAfter);
        EXPECT_EQ(!p->GetCombatList().IsEmpty(), c.opponentKept);
        EXPECT_EQ(Shown(Got(living), p), c.livingSeesIt);
        const std::vector<u8> stored(p->GetWarModeBytes(), p->GetWarModeBytes() + 4);
        if (c.nonCombatant) {
            EXPECT_EQ(stored, before) << "nothing stored";
        } else {
            EXPECT_EQ(ToHex(stored), std::string(c.answer).substr(3));
        }
        Destroy(p);
        Destroy(living);
    }
}

TEST_F(WarModeTest, TheGhostsWarModeTimeoutEndsOnlyAGhostsWarMode) {
    struct Case {
        const char* name;
        bool ghost;
        bool fighting;
        bool nonCombatant;
        const char* told;
        bool fightingAfter;
    } cases[] = {
        {"ghost at war", true, true, false, "72 00 00 32 00", false},
        {"ghost at peace", true, false, false, "", false},
        {"living at war", false, true, false, "", true},
        {"non-combatant ghost at war", true, true, true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPlayer* p = c.ghost ? Ghost(10, 10) : NewPlayer(10, 10);
        if (c.fighting) p->SetWarMode(1);
        p->SetFlag(kPlayerNonCombatant, c.nonCombatant);
        DropAll();
        ScheduleCallback(0, p->GetSerial(), kGhostWarModeTimeoutAction, 0, nullptr);
        RunAllCallbacks();
        EXPECT_EQ(WarPackets(Got(p)), c.told);
        EXPECT_EQ(p->HasStatusFlag(kMobileFighting), c.fightingAfter);
        EXPECT_EQ(p->IsManifesting(), c.ghost && c.fightingAfter);
        EXPECT_EQ(p->TimedCallbacks(), nullptr);
        Destroy(p);
    }
}

TEST_F(WarModeTest, TogglingTheManifestingBitPlacesTheGhostAgainAndGoesToWar) {
    CPlayer* ghost = Ghost(10, 10);
    CPlayer* living = NewPlayer(12, 12);
    DropAll();
    ghost->ToggleManifesting();
    EXPECT_TRUE(ghost->IsManifesting());
    EXPECT_TRUE(ghost->HasStatusFlag(kMobileFighting));
    EXPECT_EQ(WarPackets(Got(ghost)), "72 01 00 32 00");
    EXPECT_TRUE(Shown(Got(living), ghost));

    // Already at war: the bit goes and stays off, so the living lose sight of it.
    ghost->ToggleManifesting();
    EXPECT_FALSE(ghost->IsManifesting());
    EXPECT_TRUE(ghost->HasStatusFlag(kMobileFighting));
    EXPECT_EQ(WarPackets(Got(ghost)), "72 01 00 32 00");
    const Received seen = Got(living);
    EXPECT_TRUE(Removed(seen, ghost));
    EXPECT_FALSE(Shown(seen, ghost));
}

TEST_F(WarModeTest, TheStatusWatchListKeepsTheLastEightNewestFirst) {
    CPlayer* p = NewPlayer(10, 10);
    EXPECT_FALSE(p->IsWatchingStatusOf(0)) << "an empty list ends at once";
    for (u32 serial = 101; serial <= 109; ++serial)
        p->WatchStatusOf(serial);
    EXPECT_EQ(p->GetLastExamined(0), 109u);
    EXPECT_EQ(p->GetLastExamined(CPlayer::kLastExaminedCount - 1), 102u);
    EXPECT_FALSE(p->IsWatchingStatusOf(101)) << "the oldest fell out";
    for (u32 serial = 102; serial <= 109; ++serial)
        EXPECT_TRUE(p->IsWatchingStatusOf(serial)) << serial;
}

TEST_F(WarModeTest, ABarkGoesToItselfAndItsOtherTextToThePlayersInSight) {
    CPlayer* ann = NewPlayer(10, 10);
    CPlayer* near = NewPlayer(14, 12);
    CPlayer* far = NewPlayer(40, 40);
    DropAll();
    ann->ActionBark(0x22, "You sigh.", "Ann sighs.");
    const auto own = Got(ann).Of(0x1C);
    ASSERT_EQ(own.size(), 1u) << "the other text is not sent to itself";
    const TextMessageFields f = ReadTextMessage(own[0]);
    EXPECT_EQ(f.text, "You sigh.");
    EXPECT_EQ(f.serial, ann->GetSerial());
    EXPECT_EQ(f.type, 0);
    EXPECT_EQ(f.hue, 0x22);
    EXPECT_EQ(f.font, 3);
    EXPECT_EQ(Got(near).Messages(), std::vector<std::string>{"Ann sighs."});
    EXPECT_TRUE(Got(far).Messages().empty());
    // Back where it stood, and among the players again: it hears the next one.
    EXPECT_EQ(ann->GetLocation(), Location(10, 10, 0));
    EXPECT_FALSE(ann->IsDetached());
    near->ActionBark(0x22, "You wave.", "Bo waves.");
    EXPECT_EQ(Got(ann).Messages(), std::vector<std::string>{"Bo waves."});
    EXPECT_TRUE(Got(near).Of(0x1D).empty() && Got(ann).Of(0x1D).empty()) << "quietly";
}

CResourceType* NewType(int number, const char* name) {
    auto* t = new CResourceType;
    t->SetNumber(number);
    t->SetInternalName(name);
    return t;
}

TEST_F(WarModeTest, AnAlignmentSideReplacesTheOtherSidesUnitsAndBits) {
    constexpr int kGood = 5, kEvil = 6;
    struct Case {
        const char* name;
        bool evilTypeExists;
        int side;
        s32 goodAfter, evilAfter;
        u8 bitsAfter;  // of alignment byte A, starting from 0x0D
    } cases[] = {
        {"good", true, 1, 1, 0, 0x09},
        {"evil", true, 2, 0, 1, 0x05},
        {"neither", true, 3, 0, 0, 0x0D},
        {"no evil type", false, 1, 0, 0, 0x0D},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetResourceTypes().Clear();
        GetResourceTypes().Add(NewType(kGood, "good"));
        if (c.evilTypeExists) GetResourceTypes().Add(NewType(kEvil, "evil"));
        CPlayer* p = NewPlayer(10, 10);
        p->AddResource(kGood, kResourceHeld, 40, 0, 40);
        p->AddResource(kEvil, kResourceHeld, 3, 0, 3);
        p->SetAlignmentFlag(0, 0x0D, true);
        p->ChooseAlignmentSide(c.side);
        EXPECT_EQ(p->GetResourceAmount(kGood), c.goodAfter);
        EXPECT_EQ(p->GetResourceAmount(kEvil), c.evilTypeExists ? c.evilAfter : 3);
        EXPECT_EQ(p->GetAlignmentFlags(0), c.bitsAfter);
        Destroy(p);
    }
}

TEST_F(WarModeTest, AMurderCountCrossingFiveChangesTheSide) {
    GetResourceTypes().Add(NewType(5, "good"));
    GetResourceTypes().Add(NewType(6, "evil"));
    CPlayer* p = NewPlayer(10, 10);
    p->SetMurderCount(5);
    EXPECT_EQ(p->GetResourceAmount(6), 1);
    EXPECT_EQ(p->GetAlignmentFlags(0), 0x04);
    p->SetMurderCount(4);
    EXPECT_EQ(p->GetResourceAmount(6), 0);
    EXPECT_EQ(p->GetResourceAmount(5), 1);
    EXPECT_EQ(p->GetAlignmentFlags(0), 0x08);
}

// Death freezes a player through the mobile flag; that one flag is what the death screen,
// the walk and the timed unfreezing all see. So with squelching and speech.
TEST_F(WarModeTest, FrozenAndSquelchedAreTheMobilesOwnFlags) {
    CPlayer* ghost = Ghost(10, 10);
    ghost->SetFlag(kPlayerLoggedIn, true);  // the death screen frees a ghost in game
    ghost->SetMobFlag(kMobFrozen, true);
    EXPECT_TRUE(ghost->IsFrozen());
    EXPECT_TRUE(ghost->ResendDeathStatus());
    EXPECT_EQ(ToHex(Got(ghost).Of(0x2C).at(0)), "2C 00");
    Send(ghost, "2C 00");  // the death screen's choice: a walking ghost
    EXPECT_FALSE(ghost->GetMobFlag(kMobFrozen));
    EXPECT_EQ(Request(ghost, 2, 1), 1);
    EXPECT_EQ(ghost->GetLocation().x, 11);

    CPlayer* ann = NewPlayer(20, 20);
    ann->SetMobFlag(kMobFrozen | kMobSquelched, true);
    const char* const kSayHi = "03 00 0B 00 00 22 00 03 68 69 00";
    Send(ann, kSayHi);
    EXPECT_EQ(Got(ann).Messages(),
              std::vector<std::string>{"You can not say anything, you have been squelched."});
    for (int action : {14, 15})
        ScheduleCallback(0, ann->GetSerial(), action, 0, nullptr);
    RunAllCallbacks();
    EXPECT_FALSE(ann->IsFrozen());
    EXPECT_FALSE(ann->IsSquelched());
    Got(ann);
    Send(ann, kSayHi);
    EXPECT_EQ(Got(ann).Messages(), std::vector<std::string>{"hi"}) << "heard by itself";
}

}  // namespace
