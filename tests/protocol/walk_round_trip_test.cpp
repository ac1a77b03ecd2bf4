// The player's walk with both halves real: the server main loop runs the demo world on a
// thread of its own, the client's link, world, map and walk queue run on the test thread over
// the generated client install, and the process clock is the manual one the test steps as the
// client's frame tick would. After the walk settles the server is stopped and its player's
// place compared with the client's map centre.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/link_report.h"
#include "client/net/speech_line.h"
#include "client/world/journal.h"
#include "client/world/path_search.h"
#include "client/world/walk_queue.h"
#include "core/move_trace.h"
#include "core/process_link.h"
#include "e2e/move_trace_lines.h"
#include "platform/keys.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tests/protocol/server_player_place.h"
#include "tests/protocol/server_thread.h"
#include "tests/protocol/tester_creation.h"
#include "tests/protocol/world_entry_hooks.h"

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(10);

// The walk keys reach the walk queue through the speech line, as the running client's do; Ctrl
// is held when the test says so.
class WalkKeysHost : public SpeechLineHost {
public:
    bool CharacterPlaying() override { return true; }
    bool CtrlHeld() override { return ctrl; }
    bool ctrl = false;
};

class WalkRoundTripTest : public InstalledWorldFixture {
protected:
    void SetUp() override {
        InstalledWorldFixture::SetUp();
        tracePath_ = ::testing::TempDir() + "zq_walk_trace_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::remove(tracePath_.c_str());
        move_trace::SetPath(tracePath_);
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        link.SetFrontEnd(&driver);
        TheWalkQueue().Clear();
        TheWalkQueue().link = &link;
        TheWalkState() = WalkState{};
        new CClientPlayer;
        oldHost_ = SetSpeechLineHost(&keys);
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        move_trace::SetPath("");
        std::remove(tracePath_.c_str());
        TheWalkQueue().link = nullptr;
        TheWalkQueue().Clear();
        SetSpeechLineHost(oldHost_);
        InstalledWorldFixture::TearDown();
    }

    // One client frame: the clock moves on, the link is polled, the walk is shown.
    void Frame() {
        Clock().Advance(100);
        link.Poll();
        TheWalkQueue().StepTick();
        MobilesTick();
    }
    bool WaitFor(const std::function<bool()>& done, bool frames = true) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
        for (;;) {
            if (frames) Frame();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::yield();
        }
    }
    // Every request answered and every step shown.
    bool Settled() {
        const CWalkQueue& q = TheWalkQueue();
        return q.count == 0 && TheWalkState().pendingRequests == 0;
    }

    void EnterTheWorld(const std::string& name) {
        name_ = name;
        CreateCharacterRequest c = TesterCreation(name);
        c.slot = 0;
        driver.ScriptCreate(c);
        driver.StartAccountLogin(name, "pw");
        ASSERT_TRUE(WaitFor([&] { return hooks.inWorld && hooks.inGame; }))
            << ::testing::PrintToString(hooks.calls);
        ASSERT_NE(ThePlayer(), nullptr);
    }

    // The server's place of the player, read on the server's thread between two ticks.
    struct Place {
        int x = -1, y = -1, z = -1;
    };
    Place ServerPlace() {
        Place at;
        bool found = false;
        EXPECT_TRUE(server_.RunOnServer(
            [&] { found = ServerPlayerPlace(name_.c_str(), at.x, at.y, at.z); }, [&] { Frame(); }));
        EXPECT_TRUE(found);
        return at;
    }

    // A key among `keys` whose step the client's terrain allows straight on (no deflection).
    u32 OpenKey() {
        static constexpr u32 kKeys[] = {platform::kVkRight, platform::kVkDown, platform::kVkLeft,
                                        platform::kVkUp,    platform::kVkNext, platform::kVkEnd,
                                        platform::kVkHome,  platform::kVkPrior};
        static constexpr int kIndex[] = {2, 4, 6, 0, 3, 5, 7, 1};
        for (size_t i = 0; i < 8; ++i) {
            int d = (kIndex[i] - 1) & 7, z = 0;
            const int wanted = d;
            if (TheWalkQueue().CheckWalk(d, z) && d == wanted) {
                const CClientMap& m = TheClientMap();
                int out = 0;
                if (CanStandAt(m.centreX + kWalkDx[d], m.centreY + kWalkDy[d], m.centreZ, d, out))
                    return kKeys[i];
            }
        }
        return 0;
    }

    std::string name_;
    std::string tracePath_;
    WalkKeysHost keys;
    SpeechLineHost* oldHost_ = nullptr;
    LinkReportCapture reports;
    WorldEntryHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};

private:
    ServerThread server_;
};

