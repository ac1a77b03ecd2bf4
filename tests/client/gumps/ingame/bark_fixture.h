#pragma once
// Speech bubbles, the typing line and the journal under test: the client world of the world
// fixture, the gump desktop over a world picture with the fixture font in every slot and fixture
// art, and the gump bark views installed.
#include <string>
#include <vector>

#include "client/data/client_settings.h"
#include "client/gumps/ingame/bark_gump.h"
#include "client/gumps/ingame/gump_bark_views.h"
#include "client/world/bark_views.h"
#include "client/world/cell_grid.h"
#include "client/world/client_mobile.h"
#include "client/world/journal.h"
#include "client/world/system_message.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/world/world_fixture.h"

class BarkFixture : public WorldFixture {
protected:
    BarkFixture() {
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        LoadFixtureFontsEverywhere();
        screen.assign(CGumpDesktop::kScreenPixels, 0);
        for (size_t i = 0; i < screen.size(); ++i)
            screen[i] = static_cast<u16>(kWorldBase + (i * 7) % 0x7000);
        TheGumpDesktop().SetScreen(screen.data(), 0);
        ViewScrollX = ViewScrollY = 0;
        oldViews_ = SetBarkViews(&views);
        TheJournal().Reset();
        TheBarkSpeaker() = BarkSpeaker{};
    }
    ~BarkFixture() override {
        TheGumpDesktop().DeleteAllGumps();
        while (OverheadText* b = BarkChainOf(nullptr))
            DropBark(nullptr, b);
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        SetBarkViews(oldViews_);
        GetFontTable().Clear();
        TheJournal().Reset();
        SetClientSettings(ClientSettings{});
    }

    // A mobile whose screen box is the rectangle given.
    CClientMobile* MobileWithBox(u32 serial, const ScreenRect& box) {
        CClientMobile* m = Mobile(serial, 400, 10, 10);
        m->box = box;
        return m;
    }
    static CBarkGump* BubbleOf(const OverheadText* record) { return CBarkGump::Showing(record); }
    static std::vector<CBarkGump*> Chain(CClientObject* o) { return CBarkGump::ChainOf(o); }
    static int BubbleCount() {
        int n = 0;
        for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
            n += g->IsKind(GumpKind::kBark);
        return n;
    }
    // The height of one wrapped line of the fixture font.
    static int LineHeight() {
        int w = 0, h = 0, baseline = 0;
        GetFontTable().MeasureWrappedText(3, "x", 200, w, h, baseline, 0);
        return h;
    }

    // The journal's art: its scroll pieces, arrows, buttons, title, rules, lock, thumb and
    // minimised picture, each of its own colour.
    void JournalArt() {
        art.Solid(2080, 280, 60, 0x294A);
        art.Solid(2081, 280, 40, 0x2D6B);
        art.Solid(2082, 280, 40, 0x318C);
        art.Solid(2083, 280, 50, 0x294A);
        art.Solid(2084, 12, 12, 0x7C00);
        art.Solid(2085, 12, 12, 0x03E0);
        art.Solid(2090, 70, 18, 0x001F);
        art.Solid(2091, 220, 2, 0x4210);
        art.Solid(2092, 12, 14, 0x7FE0);
        art.Solid(2093, 16, 16, 0x7C1F);
        art.Solid(2094, 20, 10, 0x03FF);
        art.Solid(2095, 20, 10, 0x7FFF);
        art.Solid(2096, 60, 24, 0x2108);
        art.Solid(31, 14, 16, 0x6318);
    }

    RecordingGumpHost host;
    FixtureGumpArt art;
    GumpBarkViews views;
    std::vector<u16> screen;

private:
    BarkViews* oldViews_ = nullptr;
};
