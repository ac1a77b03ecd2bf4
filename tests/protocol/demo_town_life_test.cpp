// The demo town alive, with both halves real: the server main loop runs the shipped demo world
// on a thread of its own, the client's link and world run on the test thread over the generated
// client install, and the process clock is the manual one the test steps. A character at the
// market sees the townsfolk loiter about their spots; the herd in the meadow, out of every
// player's range, sleeps and is never sent; a character beside it sees it keep together.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "tests/protocol/demo_world_play_fixture.h"

namespace {

constexpr const char* kName = "Ansel";
constexpr int kWolf = 501;
constexpr int kDeer = 502;

int Chebyshev(int ax, int ay, int bx, int by) {
    return std::max(std::abs(ax - bx), std::abs(ay - by));
}

class DemoTownLifeTest : public DemoWorldPlayFixture {
protected:
    void EnterTheWorld() { DemoWorldPlayFixture::EnterTheWorld(kName); }
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
    ASSERT_TRUE(OnServer([&] {
        wolvesAway = MoveServerNpcs(kWolf, 340, 520);
        TeleportServerPlayer(kName, 384, 600);
    }));
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
