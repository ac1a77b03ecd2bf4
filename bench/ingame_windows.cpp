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
#include "client/gumps/ingame/gump_bark_views.h"
#include "client/gumps/ingame/journal_gump.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/gumps/ingame/skill_gump.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/journal.h"

namespace {

// At least 1,000 frames a second: at most a millisecond a frame.
constexpr double kGoalFrameMs = 1.0;

enum Window {
    kSkills = 0,
    kFightingBar = 1,
    kDeathMenu = 2,
    kPaperdoll = 3,
    kStatus = 4,
    kJournal = 5,
    kBubbles = 6
};
const char* const kNames[] = {"skill_window", "fighting_bar", "death_menu", "paperdoll",
                              "status",       "journal_100",  "bubbles_20"};
constexpr int kLastWindow = 6;
constexpr int kJournalEntries = 100;
constexpr int kBubbleCount = 20;

// Twenty mobiles across the view, each saying one line: twenty bubbles over their heads.
std::vector<CClientMobile*> TwentyTalkers() {
    std::vector<CClientMobile*> talkers;
    for (int i = 0; i < kBubbleCount; ++i) {
        auto* m = new CClientMobile(0x100 + static_cast<u32>(i), 400, 0);
        const int x = 30 + i % 5 * 120, y = 90 + i / 5 * 100;
        m->box = {x, y, x + 40, y + 60};
        m->AddBark("Well met, traveller number " + std::to_string(i) + ".", 0, 3, 0);
        talkers.push_back(m);
    }
    return talkers;
}
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
    GumpBarkViews bubbles;
    BarkViews* previousViews = SetBarkViews(&bubbles);
    std::vector<CClientMobile*> talkers;
    const Window window = static_cast<Window>(state.range(0));
    if (window == kJournal) {
        for (int i = 0; i < kJournalEntries; ++i)
            TheJournal().AddLine("Guard: entry number " + std::to_string(i) +
                                     (i % 5 == 0 ? ", long enough to wrap onto a second line" : ""),
                                 0);
        desktop.Open<CTextGump>(40, 20);
    } else if (window == kBubbles) {
        talkers = TwentyTalkers();
    } else if (window == kSkills) {
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
    for (CClientMobile* m : talkers)
        m->Destroy();
    SetBarkViews(previousViews);
    TheJournal().Reset();
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

// Lines said with the journal window open: each makes its bubble over the speaker and enters
// the journal, which the window follows. Goal: at least 20,000 a second.
void BM_BubbleIntoOpenJournal(benchmark::State& state) {
    const GeneratedGumpData data;
    std::vector<u16> screen(CGumpDesktop::kScreenPixels, 0x0421);
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.SetScreen(screen.data(), 0);
    GumpBarkViews bubbles;
    BarkViews* previousViews = SetBarkViews(&bubbles);
    desktop.Open<CTextGump>(40, 20);
    auto* talker = new CClientMobile(0x100, 400, 0);
    talker->box = {300, 200, 340, 260};
    int n = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        talker->AddBark(++n % 2 ? "Hail, friend!" : "The road north is closed.", 0, 3, 0);
        TheJournal().AddLine(std::string("Guard: ") + (n % 2 ? "Hail, friend!" : "Halt!"), 0);
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.SetItemsProcessed(state.iterations());
    if (spent.count() > 0)
        ReportAtLeastGoal(state, "bubbles_into_journal_per_s",
                          static_cast<double>(state.iterations()) / spent.count(), 20000.0,
                          "lines/s");
    desktop.DeleteAllGumps();
    talker->Destroy();
    SetBarkViews(previousViews);
    TheJournal().Reset();
    desktop.SetScreen(nullptr, 0);
    GetFontTable().Clear();
}
BENCHMARK(BM_BubbleIntoOpenJournal);

}  // namespace
