// How fast the desktop draws its gumps over the world view, without presentation: 150
// overlapping 200 x 150 windows, each saved under, drawn keyed and restored, at a ring offset
// that splits the frame into four pieces; in 555 and 565.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "client/data/pixel_format.h"
#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"

namespace {

void DrawWindows(benchmark::State& state, bool is565) {
    SetPixelFormat565(is565);
    std::vector<u16> screen(CGumpDesktop::kScreenPixels, 0x0421);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetScreen(screen.data(), 640 * 123 + 77);
    for (int i = 0; i < 150; ++i) {
        auto* g =
            TheGumpDesktop().Make<CGump>((i * 17) % 440, (i * 11) % 330, nullptr, 0, 1, 200, 150);
        g->pitch = 200;
        Bitmap16& frame = g->MakeFrame(0);
        std::fill(frame.Pixels(), frame.Pixels() + 200 * 150, static_cast<u16>(0x1000 + i));
        frame.At(0, 0) = 0;
        g->AttachTo(nullptr);
    }
    for (auto _ : state) {
        desktop.DrawGumps({0, 0, 640, 480}, false);
        desktop.RestoreGumpSaveUnders();
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations());
    desktop.DeleteAllGumps();
    desktop.SetScreen(nullptr, 0);
    SetPixelFormat565(false);
}

void BM_DrawGumps150Windows555(benchmark::State& state) {
    DrawWindows(state, false);
}
BENCHMARK(BM_DrawGumps150Windows555);

void BM_DrawGumps150Windows565(benchmark::State& state) {
    DrawWindows(state, true);
}
BENCHMARK(BM_DrawGumps150Windows565);

}  // namespace
