// The gump tree: linking and raising order, hit tests through pages and minimised tags, moving
// with the screen clamps, the minimised-slot registry, and deletion during the desktop's walks.
#include "client/gumps/framework/gump.h"

#include <gtest/gtest.h>

#include <functional>

#include "client/gumps/framework/button_gump.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class GumpTreeTest : public GumpDesktopTest {};

std::vector<CGump*> TopLevel() {
    std::vector<CGump*> out;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        out.push_back(g);
    return out;
}

TEST_F(GumpTreeTest, NewGumpsGoInFrontAndRaisingMovesOnlyTheRaisedOne) {
    CGump* parent = MakeFilledGump(0, 0, 100, 100, 1);
    CGump* first = MakeFilledGump(0, 0, 10, 10, 2, parent);
    EXPECT_EQ(parent->firstChild, first);
    EXPECT_EQ(parent->lastChild, first);
    CGump* second = MakeFilledGump(0, 0, 10, 10, 3, parent);
    EXPECT_EQ(parent->firstChild, second);
    EXPECT_EQ(parent->lastChild, first);
    EXPECT_EQ(first->prevSibling, second);

    CGump* a = MakeFilledGump(0, 0, 10, 10, 4);
    CGump* b = MakeFilledGump(0, 0, 10, 10, 5);
    EXPECT_EQ(TopLevel(), (std::vector<CGump*>{b, a, parent}));
    b->BringToFront(false);  // already in front
    EXPECT_EQ(TopLevel(), (std::vector<CGump*>{b, a, parent}));
    parent->BringToFront(false);
    EXPECT_EQ(TopLevel(), (std::vector<CGump*>{parent, b, a}));
    EXPECT_EQ(Desktop().tail, a);
    a->BringToFront(false);
    EXPECT_EQ(TopLevel(), (std::vector<CGump*>{a, parent, b}));
    EXPECT_EQ(Desktop().tail, b);
    first->BringToFront(false);
    EXPECT_EQ(parent->firstChild, first);
    EXPECT_EQ(parent->lastChild, second);
}

class CreationScreen : public CGump {
public:
    CreationScreen() : CGump(0, 0, nullptr, 0, 1, 10, 10) {}
    GumpKind Kind() const override { return GumpKind::kCharCreation; }
};

TEST_F(GumpTreeTest, ACharacterCreationGumpIsNeverRaised) {
    auto* creation = TheGumpDesktop().Open<CreationScreen>();
    CGump* other = MakeFilledGump(0, 0, 10, 10, 1);
    creation->BringToFront(false);
    EXPECT_EQ(Desktop().head, other);
}

TEST_F(GumpTreeTest, HitTestsFollowPagesMinimisedTagsAndSeeThroughPixels) {
    CGump* window = MakeFilledGump(100, 100, 100, 100, 0x1111);
    window->page = 1;
    CGump* pageZero = MakeFilledGump(0, 0, 10, 10, 0x2222, window);
    CGump* pageOne = MakeFilledGump(20, 0, 10, 10, 0x3333, window);
    pageOne->page = 1;
    CGump* pageTwo = MakeFilledGump(40, 0, 10, 10, 0x4444, window);
    pageTwo->page = 2;
    art.Solid(500, 10, 10, 0x7FFF);
    auto* normalButton = window->Add<CButtonGump>(0, 40, window, 0, 0, nullptr, 500, 500, 0);
    auto* minimisedButton = window->Add<CButtonGump>(20, 40, window, 0, 0, nullptr, 500, 500, 1);
    window->Frame(0)->At(60, 60) = 0;  // a see-through pixel

    struct Case {
        int page;
        bool minimised;
        int x, y;
        CGump* expected;
    };
    const Case cases[] = {
        {1, false, 105, 105, pageZero},       {1, false, 125, 105, pageOne},
        {1, false, 145, 105, window},         {2, false, 145, 105, pageTwo},
        {2, false, 125, 105, window},         {2, false, 105, 105, pageZero},
        {1, false, 105, 145, normalButton},   {1, false, 125, 145, window},
        {1, true, 125, 145, minimisedButton}, {1, true, 105, 145, window},
        {1, false, 160, 160, nullptr},        {1, false, 99, 100, nullptr},
    };
    for (const Case& c : cases) {
        window->page = static_cast<u8>(c.page);
        window->minimised = c.minimised;
        EXPECT_EQ(Desktop().GumpAt(c.x, c.y, nullptr, true), c.expected)
            << "page " << c.page << " minimised " << c.minimised << " at " << c.x << "," << c.y;
    }
    EXPECT_FALSE(window->ContainsPoint(-1, 0));
    EXPECT_FALSE(pageZero->ContainsPoint(0, -1));
}

