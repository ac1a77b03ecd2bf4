// The cost of the player's walk and the other mobiles' steps per client frame: a walk in all
// eight directions, walking and running, through the walk queue's step animation and the
// mobiles' tick, and a 500-expansion path search. Each figure is also given as a ratio to a
// memcpy of one 640 x 480 16-bit frame timed in the same run. Every frame also redraws the
// dirty rectangles the step left (the strips the ring scroll exposed, the moved figures) into
// a screen buffer, and the exposed pixels per frame are counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "client/net/client_link.h"
#include "client/render/dirty_rects.h"
#include "client/world/world_view_frame.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"
#include "client/world/path_search.h"
#include "client/world/walk_queue.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds of one memcpy of a whole frame, the mean of 200.
double FrameCopyNs() {
    std::vector<u16> from(640 * 480, 0x1234), to(640 * 480);
    const auto start = Clock::now();
    for (int i = 0; i < 200; ++i) {
        from[size_t(i)] = u16(i);
        std::memcpy(to.data(), from.data(), from.size() * sizeof(u16));
        benchmark::DoNotOptimize(to.data());
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / 200;
}

// The renderer's dirty rectangles and ring scroll, counting the pixels each scroll exposes.
class ExposedPixels : public WorldHooks {
public:
    void InvalidateRect(const ScreenRect& r) override { AddDirtyRect(r); }
    void InvalidateWorldView() override {
        exposed += 640 * 480;
        ::InvalidateWorldView();
    }
    void ScrollWorldView(int dx, int dy) override {
        exposed += std::abs(dx) * 480 + std::abs(dy) * 640 - std::abs(dx * dy);
        ::ScrollWorldView(dx, dy);
    }
    bool FigureBox(const CClientContainer&, ScreenRect&) override { return false; }
    void PlaySound(int, bool, int, int, int) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void BarkAdded(u32, const std::string&) override {}
    void MobileGone(u32) override {}
    int PlayerStepFrames() override { return TheWalkQueue().stepFrames; }
    long long exposed = 0;
};

// A flat world of 41 x 41 cells around (100, 100), the player in its middle, twelve mobiles
// walking to and fro, and an open link for the walk queue.
class WalkWorld {
public:
    // `wall`: a gap in the land across the way (x 110, y 82-117) that a path must go round.
    WalkWorld(bool run, bool wall) {
        old_ = SetWorldHooks(&hooks);
        ResetDirtyRects();
        SetWorldViewScreen(screen.data());
        ClientToServerQueue = &toServer;
        ServerToClientQueue = &fromServer;
        ClientServerAddress.store(0x7F000001);
        link.OpenLocalConnection();
        TheWalkQueue().Clear();
        TheWalkQueue().link = &link;
        SetRunByPointer([run] { return run; });
        CClientMap& map = TheClientMap();
        map.playerOutOfWorld = true;
        map.centreX = map.centreY = 100;
        player = new CClientPlayer(1, 400, 0);
        TheClientWorld().playerSerial = 1;
        player->direction = 0;
        player->PlaceInWorld(ClientLocation{100, 100, 0});
        for (int y = 80; y <= 120; ++y) {
            for (int x = 80; x <= 120; ++x) {
                if (wall && x == 110 && y >= 82 && y <= 117) continue;
                LandTile::Allocate(3, ClientLocation{s16(x), s16(y), 0})->PlaceInCell();
            }
        }
        for (u32 i = 0; i < 12; ++i) {
            auto* m = new CClientMobile(0x100 + i, 400, 0);
            m->PlaceInWorld(ClientLocation{s16(92 + i), 95, 0});
            mobiles.push_back(m);
        }
    }
    ~WalkWorld() {
        SetRunByPointer(nullptr);
        TheWalkQueue().link = nullptr;
        TheWalkQueue().Clear();
        TheClientWorld().Clear();
        SweepAllCells();
        delete ThePlayer();
        SweepAllCells();
        InitCellGrid();
        TheClientMap() = CClientMap();
        ClientToServerQueue = nullptr;
        ServerToClientQueue = nullptr;
        SetWorldViewScreen(nullptr);
        ResetDirtyRects();
        SetWorldHooks(old_);
    }
    // Keeps the other mobiles stepping: one queued step each when they stand still.
    void FeedMobiles(int turn) {
        for (CClientMobile* m : mobiles) {
            if (m->queuedSteps || m->stepProgress) continue;
            const int dy = (turn & 1) ? 1 : -1;
            m->steps[0] = QueuedStep{ClientLocation{m->loc.x, s16(m->loc.y + dy), 0}, 400,
                                     u8(dy > 0 ? 4 : 0), 0};
            m->queuedSteps = 1;
        }
    }

    ExposedPixels hooks;
    std::vector<u16> screen = std::vector<u16>(640 * 480);
    ChunkQueue toServer, fromServer;
    ClientLink link;
    CClientPlayer* player = nullptr;
    std::vector<CClientMobile*> mobiles;

private:
    WorldHooks* old_ = nullptr;
};

void WalkEightDirections(benchmark::State& state, bool run) {
    WalkWorld world(run, false);
    const double copyNs = FrameCopyNs();
    long long frames = 0, tiles = 0;
    double ns = 0;
    int turn = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        // Out and back in each direction: the server's own steps, shown frame by frame.
        for (int d = 0; d < 8; ++d) {
            for (int dir : {d, d ^ 4}) {
                world.player->direction = u8(dir);  // facing it: the step is a move
                TheWalkQueue().ServerStep(dir);
                world.FeedMobiles(++turn);
                while (TheWalkQueue().count > 0) {
                    TheWalkQueue().StepTick();
                    MobilesTick();
                    RefreshDirtyRects();
                    ++frames;
                }
                ++tiles;
            }
        }
        ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    }
    const double perFrame = frames ? ns / double(frames) : 0;
    state.counters["ns_per_frame"] = perFrame;
    state.counters["ns_per_tile"] = tiles ? ns / double(tiles) : 0;
    state.counters["frame_vs_memcpy"] = copyNs > 0 ? perFrame / copyNs : 0;
    state.counters["exposed_px_per_frame"] = frames ? double(world.hooks.exposed) / frames : 0;
    state.counters["frames_per_tile"] = tiles ? double(frames) / double(tiles) : 0;
}

void BM_WalkEightDirectionsWalking(benchmark::State& state) {
    WalkEightDirections(state, false);
}
BENCHMARK(BM_WalkEightDirectionsWalking);

void BM_WalkEightDirectionsRunning(benchmark::State& state) {
    WalkEightDirections(state, true);
}
BENCHMARK(BM_WalkEightDirectionsRunning);

void BM_FindPath500(benchmark::State& state) {
    WalkWorld world(false, true);
    const double copyNs = FrameCopyNs();
    double ns = 0;
    long long searches = 0, found = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        PathNode* goal = TheClientPath().FindPath(100, 100, 0, 115, 100, 0, 500, 0);
        found += goal != nullptr;
        TheClientPath().Clear();
        ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        ++searches;
    }
    const double per = searches ? ns / double(searches) : 0;
    state.counters["ns_per_search"] = per;
    state.counters["search_vs_memcpy"] = copyNs > 0 ? per / copyNs : 0;
    state.counters["found"] = searches ? double(found) / double(searches) : 0;
    state.counters["iterations"] = TheClientPath().iterations;
}
BENCHMARK(BM_FindPath500);

}  // namespace