TEST_F(WalkRoundTripTest, AKeyboardRouteEndsWhereTheServerHasThePlayer) {
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld("Walker"));
    const int startX = TheClientMap().centreX, startY = TheClientMap().centreY;
    int moved = 0;
    for (int leg = 0; leg < 8; ++leg) {
        const u32 key = OpenKey();
        ASSERT_NE(key, 0u) << "no open step at " << TheClientMap().centreX << ","
                           << TheClientMap().centreY;
        // Two steps per leg: walking, then running with Ctrl.
        for (bool run : {false, true}) {
            keys.ctrl = run;
            CSpeechLine speechLine{&link};
            for (int i = 0; i < 16 && !speechLine.OnKeyDown(key, 0); ++i)
                Frame();
            ASSERT_TRUE(WaitFor([&] { return Settled(); }))
                << "leg " << leg << " count " << TheWalkQueue().count;
            ++moved;
        }
        ASSERT_EQ(TheWalkQueue().resyncPending, 0);
    }
    EXPECT_GT(moved, 0);
    const int endX = TheClientMap().centreX, endY = TheClientMap().centreY;
    EXPECT_TRUE(endX != startX || endY != startY);
    // Every request is in the trace with the server's answer and the client's
    // acknowledgement at the server's place; the running ones carry the run bit.
    const auto trace = e2e::ReadMoveTrace(tracePath_);
    int requests = 0, runs = 0;
    for (size_t i = 0; i < trace.size(); ++i) {
        if (trace[i].side != "client" || trace[i].event != "request") continue;
        ++requests;
        runs += (trace[i].direction & 0x80) != 0;
        const e2e::MoveTraceLine *accept = nullptr, *ack = nullptr;
        for (size_t k = i + 1; k < trace.size(); ++k) {
            if (trace[k].sequence != trace[i].sequence) continue;
            if (!accept && trace[k].side == "server" && trace[k].event == "accept")
                accept = &trace[k];
            if (!ack && trace[k].side == "client" && trace[k].event == "ack") ack = &trace[k];
        }
        ASSERT_TRUE(accept && ack) << e2e::MoveTraceText(trace);
        EXPECT_TRUE(ack->SamePlace(*accept)) << e2e::MoveTraceText(trace);
    }
    EXPECT_EQ(requests, moved) << e2e::MoveTraceText(trace);
    EXPECT_EQ(runs, moved / 2);
    const e2e::MoveTraceLine* last = e2e::LastMoveTraceLine(trace, "client", "ack");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->x, endX);
    EXPECT_EQ(last->y, endY);
    EXPECT_EQ(ThePlayer()->loc.x, endX);
    EXPECT_EQ(ThePlayer()->loc.y, endY);
    const Place server = ServerPlace();
    EXPECT_EQ(server.x, endX);
    EXPECT_EQ(server.y, endY);
    EXPECT_EQ(server.z, TheClientMap().centreZ);
}

