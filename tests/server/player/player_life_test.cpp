// A player's life cycle: regeneration by pulses, the vital setters, options, the delayed and
// the immediate log-out, entering again, logged-out characters kept out of the serial hash,
// watchers told of a log-out, war mode for ghosts, the action delay's messages, the place's
// light and music, the storm and the play age.
#include "server/player/player_life.h"
#include "server/player/player_titles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "script/language/script_value.h"
#include "server/net/socket.h"
#include "server/world/autosave.h"
#include "server/world/logged_out_list.h"
#include "server/world/map_queries.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"

namespace {

// Records what the player life cycle asks of the parts not built yet.
struct RecordingLife : PlayerLifeServices {
    std::vector<std::string> calls;
    int light = 0;
    void AttachLoginScripts(CPlayer& p) override { calls.push_back(Name("scripts", p)); }
    int ApplyTemplate(CPlayer& p, int id) override {
        calls.push_back(Name("template " + std::to_string(id), p));
        return 0;
    }
    void CounselorEntered(CPlayer& p) override { calls.push_back(Name("counselor in", p)); }
    void CounselorLeft(CPlayer& p) override { calls.push_back(Name("counselor out", p)); }
    void RelinquishCurrent(CPlayer& p) override { calls.push_back(Name("relinquish", p)); }
    bool IsInOwnHouse(const CPlayer&) override { return false; }
    int GlobalLightLevel() override { return light; }
    void StrikeWithLightning(CPlayer& p) override { calls.push_back(Name("strike", p)); }
    static std::string Name(const std::string& what, const CPlayer& p) {
        return what + " " + p.GetRealName();
    }
};

class PlayerLifeTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        saved_ = SetPlayerLifeServices(&life);
    }
    void TearDown() override {
        DeleteAllSockets();
        SetPlayerLifeServices(saved_);
        WorldTest::TearDown();
    }
    CPlayer* Placed(const char* name, int x = 10, int y = 10) {
        CPlayer* p = new CPlayer;
        p->SetSerial(g_objectManager.NewSerial());
        p->SetName(name);
        p->PlaceInWorldQuiet(Location(x, y, 0));
        p->SetFlag(kPlayerLoggedIn, true);
        return p;
    }
    static void Connect(CPlayer* p) {
        ThrottledSock* s = new ThrottledSock;
        s->budget = 1 << 20;
        s->loggedIn = 1;
        LinkPlayerToSocket(p, s);
    }
    // The ids and bytes of the packets the player's connection received since the last look.
    static std::vector<std::vector<u8>> Received(CPlayer* p) {
        ThrottledSock* s = static_cast<ThrottledSock*>(p->GetConnection());
        s->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(s->wire);
        return SplitPackets(wire);
    }
    static void Pulses(int n) {
        for (int i = 0; i < n; ++i)
            RunAllCallbacks();
    }
    static bool IsLive(CPlayer* p, u32 serial) { return FindLivePlayerBySerial(serial) == p; }

    RecordingLife life;
    CPlayerRegistry registry;

private:
    PlayerLifeServices* saved_ = nullptr;
};

TEST_F(PlayerLifeTest, VitalsReturnAfterTheirIntervals) {
    struct Case {
        const char* what;
        int satiety;
        bool mana;
        int interval;  // pulses between two returns
    };
    const Case cases[] = {
        {"hits at satiety 25", 25, false, 31},
        {"hits at satiety 30 (capped to 25)", 30, false, 31},
        {"hits at satiety 0", 0, false, 81},
        {"mana", 0, true, 21},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CPlayer* p = Placed("Ann");
        p->SetMaxMana(50);
        p->SetCurHits(1);
        p->SetCurMana(1);
        p->SetSatiety(k.satiety);
        std::vector<int> returns;
        int last = 1;
        for (int pulse = 1; pulse <= 200 && returns.size() < 2; ++pulse) {
            p->Tick();
            const int now = k.mana ? p->GetCurMana() : p->GetCurHits();
            if (now > last) returns.push_back(pulse);
            last = now;
        }
        ASSERT_EQ(returns.size(), 2u);
        EXPECT_EQ(returns[0], 1) << "a fresh countdown runs out at once";
        EXPECT_EQ(returns[1] - returns[0], k.interval);
        EXPECT_LE(p->GetSatiety(), 25);
        delete p;
    }
}

