// The demo town alive, with both halves real: the server main loop runs the shipped demo world
// on a thread of its own, the client's link and world run on the test thread over the generated
// client install, and the process clock is the manual one the test steps. A character at the
// market sees the townsfolk loiter about their spots; the herd in the meadow, out of every
// player's range, sleeps and is never sent; a character beside it sees it keep together.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "client/app/client_link_services.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/data/tile_data.h"
#include "client/net/client_link.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tests/protocol/server_npc_watch.h"
#include "tests/protocol/server_thread.h"
#include "tests/protocol/tester_creation.h"
#include "tests/protocol/world_entry_hooks.h"

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(20);
constexpr const char* kName = "Ansel";
constexpr int kWolf = 501;
constexpr int kDeer = 502;

int Chebyshev(int ax, int ay, int bx, int by) {
    return std::max(std::abs(ax - bx), std::abs(ay - by));
}

class DemoTownLifeTest : public InstalledWorldFixture {
protected:
    void SetUp() override {
        InstalledWorldFixture::SetUp();
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        link.SetFrontEnd(&driver);
        new CClientPlayer;
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        InstalledWorldFixture::TearDown();
    }

    // A tenth of a second of the client's life: the clock moves on, the link is polled.
    void Frame() {
        Clock().Advance(100);
        link.Poll();
    }
    // Frames until `done` holds, within a bound on the wall clock.
    bool WaitFor(const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
        for (;;) {
            Frame();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::yield();
        }
    }
    // World pulses until `done` holds, at most `pulses` of them: the clock moves on by a
    // pulse and the server's tick is waited for, so the world keeps pace with the clock.
    bool PulsesUntil(const std::function<bool()>& done, int pulses) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit * 3;
        for (int i = 0; i < pulses; ++i) {
            Clock().Advance(250);
            const bool ticked = server_.RunOnServer([] {}, [&] {
                Clock().Advance(10);
                link.Poll();
            });
            if (!ticked) return false;
            link.Poll();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
        }
        return false;
    }
    std::vector<ServerNpc> Npcs() {
        std::vector<ServerNpc> npcs;
        EXPECT_TRUE(server_.RunOnServer([&] { npcs = ServerNpcs(); }, [&] { Frame(); }));
        return npcs;
    }
    void EnterTheWorld() {
        CreateCharacterRequest c = TesterCreation(kName);
        c.slot = 0;
        driver.ScriptCreate(c);
        driver.StartAccountLogin(kName, "pw");
        ASSERT_TRUE(WaitFor([&] { return hooks.inWorld && hooks.inGame; }))
            << ::testing::PrintToString(hooks.calls);
    }
    // The client's place of an object, or none.
    static bool ClientPlace(unsigned serial, int& x, int& y) {
        const CClientObject* o = TheClientWorld().FindBySerial(serial);
        if (!o) return false;
        x = o->loc.x;
        y = o->loc.y;
        return true;
    }

    WorldEntryHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};
    ServerThread server_;
};

TEST_F(DemoTownLifeTest, TheMarketLoitersTheMeadowSleepsAndTheHerdKeepsTogether) {
    ASSERT_NO_FATAL_FAILURE(EnterTheWorld());
    const std::vector<ServerNpc> npcs = Npcs();
    std::map<unsigned, ServerNpc> loiterers;  // those the market's player sees
    std::vector<unsigned> herd;
    for (const ServerNpc& n : npcs) {
        if (n.loiters && Chebyshev(n.spotX, n.spotY, 390, 575) <= 12) loiterers[n.serial] = n;
        if (n.templateNumber == kDeer) herd.push_back(n.serial);
    }
    ASSERT_GE(loiterers.size(), 3u);
    ASSERT_EQ(herd.size(), 4u);

    // The townsfolk move in the client's world (their 0x77 updates), never farther than 7
    // tiles from their spots.
    std::set<unsigned> moved;
    std::map<unsigned, std::pair<int, int>> first;
    const auto watch = [&] {
        for (const auto& [serial, n] : loiterers) {
            int x = 0, y = 0;
            if (!ClientPlace(serial, x, y)) continue;
            EXPECT_LE(Chebyshev(x, y, n.spotX, n.spotY), 7) << serial;
            auto [it, fresh] = first.try_emplace(serial, x, y);
            if (!fresh && it->second != std::make_pair(x, y)) moved.insert(serial);
        }
        return moved.size() >= 3;
    };
    EXPECT_TRUE(PulsesUntil(watch, 2400)) << moved.size() << " of " << loiterers.size();

    // Meanwhile the meadow, more than 18 tiles from the market, sleeps and was never sent.
    for (const ServerNpc& n : Npcs()) {
        if (n.templateNumber < 500) continue;
        EXPECT_TRUE(n.dormant) << n.serial;
        int x = 0, y = 0;
        EXPECT_FALSE(ClientPlace(n.serial, x, y)) << n.serial << " reached the client";
    }

    // Beside the herd: the deer wake, are sent, and keep within a few tiles of their leader.
    // The wolves that hunt them are sent far off first: this leg watches the herd, and a deer
    // a wolf killed would leave it.
    int wolvesAway = 0;
    ASSERT_TRUE(server_.RunOnServer(
        [&] {
            wolvesAway = MoveServerNpcs(kWolf, 340, 520);
            TeleportServerPlayer(kName, 384, 600);
        },
        [&] { Frame(); }));
    ASSERT_EQ(wolvesAway, 2);
    const auto allSent = [&] {
        int x = 0, y = 0;
        return std::all_of(herd.begin(), herd.end(),
                           [&](unsigned s) { return ClientPlace(s, x, y); });
    };
    ASSERT_TRUE(PulsesUntil(allSent, 120));
    PulsesUntil([] { return false; }, 1000);
    std::map<unsigned, ServerNpc> now;
    for (const ServerNpc& n : Npcs())
        now[n.serial] = n;
    const ServerNpc& leader = now[herd[0]];
    int grazed = 0;  // deer that left the place they were put
    for (unsigned s : herd) {
        const auto placed = std::find_if(npcs.begin(), npcs.end(),
                                         [&](const ServerNpc& n) { return n.serial == s; });
        grazed += placed->x != now[s].x || placed->y != now[s].y;
    }
    EXPECT_GT(grazed, 0) << "the herd never moved";
    for (size_t i = 1; i < herd.size(); ++i) {
        const ServerNpc& deer = now[herd[i]];
        EXPECT_EQ(deer.leader, leader.serial);
        EXPECT_LE(Chebyshev(deer.x, deer.y, leader.x, leader.y), 8)
            << deer.serial << " strayed from the herd";
    }
}

}  // namespace