TEST_F(WalkRoundTripTest, AWallOnlyTheServerHasPutsTheClientBack) {
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld("Waller"));
    // The nearest wall of the server's statics within 6 cells that has an open cell beside
    // it the client can reach.
    const CClientMap& map = TheClientMap();
    int wallX = 0, wallY = 0, fromX = 0, fromY = 0, dir = -1;
    for (int r = 1; r <= 6 && dir < 0; ++r) {
        for (int y = map.centreY - r; y <= map.centreY + r && dir < 0; ++y) {
            for (int x = map.centreX - r; x <= map.centreX + r && dir < 0; ++x) {
                bool wall = false;
                for (CDisplayObject* o = CellHead(x, y); o; o = o->cellNext) {
                    wall = wall || (o->IsWorldObject() && !o->IsMobile() && o->loc.x == x &&
                                    o->loc.y == y && (o->GetTileFlags() & kClientTileImpassable));
                }
                if (!wall) continue;
                for (int d = 0; d < 8 && dir < 0; d += 2) {
                    const int ax = x - kWalkDx[d], ay = y - kWalkDy[d];
                    if (TheClientPath().FindPath(map.centreX, map.centreY, map.centreZ, ax, ay,
                                                 map.centreZ, 500, 0)) {
                        wallX = x, wallY = y, fromX = ax, fromY = ay, dir = d;
                    }
                }
            }
        }
    }
    ASSERT_GE(dir, 0) << "no wall near the start";
    // Walk to the cell beside it along the path.
    TheClientPath().Clear();
    PathNode* goal = TheClientPath().FindPath(map.centreX, map.centreY, map.centreZ, fromX, fromY,
                                              map.centreZ, 500, 0);
    ASSERT_NE(goal, nullptr);
    for (const PathNode* n = TheClientPath().LinkForward(goal); n && n->nextOnPath;
         n = n->nextOnPath) {
        int d = -1;
        for (int i = 0; i < 8; ++i) {
            if (kWalkDx[i] == n->nextOnPath->x - n->x && kWalkDy[i] == n->nextOnPath->y - n->y)
                d = i;
        }
        ASSERT_GE(d, 0);
        for (int turn = 0; turn < 2 && (ThePlayer()->direction & 7) != d; ++turn) {
            TheWalkQueue().RequestWalk(d + 1, 0);
            ASSERT_TRUE(WaitFor([&] { return Settled(); }));
        }
        TheWalkQueue().RequestWalk(d + 1, 0);
        ASSERT_TRUE(WaitFor([&] { return Settled(); }));
    }
    ASSERT_EQ(map.centreX, fromX);
    ASSERT_EQ(map.centreY, fromY);
    // The client's copy loses the wall; its step into it goes out and the server refuses.
    for (CDisplayObject* o = CellHead(wallX, wallY); o;) {
        CDisplayObject* next = o->cellNext;
        if (o->IsWorldObject() && !o->IsMobile() && o->loc.x == wallX && o->loc.y == wallY)
            o->Destroy();
        o = next;
    }
    for (int turn = 0; turn < 2 && (ThePlayer()->direction & 7) != dir; ++turn) {
        TheWalkQueue().RequestWalk(dir + 1, 0);
        ASSERT_TRUE(WaitFor([&] { return Settled(); }));
    }
    TheWalkQueue().RequestWalk(dir + 1, 0);
    ASSERT_EQ(TheWalkQueue().count, 1);
    ASSERT_TRUE(WaitFor([&] { return Settled() && TheWalkQueue().stepFrames == 0; }));
    // The trace names the refused step on both sides, at the place the client was put back.
    const auto trace = e2e::ReadMoveTrace(tracePath_);
    const e2e::MoveTraceLine* serverLine = e2e::LastMoveTraceLine(trace, "server", "accept refuse");
    const e2e::MoveTraceLine* clientLine =
        e2e::LastMoveTraceLine(trace, "client", "ack refuse reset");
    ASSERT_TRUE(serverLine && clientLine) << e2e::MoveTraceText(trace);
    EXPECT_EQ(serverLine->event, "refuse");
    EXPECT_EQ(clientLine->event, "refuse");
    EXPECT_EQ(clientLine->sequence, serverLine->sequence);
    EXPECT_TRUE(clientLine->SamePlace(*serverLine)) << e2e::MoveTraceText(trace);
    EXPECT_EQ(clientLine->x, fromX);
    EXPECT_EQ(clientLine->y, fromY);
    EXPECT_EQ(map.centreX, fromX);
    EXPECT_EQ(map.centreY, fromY);
    EXPECT_EQ(ThePlayer()->loc.x, fromX);
    EXPECT_EQ(ThePlayer()->loc.y, fromY);
    const Place server = ServerPlace();
    EXPECT_EQ(server.x, fromX);
    EXPECT_EQ(server.y, fromY);
}

// The same entry, then the player talks: "hello" and Enter on the speech line go to the server
// as speech, and the server's text coming back is shown over the player (a bubble request of
// the world) and enters the journal and its log file under the player's name.
TEST_F(WalkRoundTripTest, HelloComesBackAsABubbleAndAJournalLine) {
    const std::string logPath = ::testing::TempDir() + "zq_speech_journal_log.txt";
    std::remove(logPath.c_str());
    const ClientSettings before = TheClientSettings();
    ClientSettings settings = before;
    settings.options.journalSaveFile = logPath;
    settings.options.journalSaveUnicode = 0;
    SetClientSettings(settings);
    TheJournal().Reset();
    // The speech line takes only characters its font has.
    ASSERT_TRUE(GetFontTable().Load(env_->InstallDir() + "fonts.mul"));
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld("Talker"));
    CSpeechLine speechLine{&link};
    for (char c : std::string("hello"))
        speechLine.OnChar(u8(c));
    ASSERT_EQ(speechLine.Text(), "hello");
    WorldFixture::hooks.calls.clear();
    speechLine.OnChar(13);
    EXPECT_EQ(speechLine.Text(), "");
    const auto heard = [] {
        for (const JournalEntry& e : TheJournal().Entries())
            if (e.text == "Talker: hello") return true;
        return false;
    };
    ASSERT_TRUE(WaitFor(heard)) << ::testing::PrintToString(WorldFixture::hooks.calls);
    bool bubble = false;
    for (const std::string& call : WorldFixture::hooks.calls)
        bubble = bubble || (call.rfind("BarkAdded ", 0) == 0 && call.size() > 6 &&
                            call.compare(call.size() - 6, 6, " hello") == 0);
    EXPECT_TRUE(bubble) << ::testing::PrintToString(WorldFixture::hooks.calls);
    TheJournal().CloseLog();
    std::ifstream in(logPath, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(log.find("Talker: hello\n"), std::string::npos) << log;
    TheJournal().Reset();
    SetClientSettings(before);
    GetFontTable().Clear();
    std::remove(logPath.c_str());
}

}  // namespace