TEST_F(PlayerLifeTest, AGhostRegeneratesNothingButItsDelaysRunOut) {
    CPlayer* ghost = Placed("Ghost");
    ghost->SetCurHits(10);
    ghost->SetBodyType(402);
    ghost->SetActionDelay(3);
    for (int i = 0; i < 100; ++i)
        ghost->Tick();
    EXPECT_EQ(ghost->GetCurHits(), 10);
    EXPECT_EQ(ghost->GetActionDelay(), 0);
    EXPECT_EQ(ghost->GetLifeClock(), 100);
}

TEST_F(PlayerLifeTest, VitalSettersKeepGhostHitsAndIgnoreHugeMaxima) {
    struct Case {
        const char* what;
        bool ghost;
        int (CPlayer::*set)(int);
        int (CMobile::*get)() const;
        int value;
        int stored;
    };
    // A new player has 50 hit points; mana and fatigue start at 0.
    const Case cases[] = {
        {"ghost hits fixed", true, &CPlayer::SetCurHits, &CMobile::GetCurHits, 5, 50},
        {"living hits", false, &CPlayer::SetCurHits, &CMobile::GetCurHits, 5, 5},
        {"max hits 59999", false, &CPlayer::SetMaxHits, &CMobile::GetMaxHits, 59999, 59999},
        {"max hits 60000 ignored", false, &CPlayer::SetMaxHits, &CMobile::GetMaxHits, 60000, 50},
        {"max hits negative", false, &CPlayer::SetMaxHits, &CMobile::GetMaxHits, -4, 0},
        {"max mana 60000 ignored", false, &CPlayer::SetMaxMana, &CMobile::GetMaxMana, 60000, 0},
        {"max mana 59999", false, &CPlayer::SetMaxMana, &CMobile::GetMaxMana, 59999, 59999},
        {"max fatigue has no limit", false, &CPlayer::SetMaxFatigue, &CMobile::GetMaxFatigue, 70000,
         70000},
    };
    for (const Case& k : cases) {
        CPlayer* p = Placed("Ann");
        if (k.ghost) p->SetBodyType(403);
        (p->*k.set)(k.value);
        EXPECT_EQ((p->*k.get)(), k.stored) << k.what;
        delete p;
    }
}

TEST_F(PlayerLifeTest, OptionsOutsideTheSeventyTwoBitsAreRefused) {
    CPlayer* p = Placed("Ann");
    for (int option : {0, 7, 8, 71})
        EXPECT_TRUE(p->ToggleOption(option)) << option;
    for (int option : {72, 255, -1, 1000})
        EXPECT_FALSE(p->ToggleOption(option)) << option;
    for (int option = -2; option < 300; ++option) {
        const bool on = option == 0 || option == 7 || option == 8 || option == 71;
        EXPECT_EQ(p->TestOption(option), on) << option;
    }
    EXPECT_TRUE(p->ToggleOption(7));
    EXPECT_FALSE(p->TestOption(7));
}

TEST_F(PlayerLifeTest, SaveOnlyFieldsAreBoundedPlainData) {
    CPlayer* p = Placed("Ann");
    const std::string longText(100, 'x');
    p->SetPassword(longText.c_str());
    EXPECT_EQ(std::string(p->GetPassword()),
              longText.substr(0, PlayerSaveExtras::kPasswordCapacity));
    p->SetPassword(nullptr);
    EXPECT_STREQ(p->GetPassword(), "");
    for (int slot : {-1, 0, 7, 8}) {
        p->SetSessionSlot(slot, 100 + slot);
        EXPECT_EQ(p->GetSessionSlot(slot), slot == 0 || slot == 7 ? u32(100 + slot) : 0u) << slot;
    }
    for (u32 s = 1; s <= 100; ++s)
        p->AddWatched(s);
    EXPECT_EQ(p->GetWatchList().size(), 100u) << "the lists grow as needed";
}

TEST_F(PlayerLifeTest, LogOutWaitsTwelveHundredPulsesOutsideASafePlace) {
    CPlayer* ann = Placed("Ann");
    const u32 serial = ann->GetSerial();
    triggers.scripted.insert(serial);
    ann->LogOut(1);
    EXPECT_FALSE(ann->IsLoggedIn());
    Pulses(kDelayedLogOutPulses);
    EXPECT_TRUE(IsLive(ann, serial)) << "still in the world after 1200 pulses";
    EXPECT_FALSE(ann->IsDetached());
    Pulses(1);
    EXPECT_FALSE(IsLive(ann, serial));
    EXPECT_EQ(g_loggedOutList.FindBySerial(serial), ann);
    EXPECT_EQ(triggers.TriggersFor(serial), (std::vector<int>{kTriggerLogout}));
}

