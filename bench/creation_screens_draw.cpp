// How fast the desktop draws the character-creation screens over the world view, without
// presentation: each of the four screens as the player sees it (with its side pictures), in
// the generated gump art and fonts, in 555 and 565.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/generated_gump_data.h"
#include "client/data/client_skill_table.h"
#include "client/data/fonts.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/frontend/char_creation_gump.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/city_choice_gump.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/screen_flow.h"

namespace {

// Screen 0 stats, 1 skills, 2 appearance, 3 city choice.
void DrawCreationScreen(benchmark::State& state, bool is565) {
    SetPixelFormat565(is565);
    const GeneratedGumpData data;
    std::vector<u16> screen(CGumpDesktop::kScreenPixels, 0x0421);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetScreen(screen.data(), 640 * 123 + 77);
    auto* skillScreen = desktop.Open<CInitSkillGump>();
    desktop.initialSkillGump = skillScreen;
    auto* stat = desktop.Open<CCharStatGump>();
    desktop.charStatGump = stat;
    ShowFrontEndScreen(FrontEndScreen::kCharCreation);
    ShowFrontEndScreen(FrontEndScreen::kCityChoice);
    CCreationScreen* const screens[4] = {stat, skillScreen,
                                         static_cast<CCreationScreen*>(desktop.charCreationGump),
                                         static_cast<CCreationScreen*>(desktop.cityChoiceGump)};
    const CCreationScreen* shown = screens[state.range(0)];
    for (CGump* g = desktop.head; g != nullptr; g = g->nextSibling)
        g->visible = g == shown || g == shown->pictures[0] || g == shown->pictures[1];
    for (auto _ : state) {
        desktop.DrawGumps({0, 0, 640, 480}, false);
        desktop.RestoreGumpSaveUnders();
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations());
    desktop.DeleteAllGumps();
    desktop.SetScreen(nullptr, 0);
    SetSkillRecordReader(nullptr);
    GetFontTable().Clear();
    SetPixelFormat565(false);
}

void BM_DrawCreationScreen555(benchmark::State& state) {
    DrawCreationScreen(state, false);
}
BENCHMARK(BM_DrawCreationScreen555)->DenseRange(0, 3);

void BM_DrawCreationScreen565(benchmark::State& state) {
    DrawCreationScreen(state, true);
}
BENCHMARK(BM_DrawCreationScreen565)->DenseRange(0, 3);

}  // namespace
