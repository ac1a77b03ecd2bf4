// How fast the desktop draws the player's in-game windows over the world view, without
// presentation, in the generated gump art and fonts, in 555 and 565: the skill window (every
// group expanded, values shown), the fighting bar with its sliders, the death menu, the
// player's paperdoll with its buttons, and the player's full status window beside a health bar.
// Goal: at least 1,000 frames a second for each. Other windows of the player join this
// program as they are built.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_goal.h"
#include "bench/generated_gump_data.h"
#include "client/data/client_skill_table.h"
#include "client/data/fonts.h"
#include "client/data/pixel_format.h"
#include "client/data/skill_group_table.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/death_menu_gump.h"
#include "client/gumps/ingame/fighting_gump.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/gumps/ingame/skill_gump.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"

namespace {

// At least 1,000 frames a second: at most a millisecond a frame.
constexpr double kGoalFrameMs = 1.0;

enum Window { kSkills = 0, kFightingBar = 1, kDeathMenu = 2, kPaperdoll = 3, kStatus = 4 };
const char* const kNames[] = {"skill_window", "fighting_bar", "death_menu", "paperdoll",
                              "status"};
constexpr int kLastWindow = 4;
constexpr u32 kPlayerSerial = 0x1234;

void DrawWindow(benchmark::State& state, bool is565) {
    SetPixelFormat565(is565);
    const GeneratedGumpData data;
    ResetSkillGroups(TheSkillGroupTable());
    for (int i = 0; i < ClientSkillTable::kSlots; ++i)
        ThePlayerSkillValues().values[i] = static_cast<u16>(i * 37 % 1001);
    // The player the paperdoll and the status windows show.
    new CClientPlayer(kPlayerSerial, 400, 0);
    TheClientWorld().playerSerial = kPlayerSerial;
    std::vector<u16> screen(CGumpDesktop::kScreenPixels, 0x0421);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetScreen(screen.data(), 640 * 123 + 77);
    const Window window = static_cast<Window>(state.range(0));
    if (window == kSkills) {
        CSkillGump* w = OpenPlayerSkillWindow();
        // Miscellaneous expanded: a full list of skill lines.
        w->OnLeftDown(CSkillGump::kListLeft + 10, CSkillGump::kListTop + 10);
        w->OnLeftUp(CSkillGump::kListLeft + 10, CSkillGump::kListTop + 10);
    } else if (window == kFightingBar) {
        desktop.Open<CFightingGump>(100, 100);
    } else if (window == kDeathMenu) {
        OpenDeathMenuGump([](u8) {});
    } else if (window == kPaperdoll) {
        desktop.Open<CPaperdollGump>(370, 0, kPlayerSerial, "Varnok the Brave", 0);
    } else {
        StatusRecord record;
        record.serial = kPlayerSerial;
        record.name = "Varnok";
        record.hits = record.maxHits = 45;
        desktop.Open<CStatusGump>(kPlayerSerial, false);
        desktop.Open<CStatusGump>(kPlayerSerial, true);
        UpdateStatusWindowsOf(record, false);
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        desktop.DrawGumps({0, 0, 640, 480}, false);
        desktop.RestoreGumpSaveUnders();
        benchmark::DoNotOptimize(screen.data());
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    state.SetItemsProcessed(state.iterations());
    if (state.iterations() > 0)
        ReportAgainstGoal(state, std::string(kNames[window]) + (is565 ? "_565" : "_555") + "_frame_ms",
                          spent.count() / static_cast<double>(state.iterations()), kGoalFrameMs,
                          "ms");
    desktop.DeleteAllGumps();
    delete ThePlayer();
    TheClientWorld().playerSerial = 0;
    desktop.SetScreen(nullptr, 0);
    SetSkillRecordReader(nullptr);
    GetFontTable().Clear();
    SetPixelFormat565(false);
}

void BM_DrawInGameWindow555(benchmark::State& state) {
    DrawWindow(state, false);
}
BENCHMARK(BM_DrawInGameWindow555)->DenseRange(0, kLastWindow);

void BM_DrawInGameWindow565(benchmark::State& state) {
    DrawWindow(state, true);
}
BENCHMARK(BM_DrawInGameWindow565)->DenseRange(0, kLastWindow);

}  // namespace