// Leaving the game asks for a save of the world, whether the player leaves at once or after
// the wait; nothing is due before the player is gone.
TEST_F(PlayerLifeTest, ALogOutAsksForAWorldSave) {
    platform::ManualClock clock(5000);
    for (int wait : {0, 1}) {
        SCOPED_TRACE(wait);
        StartAutosaveClock(platform::NowMs());
        CPlayer* ann = Placed("Ann");
        const u32 serial = ann->GetSerial();
        ann->LogOut(wait);
        if (wait) {
            Pulses(kDelayedLogOutPulses);
            EXPECT_FALSE(IsWorldSaveDue(platform::NowMs())) << "still in the world";
            Pulses(1);
        }
        EXPECT_FALSE(IsLive(ann, serial));
        EXPECT_TRUE(IsWorldSaveDue(platform::NowMs()));
    }
    StartAutosaveClock(platform::NowMs());
}

TEST_F(PlayerLifeTest, EnteringAgainCancelsTheDelayedLogOut) {
    CPlayer* ann = Placed("Ann");
    const u32 serial = ann->GetSerial();
    ann->LogOut(1);
    Pulses(600);
    ann->EnterWorld(nullptr);
    Pulses(kDelayedLogOutPulses + 10);
    EXPECT_TRUE(IsLive(ann, serial));
    EXPECT_TRUE(ann->IsLoggedIn());
    EXPECT_EQ(g_loggedOutList.Size(), 0);
}

TEST_F(PlayerLifeTest, WhoLeavesAtOnce) {
    platform::ManualClock clock(1000);
    struct Case {
        const char* what;
        int wait;
        u32 campStart;  // 0: not camping
        u32 flags;
        bool atOnce;
    };
    const Case cases[] = {
        {"safe log-out", 0, 0, 0, true},
        {"log-out outside", 1, 0, 0, false},
        {"camping 16 ms", 1, 984, 0, true},
        {"camping 15 ms", 1, 985, 0, false},
        {"game master", 1, 0, kPlayerGameMaster, true},
        {"counselor", 1, 0, kPlayerCounselor, true},
        {"in edit mode", 1, 0, kPlayerEditing, true},
    };
    struct GameMasters : StaffServices {
        std::vector<std::string>* calls;
        void RemoveGameMaster(CPlayer& p) override {
            calls->push_back("gm off " + std::string(p.GetRealName()));
        }
    } staff;
    staff.calls = &life.calls;
    StaffServices* oldStaff = SetStaffServices(&staff);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CPlayer* p = Placed("Ann");
        const u32 serial = p->GetSerial();
        p->SetCampStartTime(k.campStart);
        p->SetFlag(k.flags, true);
        p->LogOut(k.wait);
        EXPECT_EQ(!IsLive(p, serial), k.atOnce);
        EXPECT_FALSE(p->IsGameMaster() || p->IsEditing()) << "staff roles end with the log-out";
        g_loggedOutList.Restore(p);
        delete p;
    }
    SetStaffServices(oldStaff);
    EXPECT_EQ(life.calls,
              (std::vector<std::string>{"gm off Ann", "relinquish Ann", "counselor out Ann"}));
}

TEST_F(PlayerLifeTest, LoggedOutCharactersLeaveTheSerialHashAndComeBack) {
    CPlayer* ann = Placed("Ann");
    CPlayer* bo = Placed("Bo");
    CItem* pack = g_objectManager.CreateContainer(kBag);
    ASSERT_TRUE(pack->EquipOn(ann, 21));
    CItem* pebble = NewItem();
    ASSERT_TRUE(pebble->AddToContainer(pack, Location(1, 1, 0)));
    const u32 serials[] = {ann->GetSerial(), pack->GetSerial(), pebble->GetSerial()};
    const u16 online = registry.CountOnline();

    ann->LogOut(0);
    EXPECT_EQ(registry.CountOnline(), online - 1);
    EXPECT_TRUE(ann->IsDetached());
    for (u32 s : serials) {
        EXPECT_EQ(g_objectManager.FindBySerial(s), nullptr) << s;
        EXPECT_NE(g_loggedOutList.FindObject(s), nullptr) << s;
    }
    EXPECT_EQ(registry.FindByNameAny("ANN"), ann);

    // A full save walks the serial hash with every logged-out character in it.
    g_loggedOutList.AttachAll();
    for (u32 s : serials)
        EXPECT_NE(g_objectManager.FindBySerial(s), nullptr) << s;
    g_loggedOutList.DetachAll();
    EXPECT_EQ(g_objectManager.FindBySerial(serials[2]), nullptr);

    ann->EnterWorld(nullptr);
    EXPECT_EQ(registry.CountOnline(), online);
    EXPECT_FALSE(ann->IsDetached());
    EXPECT_EQ(pebble->GetContainer(), pack);
    for (u32 s : serials) {
        EXPECT_NE(g_objectManager.FindBySerial(s), nullptr) << s;
        EXPECT_EQ(g_loggedOutList.FindObject(s), nullptr) << s;
    }
    EXPECT_EQ(bo->IsLoggedIn(), true);
}

