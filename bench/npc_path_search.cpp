// How many short path searches (the walkTo search) an NPC makes per second in the demo town:
// townsfolk on open ground around the square and between the houses, each sent to a goal
// drawn up to 8 tiles away, so that searches meet walls, doors and the open square alike.
// Prints the searches per second beside the goal of at least 20,000.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/random.h"
#include "server/frame/server_services.h"
#include "server/rules/npc/npc_path.h"
#include "server/world/map_queries.h"
#include "server/world/npc.h"
#include "server/world/sector_grid.h"
#include "tests/server/world/demo_island.h"

namespace {

constexpr int kWalkers = 64;
constexpr int kGoalsPerWalker = 64;
constexpr double kGoalSearchesPerSecond = 20000;

struct Search {
    CNPC* npc;
    Location goal;
};

struct TownPaths {
    std::vector<Search> searches;
    int found = 0;

    // The z of open ground at the tile, or kNoZ.
    static int GroundZ(int x, int y) {
        const int z = g_worldMap.FindGoodZ(Location(x, y, g_worldMap.GetElevation(x, y) + 2), -128,
                                           128, 16, 1, nullptr, 0);
        return z == g_worldMap.GetElevation(x, y) ? z : kNoZ;
    }

    TownPaths() {
        std::string error;
        if (LoadDemoIsland("Bench", error) != 0) {
            std::fprintf(stderr, "the demo world did not load: %s\n", error.c_str());
            std::exit(1);
        }
        const Location square = DemoIslandPlaces().townSquare;
        platform::SeedRandom(29);
        InstallServerServices();
        std::vector<CNPC*> walkers;
        while (static_cast<int>(walkers.size()) < kWalkers) {
            const int x = square.x - 24 + platform::Rand() % 49;
            const int y = square.y - 18 + platform::Rand() % 37;
            const int z = GroundZ(x, y);
            if (z == kNoZ) continue;
            auto* npc = new CNPC;
            npc->SetBodyType(400);
            npc->PlaceInWorldQuiet(Location(x, y, z));
            walkers.push_back(npc);
        }
        for (CNPC* npc : walkers) {
            const Location at = npc->GetWorldLocation();
            for (int g = 0; g < kGoalsPerWalker; ++g) {
                const Location goal(at.x - kMaxPathReach + platform::Rand() % (2 * kMaxPathReach + 1),
                                    at.y - kMaxPathReach + platform::Rand() % (2 * kMaxPathReach + 1),
                                    at.z);
                searches.push_back({npc, goal});
            }
        }
    }
};

// Searches per second: the best of five rounds over every search of the table.
double MeasureSearches(TownPaths& town, int& found) {
    for (const Search& s : town.searches)  // warm the caches once
        FindPathTo(*s.npc, s.goal);
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        found = 0;
        const auto t0 = std::chrono::steady_clock::now();
        for (int pass = 0; pass < 4; ++pass)
            for (const Search& s : town.searches)
                found += FindPathTo(*s.npc, s.goal) ? 1 : 0;
        const auto t1 = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(t1 - t0).count();
        best = std::max(best, 4.0 * static_cast<double>(town.searches.size()) / seconds);
        found /= 4;
    }
    return best;
}

}  // namespace

int main() {
    TownPaths town;
    int found = 0;
    const double rate = MeasureSearches(town, found);
    std::printf("searches %zu, paths found %d\n", town.searches.size(), found);
    std::printf("find_path_searches_per_s: %.0f (goal: at least %.0f) %s\n", rate,
                kGoalSearchesPerSecond, rate >= kGoalSearchesPerSecond ? "met" : "NOT MET");
    return 0;
}