TEST_F(GumpTreeTest, MovingKeepsFiftyPixelsOnTheScreen) {
    struct Case {
        int w, h, dx, dy, x, y;
    };
    const Case cases[] = {
        {30, 30, 700, 0, 610, 0},   {30, 30, -100, 0, 0, 0},      {300, 100, -400, 0, -250, 0},
        {300, 100, 800, 0, 590, 0}, {100, 300, 0, -500, 0, -250}, {100, 300, 0, 900, 0, 430},
    };
    for (const Case& c : cases) {
        CGump* g = MakeFilledGump(0, 0, c.w, c.h, 1);
        g->MoveBy(c.dx, c.dy, true);
        EXPECT_EQ(g->x, c.x) << c.w << "x" << c.h << " by " << c.dx << "," << c.dy;
        EXPECT_EQ(g->y, c.y) << c.w << "x" << c.h << " by " << c.dx << "," << c.dy;
        TheGumpDesktop().Close(g);
    }
    CGump* free = MakeFilledGump(0, 0, 30, 30, 1);
    free->MoveBy(700, -90, false);
    EXPECT_EQ(free->x, 700);
    EXPECT_EQ(free->y, -90);
}

TEST_F(GumpTreeTest, MinimisedGumpsTakeSlotsColumnByColumnUntilAllAreTaken) {
    std::vector<CGump*> gumps;
    for (int i = 0; i < 37; ++i) {
        CGump* g = MakeFilledGump(300, 300, 40, 40, 1);
        g->Minimize();
        gumps.push_back(g);
    }
    struct Case {
        int index, x, y;
    };
    for (const Case& c : {Case{0, 16, 16}, Case{5, 16, 336}, Case{6, 112, 16}, Case{35, 496, 336},
                          Case{36, 0, 0}}) {
        EXPECT_EQ(gumps[static_cast<size_t>(c.index)]->x, c.x) << "gump " << c.index + 1;
        EXPECT_EQ(gumps[static_cast<size_t>(c.index)]->y, c.y) << "gump " << c.index + 1;
    }
    // Restoring gives the slot back; the next gump minimised takes it.
    gumps[6]->Restore();
    EXPECT_EQ(gumps[6]->x, 300);
    CGump* late = MakeFilledGump(300, 300, 40, 40, 1);
    late->Minimize();
    EXPECT_EQ(late->x, 112);
    EXPECT_EQ(late->y, 16);
}

TEST_F(GumpTreeTest, AGumpMinimisesAgainWhereItWasLastLeftMinimised) {
    host.autoArrange = false;
    CGump* g = MakeFilledGump(200, 150, 40, 40, 1);
    g->Minimize();
    EXPECT_EQ(g->x, 200);
    g->MoveBy(-100, 50, true);
    g->Restore();
    EXPECT_EQ(g->x, 200);
    EXPECT_EQ(g->y, 150);
    g->Minimize();
    EXPECT_EQ(g->x, 100);
    EXPECT_EQ(g->y, 200);
}

// A gump whose Tick deletes gumps (itself, its next sibling, or all others), and whose
// destruction may take its next sibling along.
class Deleter : public CGump {
public:
    enum What { kNothing, kSelf, kNext, kOthers };
    Deleter(What w, std::vector<int>& log, int id, bool takesNext = false)
        : CGump(0, 0, nullptr, 0, 1, 10, 10), what_(w), takesNext_(takesNext), log_(log), id_(id) {}
    ~Deleter() override {
        if (takesNext_ && nextSibling != nullptr) TheGumpDesktop().Close(nextSibling);
    }
    void Tick() override {
        log_.push_back(id_);
        if (what_ == kSelf) {
            TheGumpDesktop().Close(this);
        } else if (what_ == kNext) {
            TheGumpDesktop().Close(nextSibling);
        } else if (what_ == kOthers) {
            for (CGump* g = TheGumpDesktop().head; g != nullptr;) {
                CGump* next = g->nextSibling;
                if (g != this) TheGumpDesktop().Close(g);
                g = next;
            }
        }
    }

private:
    What what_;
    bool takesNext_;
    std::vector<int>& log_;
    int id_;
};

TEST_F(GumpTreeTest, DeletingGumpsDuringTheTickWalkDoesNotBreakIt) {
    struct Case {
        Deleter::What middle;
        std::vector<int> ticked;
        int left;
    };
    const Case cases[] = {
        {Deleter::kSelf, {1, 2, 3}, 2},
        {Deleter::kNext, {1, 2}, 2},
        {Deleter::kOthers, {1, 2}, 1},
    };
    for (const Case& c : cases) {
        Desktop().DeleteAllGumps();
        std::vector<int> log;
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 3);
        TheGumpDesktop().Open<Deleter>(c.middle, log, 2);
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 1);
        Desktop().Update();
        EXPECT_EQ(log, c.ticked) << "middle " << c.middle;
        EXPECT_EQ(Desktop().TopLevelCount(), c.left) << "middle " << c.middle;
    }
}

TEST_F(GumpTreeTest, AGumpTakingItsNeighbourAlongDoesNotBreakTheDeletionWalks) {
    const std::function<void()> walks[] = {
        [] { TheGumpDesktop().CloseOnEscape(); },
        [] { TheGumpDesktop().DeleteNonWorldGumps(); },
        [] { TheGumpDesktop().DeleteAllGumps(); },
    };
    for (const auto& walk : walks) {
        std::vector<int> log;
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 4);
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 3);
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 2, true);
        TheGumpDesktop().Open<Deleter>(Deleter::kNothing, log, 1, true);
        walk();
        EXPECT_EQ(Desktop().TopLevelCount(), 0);
        EXPECT_EQ(Desktop().head, nullptr);
        EXPECT_EQ(Desktop().tail, nullptr);
    }
}

}  // namespace