TEST_F(PlayerLifeTest, WhatThePlayerHoldsGoesBackAtLogOut) {
    CItem* chest = PlacedItem(5, 5, 0, kBag);
    struct Case {
        const char* what;
        u32 home;
        bool intoChest;
    };
    const Case cases[] = {
        {"into the container it came from", chest->GetSerial(), true},
        {"to the ground when that is gone", 12345, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CPlayer* p = Placed("Ann", 20, 20);
        CItem* held = NewItem();
        ObjVars::Set(held->ScriptAttachments(), "lockedContainer", kTypeInt,
                     ScriptListValue::Int(static_cast<s32>(k.home)));
        ASSERT_TRUE(held->EquipOn(p, 0));
        p->LogOut(0);
        EXPECT_EQ(held->GetContainer(), k.intoChest ? chest : nullptr);
        if (!k.intoChest) {
            EXPECT_FALSE(held->IsDetached());
            EXPECT_EQ(held->GetLocation().x, 20);
        }
        g_loggedOutList.Restore(p);
        delete p;
    }
}

TEST_F(PlayerLifeTest, APurgeDeletesOnlyTheCharactersStillMarked) {
    CPlayer* ann = Placed("Ann");
    CPlayer* bo = Placed("Bo");
    const u32 annSerial = ann->GetSerial();
    const u32 boSerial = bo->GetSerial();
    ann->LogOut(0);
    bo->LogOut(0);
    g_loggedOutList.MarkAll();
    bo->EnterWorld(nullptr);  // entering clears the mark
    bo->LogOut(0);
    triggers.calls.clear();
    packets.log.clear();
    EXPECT_FALSE(g_loggedOutList.DeleteMarked(boSerial));
    EXPECT_TRUE(g_loggedOutList.DeleteMarked(annSerial));
    EXPECT_EQ(g_loggedOutList.FindBySerial(annSerial), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(annSerial), nullptr);
    EXPECT_EQ(FindLivePlayerBySerial(annSerial), nullptr);
    EXPECT_TRUE(triggers.calls.empty()) << "no destroyed trigger for a purged character";
    EXPECT_TRUE(packets.With("1D").empty());
    EXPECT_EQ(g_loggedOutList.FindBySerial(boSerial), bo);
}

TEST_F(PlayerLifeTest, ATriggerThatDeletesThePlayerEndsEntryAndLogOutCleanly) {
    struct Case {
        const char* what;
        int trigger;
    };
    const Case cases[] = {{"online", kTriggerOnline}, {"logout", kTriggerLogout}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CPlayer* p = Placed("Ann");
        const u32 serial = p->GetSerial();
        triggers.scripted.insert(serial);
        triggers.onTrigger = [&](CItem* object, int trigger) {
            if (trigger != k.trigger) return;
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            object->DeleteSelf();
        };
        if (k.trigger == kTriggerOnline) {
            p->EnterWorld(nullptr);
        } else {
            p->LogOut(0);
        }
        triggers.onTrigger = nullptr;
        EXPECT_EQ(FindLivePlayerBySerial(serial), nullptr);
        EXPECT_EQ(g_loggedOutList.FindBySerial(serial), nullptr);
    }
}

TEST_F(PlayerLifeTest, EntryWithoutAStandingPlaceGoesToTheLastValidGround) {
    CPlayer* ann = Placed("Ann", 12, 12);  // records (12, 12, 0) as valid ground
    ann->RemoveFromWorldQuiet();
    ann->SetLocationField(Location(30, 30, 0));
    PlacedItem(30, 30, 0, kWall);  // nowhere to stand from z -8 to 8
    ann->EnterWorld(nullptr);
    EXPECT_EQ(ann->GetLocation().x, 12);
    EXPECT_EQ(ann->GetLocation().y, 12);
    EXPECT_TRUE(ann->IsLoggedIn());
    EXPECT_EQ(triggers.TriggersFor(ann->GetSerial()), (std::vector<int>{kTriggerOnline}));
    EXPECT_EQ(life.calls, std::vector<std::string>{}) << "login scripts only on standing ground";

    CPlayer* bo = Placed("Bo", 20, 20);
    bo->EnterWorld(nullptr);
    EXPECT_EQ(bo->GetLocation().x, 20);
    EXPECT_EQ(life.calls, std::vector<std::string>{"scripts Bo"});
}

TEST_F(PlayerLifeTest, WatchersAllowedToWatchAreToldOfTheLogOut) {
    CPlayer* ann = Placed("Ann");
    CPlayer* bo = Placed("Bo");
    CPlayer* cy = Placed("Cy");
    Connect(bo);
    Connect(cy);
    bo->AddWatched(12345);
    bo->AddWatched(ann->GetSerial());  // index 1
    cy->AddWatched(ann->GetSerial());  // not allowed
    ann->AddAllowed(bo->GetSerial());
    Received(bo);
    Received(cy);
    ann->LogOut(0);
    const auto toBo = Received(bo);
    ASSERT_EQ(toBo.size(), 1u);
    EXPECT_EQ(ToHex(toBo[0]), "6A 01 00");
    EXPECT_TRUE(Received(cy).empty());
}

TEST_F(PlayerLifeTest, WarModeMakesAGhostManifest) {
    struct Case {
        const char* what;
        int body;
        bool manifestsInWar;
    };
    const Case cases[] = {{"living", 400, false}, {"ghost", 402, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CPlayer* p = Placed("Ann");
        p->SetBodyType(k.body);
        p->AddOpponent(77);
        EXPECT_EQ(p->SetWarMode(1), 1);
        EXPECT_TRUE(p->HasStatusFlag(kMobileFighting));
        EXPECT_EQ(p->HasFlag(kPlayerGhostHeard), k.manifestsInWar);
        EXPECT_FALSE(p->IsDetached()) << "placed again where it was";
        EXPECT_EQ(p->SetWarMode(0), 0);
        EXPECT_FALSE(p->HasStatusFlag(kMobileFighting));
        EXPECT_FALSE(p->HasFlag(kPlayerGhostHeard));
        EXPECT_TRUE(p->GetCombatList().IsEmpty());
        delete p;
    }
}

TEST_F(PlayerLifeTest, TheThirdWaitMessageOfOneDelayIsNotSent) {
    CPlayer* p = Placed("Ann");
    p->SetActionDelay(4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(p->IsActionDelayed());
    EXPECT_EQ(packets.With("msg").size(), 2u);
    for (int i = 0; i < 4; ++i)
        p->Tick();
    EXPECT_FALSE(p->IsActionDelayed());
}

TEST_F(PlayerLifeTest, LightAndMusicOfThePlaceAreSentOncePerChange) {
    CPlayer* p = Placed("Ann");
    Connect(p);
    SectorCell* cell = g_sectorGrid.CellAt(10, 10);
    cell->music = 5;
    life.light = 9;
    p->Tick();
    std::string ids;
    for (const auto& packet : Received(p))
        ids += ToHex({packet[0]}) + " ";
    EXPECT_EQ(ids, "4F 6D ");
    p->Tick();
    EXPECT_TRUE(Received(p).empty());
    cell->light = 3;  // the place's own light beats the world's
    p->Tick();
    const auto packets = Received(p);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(ToHex(packets[0]), "4F 03");
    cell->light = 0;
    cell->music = 0xFFFF;
}

TEST_F(PlayerLifeTest, TheStormStrikesEachPlayerAtMostOncePerEightPulses) {
    CPlayer* ann = Placed("Ann");
    Placed("Bo");
    CPlayer* god = Placed("God");
    god->SetFlag(kPlayerEditing, true);
    ann->LogOut(0);
    Placed("Cy");
    registry.StrikeRandomPlayers(1);
    EXPECT_EQ(life.calls.size(), 1u);
    registry.StrikeRandomPlayers(5);
    EXPECT_EQ(life.calls.size(), 2u) << "only Bo and Cy qualify, one of them is struck already";
    registry.StrikeRandomPlayers(5);
    EXPECT_EQ(life.calls.size(), 2u);
    Pulses(kStrikeCooldownPulses + 1);
    registry.StrikeRandomPlayers(5);
    EXPECT_EQ(life.calls.size(), 4u);
    for (const std::string& call : life.calls)
        EXPECT_TRUE(call == "strike Bo" || call == "strike Cy") << call;
}

TEST_F(PlayerLifeTest, PlayAgeGrowsForPlayersInTheWorldOnly) {
    CPlayer* ann = Placed("Ann");
    CPlayer* bo = Placed("Bo");
    bo->LogOut(0);
    registry.AddPlayAgeToAll(1);
    registry.AddPlayAgeToAll(2);
    EXPECT_EQ(ann->GetPlayAge(), 3u);
    EXPECT_EQ(bo->GetPlayAge(), 0u);
}

}  // namespace
