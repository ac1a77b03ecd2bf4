// How fast the world view draws the demo town from the generated install, in 555 and 565: a
// full redraw, a one-tile scrolled redraw (the picture moved 44 pixels across, or 22 across
// and 22 down, then refreshed), and the pixel routines under them (spans, the art blitter,
// textured triangles). Every figure carries `x_memcpy`: its time over the time of one memcpy
// of the 640 x 480 frame, timed in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <vector>

#include "bench/bench_goal.h"
#include "client/data/client_data_start.h"
#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/render/dirty_rects.h"
#include "client/render/land_draw.h"
#include "client/render/span_blit.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_mobile.h"
#include "client/world/client_object.h"
#include "client/world/client_world.h"
#include "client/world/world_view_frame.h"
#include "tools/content_builder/terrain.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds of one memcpy of the frame (the best of many, measured once).
double MemcpyFrameNs() {
    static const double ns = [] {
        std::vector<u16> a(kWorldViewPixels, 0x1234), b(kWorldViewPixels);
        double best = 1e18;
        for (int round = 0; round < 50; ++round) {
            const auto t0 = Clock::now();
            for (int i = 0; i < 20; ++i) {
                std::memcpy(b.data(), a.data(), a.size() * sizeof(u16));
                benchmark::DoNotOptimize(b.data());
                a[i] = b[i + 1];
            }
            const double each =
                std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / 20;
            if (each < best) best = each;
        }
        return best;
    }();
    return ns;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times the loop body and reports its ratio to the frame memcpy.
template <typename Body>
void Timed(benchmark::State& state, Body body) {
    const auto t0 = Clock::now();
    for (auto _ : state)
        body();
    const double each = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() /
                        static_cast<double>(state.iterations());
    state.counters["x_memcpy"] = each / MemcpyFrameNs();
}

// The world view of the town from the run directory's install: land, statics, a few items and
// thirty mobiles around the street in front of the first house.
class Town {
public:
    Town() {
        const std::string dir = std::string(ZQ_RUN_DIR) + "/";
        StartClientDataFrom(dir);
        SetWorldViewScreen(screen_.data());
        const Location door = BuildDemoWorld(0, 0, 1024, 1024).places.houseDoor;
        const int x = door.x + 2, y = door.y + 3, z = door.z;
        player_ = new CClientPlayer(1, 400, 0);
        TheClientWorld().playerSerial = 1;
        player_->PlaceInWorld(ClientLocation{s16(x), s16(y), s16(z)});
        TheClientMap().Recenter(x, y, z, 0);
        for (int i = 0; i < 30; ++i) {
            auto* m = new CClientMobile(0x100 + i, i % 3 == 0 ? 401 : 400, 0);
            m->direction = u8(i % 8);
            m->PlaceInWorld(ClientLocation{s16(x - 6 + i % 10), s16(y - 4 + i / 10 * 3), s16(z)});
        }
        for (int i = 0; i < 12; ++i) {
            CClientItem* item = CClientItem::Allocate(0x40000100 + i, 0x0E75 + i, 0);
            item->hue = u16(i % 3 == 0 ? 38 : 0);
            item->PlaceInWorld(ClientLocation{s16(x - 3 + i % 6), s16(y + 2 + i / 6), s16(z)});
        }
        player_->UpdateStep();
    }

    std::vector<u16> screen_ = std::vector<u16>(kWorldViewPixels, 0);

private:
    CClientPlayer* player_ = nullptr;
};

Town& TheTown() {
    static Town town;
    return town;
}

void FullRedraw(benchmark::State& state, bool is565) {
    TheTown();
    SetPixelFormat565(is565);
    Timed(state, [] {
        InvalidateWorldView();
        RefreshDirtyRects();
    });
    SetPixelFormat565(false);
}

// The picture moves by (dx, dy) and back, each move followed by a refresh.
void ScrolledRedraw(benchmark::State& state, bool is565, int dx, int dy) {
    TheTown();
    SetPixelFormat565(is565);
    InvalidateWorldView();
    RefreshDirtyRects();
    int sign = 1;
    Timed(state, [&] {
        ViewScrollX -= sign * dx;
        ViewScrollY -= sign * dy;
        ScrollWorldView(sign * dx, sign * dy);
        RefreshDirtyRects();
        sign = -sign;
    });
    SetPixelFormat565(false);
}

void BM_FullRedraw555(benchmark::State& state) {
    FullRedraw(state, false);
}
BENCHMARK(BM_FullRedraw555);
void BM_FullRedraw565(benchmark::State& state) {
    FullRedraw(state, true);
}
BENCHMARK(BM_FullRedraw565);
void BM_ScrolledRedrawAcross555(benchmark::State& state) {
    ScrolledRedraw(state, false, -44, 0);
}
BENCHMARK(BM_ScrolledRedrawAcross555);
void BM_ScrolledRedrawAcross565(benchmark::State& state) {
    ScrolledRedraw(state, true, -44, 0);
}
BENCHMARK(BM_ScrolledRedrawAcross565);
void BM_ScrolledRedrawDiagonal555(benchmark::State& state) {
    ScrolledRedraw(state, false, -22, -22);
}
BENCHMARK(BM_ScrolledRedrawDiagonal555);
void BM_ScrolledRedrawDiagonal565(benchmark::State& state) {
    ScrolledRedraw(state, true, -22, -22);
}
BENCHMARK(BM_ScrolledRedrawDiagonal565);

// A whole frame of 640-pixel rows through one span routine.
void Spans(benchmark::State& state, SpanFn span) {
    TheTown();
    std::vector<u16> src(kWorldViewPixels), dst(kWorldViewPixels, 0x1234);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<u16>((i * 2654435761u) >> 17);
    Timed(state, [&] {
        for (int y = 0; y < kWorldViewHeight; ++y)
            span(dst.data() + y * kWorldViewWidth, src.data() + y * kWorldViewWidth,
                 kWorldViewWidth, 37);
        benchmark::DoNotOptimize(dst.data());
    });
}
void BM_SpanCopy(benchmark::State& state) {
    Spans(state, SpanCopy);
}
BENCHMARK(BM_SpanCopy);
void BM_SpanHue(benchmark::State& state) {
    Spans(state, SpanHue);
}
BENCHMARK(BM_SpanHue);
void BM_SpanBlendOver(benchmark::State& state) {
    Spans(state, SpanBlendOver);
}
BENCHMARK(BM_SpanBlendOver);
void BM_SpanHueGreyBlendOverKeyed(benchmark::State& state) {
    Spans(state, SpanHueGreyBlendOverKeyed);
}
BENCHMARK(BM_SpanHueGreyBlendOverKeyed);

// 300 static images over the frame, clipped to a rectangle inside it.
void BM_ArtBlitter(benchmark::State& state) {
    TheTown();
    s32 length = 0;
    const u8* record = GetArtRecord(0x4000 + 0x0E75, &length);
    std::vector<u16> words(record != nullptr ? static_cast<size_t>(length) / 2 : 0);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<u16>(record[2 * i] | record[2 * i + 1] << 8);
    std::vector<u16> frame(kWorldViewPixels, 0x1234);
    const BlitTarget target{frame.data(), kWorldViewWidth, kWorldViewHeight};
    const ClipRect clip{10, 10, 630, 470};
    Timed(state, [&] {
        for (int i = 0; i < 300; ++i)
            DrawArtClipped(target, SpanCopy, ArtRecord{words.data(), words.size()}, clip,
                           (i * 37) % 660 - 20, (i * 53) % 500 - 20);
        benchmark::DoNotOptimize(frame.data());
    });
}
BENCHMARK(BM_ArtBlitter);

// A frame's worth of sloped cells: 15 x 22 diamonds of two textured triangles each.
void BM_TexturedTriangles(benchmark::State& state) {
    TheTown();
    std::vector<u16> texels(64 * 64);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<u16>(i * 40503u);
    const LandTexture texture{texels.data(), texels.size(), 0};
    std::vector<u16> frame(kWorldViewPixels, 0);
    const BlitTarget target{frame.data(), kWorldViewWidth, kWorldViewHeight};
    const ClipRect clip{0, 0, kWorldViewWidth, kWorldViewHeight};
    Timed(state, [&] {
        for (int row = 0; row < 22; ++row)
            for (int col = 0; col < 15; ++col) {
                const int a = col * 44 + (row & 1) * 22 - 22, b = row * 22;
                const TriVertex v0{a + 22, b - 1 - 4, 1}, v1{a + 46, b + 22, 2},
                    v2{a + 23, b + 45 + 4, 3}, v3{a, b + 22 - 8, 4};
                FillTexturedTriangle(target, texture, v0, v1, v2, 3, 7, 11, clip);
                FillTexturedTriangle(target, texture, v2, v3, v0, 11, 5, 3, clip);
            }
        benchmark::DoNotOptimize(frame.data());
    });
}
BENCHMARK(BM_TexturedTriangles);

// The steepest ground of the island, every cell a pair of textured triangles: a full redraw,
// judged against half of the frame's one-millisecond drawing budget, in 555 and in 565 (where
// the drawn pieces are converted afterwards).
// Runs last: recentring there sweeps the town's objects away.
void FullRedrawSteepLand(benchmark::State& state, bool is565) {
    TheTown();
    SetPixelFormat565(is565);
    TheClientMap().Recenter(558, 930, 5, 0);
    ViewScrollX = (558 + 6144 - 930) * 22 - 319;
    ViewScrollY = (558 + 930) * 22 - 5 * 4 - 217;
    // Judged by the drawing thread's processor time, which a busy machine does not inflate
    // the way it does the time on the wall.
    const double cpu0 = ThreadCpuSeconds();
    Timed(state, [] {
        InvalidateWorldView();
        RefreshDirtyRects();
    });
    const double ms = (ThreadCpuSeconds() - cpu0) * 1e3 / static_cast<double>(state.iterations());
    ReportAgainstGoal(state, is565 ? "steep_full_redraw_565_cpu_ms" : "steep_full_redraw_cpu_ms",
                      ms, 0.5, "ms");
    SetPixelFormat565(false);
}
void BM_FullRedrawSteepLand555(benchmark::State& state) {
    FullRedrawSteepLand(state, false);
}
BENCHMARK(BM_FullRedrawSteepLand555);
void BM_FullRedrawSteepLand565(benchmark::State& state) {
    FullRedrawSteepLand(state, true);
}
BENCHMARK(BM_FullRedrawSteepLand565);

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<u16> a(kWorldViewPixels, 0x1234), b(kWorldViewPixels);
    Timed(state, [&] {
        std::memcpy(b.data(), a.data(), a.size() * sizeof(u16));
        benchmark::DoNotOptimize(b.data());
    });
}
BENCHMARK(BM_MemcpyFrame);

}  // namespace
