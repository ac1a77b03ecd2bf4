// The paperdoll: layers drawn in their order with covered layers left out, hits that do not
// skip covered layers, the body and its female fallback, the press that moves the window or
// takes an item off, the single and double click actions, the buttons of the player's own
// paperdoll, the place a desktop restore gives it, and a mobile that leaves the world while
// its paperdoll is open.
#include "client/gumps/ingame/paperdoll_gump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/net/server_feature_flag.h"
#include "client/world/bark_views.h"
#include "tests/client/gumps/ingame/player_windows_fixture.h"

namespace {

using namespace fixture_wear;

constexpr u32 kOther = 0x20;
constexpr u32 kFirstItem = 0x40000100;

class PaperdollTest : public PlayerWindowsTest {
protected:
    CPaperdollGump* Open(u32 mobile, int x = 300, int y = 100, u8 war = 0) {
        return TheGumpDesktop().Open<CPaperdollGump>(x, y, mobile, "Varnok the Brave", war);
    }
    // The composed picture's pixel at a point of the figure.
    static u16 FigurePixel(CPaperdollGump* doll, int fx, int fy) {
        return doll->Frame(0)->At(WindowX(fx), WindowY(fy));
    }
    // Screen point of a figure point of a window.
    static int ScreenX(const CGump* g, int fx) { return g->x + WindowX(fx); }
    static int ScreenY(const CGump* g, int fy) { return g->y + WindowY(fy); }
    u32 NextSerial() { return kFirstItem + serials_++; }
    CClientItem* Wear(CClientMobile* m, const FixtureWear& w) {
        return PlayerWindowsTest::Wear(m, w, NextSerial());
    }
    // The ids of the packets the client sent since the last call.
    std::vector<int> SentIds() {
        const Bytes bytes = net.ClientSent();
        std::vector<int> ids;
        for (size_t i = 0; i < bytes.size();) {
            ids.push_back(bytes[i]);
            const size_t n = bytes[i] == 0x07 ? 7 : (bytes[i] == 0x34 ? 10 : 5);
            i += n;
        }
        return ids;
    }

private:
    u32 serials_ = 0;
};

TEST_F(PaperdollTest, CoveredLayersAreLeftOutAndEveryOtherLayerDrawsInOrder) {
    struct Case {
        const char* what;
        std::vector<FixtureWear> worn;
        int fx, fy;  // a figure point
        u16 expected;
    };
    const Case cases[] = {
        {"the belt shows beside a shirt", {kShirt, kBelt}, 12, 165, kBelt.colour},
        {"a robe covers the belt where both are", {kRobe, kBelt}, 60, 165, kRobe.colour},
        {"a robe hides the belt outside it too", {kRobe, kBelt}, 12, 165, kMaleBodyColour},
        {"hair stays over an ordinary robe", {kRobe, kHair}, 70, 50, kHair.colour},
        {"the shroud hides the hair", {kShroud, kHair}, 70, 50, kShroud.colour},
        {"boots show without a cloak", {kBoots}, 60, 280, kBoots.colour},
        {"a cloak hides the boots", {kCloak, kBoots}, 60, 280, kMaleBodyColour},
        {"the backpack is drawn", {kBackpack}, 140, 120, kBackpack.colour},
        {"a shirt lies over the body", {kShirt}, 60, 120, kShirt.colour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CClientMobile* m = Mobile(kOther, 400);
        for (const FixtureWear& w : c.worn)
            Wear(m, w);
        CPaperdollGump* doll = Open(kOther);
        EXPECT_EQ(FigurePixel(doll, c.fx, c.fy), c.expected);
        TheGumpDesktop().Close(doll);
        ResetWorld();
        player = PlayerInStillWorld();
    }
}

TEST_F(PaperdollTest, ABodyOtherThanAHumanShowsOnlyTheBackpack) {
    CClientMobile* m = Mobile(kOther, 1);
    Wear(m, kShirt);
    Wear(m, kBackpack);
    CPaperdollGump* doll = Open(kOther);
    EXPECT_EQ(FigurePixel(doll, 60, 120), kOtherDollColour);
    EXPECT_EQ(FigurePixel(doll, 140, 120), kBackpack.colour);
    // Hair and beards are never hit; the backpack only where it is allowed.
    EXPECT_EQ(doll->LayerAt(WindowX(140), WindowY(120), true), kBackpack.layer);
    EXPECT_EQ(doll->LayerAt(WindowX(140), WindowY(120), false), -1);
}

TEST_F(PaperdollTest, HitsCountCoveredLayersButNeverHair) {
    CClientMobile* m = Mobile(kOther, 400);
    Wear(m, kRobe);
    Wear(m, kBelt);
    Wear(m, kHair);
    CPaperdollGump* doll = Open(kOther);
    EXPECT_EQ(doll->LayerAt(WindowX(12), WindowY(165), false), kBelt.layer);  // covered, yet hit
    EXPECT_EQ(doll->LayerAt(WindowX(60), WindowY(165), false), kRobe.layer);  // the robe is above
    EXPECT_EQ(doll->LayerAt(WindowX(70), WindowY(50), false), -1);            // hair
    EXPECT_EQ(doll->LayerAt(7, 100, false), -1);  // left of the figure
    doll->Minimize();
    EXPECT_EQ(doll->LayerAt(WindowX(60), WindowY(165), false), -1);
}

TEST_F(PaperdollTest, AWomanWearsTheFemaleCutWhereOneExists) {
    CClientMobile* woman = Mobile(kOther, 401);
    Wear(woman, kTunic);
    CPaperdollGump* doll = Open(kOther);
    EXPECT_EQ(FigurePixel(doll, 60, 120), kFemaleTunicColour);
    EXPECT_EQ(FigurePixel(doll, 60, 200), kFemaleBodyColour);
    TheGumpDesktop().Close(doll);
    ResetWorld();
    player = PlayerInStillWorld();
    woman = Mobile(kOther, 401);
    Wear(woman, kShirt);  // no female cut: the common picture
    doll = Open(kOther);
    EXPECT_EQ(FigurePixel(doll, 60, 120), kShirt.colour);
}

TEST_F(PaperdollTest, APressMovesTheWindowOrTakesTheItemOff) {
    struct Case {
        const char* what;
        bool own;
        bool onItem;
        int move;
        int movedBy;
        bool takenOff;
    };
    const Case cases[] = {
        {"empty spot, 3 pixels", true, false, 3, 3, false},
        {"own item, 3 pixels", true, true, 3, 0, false},
        {"own item, 5 pixels", true, true, 5, 0, true},
        {"another's item, 5 pixels", false, true, 5, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CClientMobile* m = c.own ? static_cast<CClientMobile*>(player) : Mobile(kOther, 400);
        CClientItem* shirt = Wear(m, kShirt);
        const u32 shirtSerial = shirt->serial;
        CPaperdollGump* doll = Open(m->serial);
        const int startX = doll->x;
        const int px = c.onItem ? ScreenX(doll, 60) : ScreenX(doll, 150);
        const int py = c.onItem ? ScreenY(doll, 120) : ScreenY(doll, 250);
        LeftDown(px, py);
        Tick(px + c.move, py);
        LeftUp(px + c.move, py);
        EXPECT_EQ(doll->x - startX, c.movedBy);
        EXPECT_EQ(m->layers[kShirt.layer] == nullptr, c.takenOff);
        const Bytes sent = net.ClientSent();
        if (c.takenOff) {
            const Bytes pickUp = {0x07, u8(shirtSerial >> 24), u8(shirtSerial >> 16),
                                  u8(shirtSerial >> 8), u8(shirtSerial), 0x00, 0x01};
            EXPECT_EQ(sent, pickUp);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        TheGumpDesktop().DeleteAllGumps();
        TheClientWorld().dragging = 0;
        if (!c.takenOff) shirt->Destroy();
    }
}

TEST_F(PaperdollTest, HoldingPastTheDoubleClickTimeTakesTheItemOff) {
    Wear(player, kShirt);
    CPaperdollGump* doll = Open(player->serial);
    const int px = ScreenX(doll, 60), py = ScreenY(doll, 120);
    LeftDown(px, py);
    Clock().Advance(400);
    Tick(px, py);
    EXPECT_NE(player->layers[kShirt.layer], nullptr) << "not yet";
    Clock().Advance(200);
    Tick(px, py);
    EXPECT_EQ(player->layers[kShirt.layer], nullptr);
    LeftUp(px, py);
    EXPECT_EQ(SentIds(), std::vector<int>{0x07});
}

TEST_F(PaperdollTest, DeadPlayersKeepTheirClothes) {
    player->graphic = 402;
    Wear(player, kShirt);
    CPaperdollGump* doll = Open(player->serial);
    const int px = ScreenX(doll, 60), py = ScreenY(doll, 120);
    LeftDown(px, py);
    Tick(px + 6, py);
    LeftUp(px + 6, py);
    EXPECT_NE(player->layers[kShirt.layer], nullptr);
    EXPECT_TRUE(SentIds().empty());
}

TEST_F(PaperdollTest, AClickNamesTheItemAndADoubleClickUsesIt) {
    CClientItem* shirt = Wear(player, kShirt);
    CPaperdollGump* doll = Open(player->serial);
    const int px = ScreenX(doll, 60), py = ScreenY(doll, 120);
    SingleClick(px, py);
    const u32 s = shirt->serial;
    const Bytes look = {0x09, u8(s >> 24), u8(s >> 16), u8(s >> 8), u8(s)};
    EXPECT_EQ(net.ClientSent(), look);
    DoubleClick(px, py);
    const Bytes use = {0x06, u8(s >> 24), u8(s >> 16), u8(s >> 8), u8(s)};
    EXPECT_EQ(net.ClientSent(), use);
    // A click on nothing asks nothing.
    SingleClick(ScreenX(doll, 150), ScreenY(doll, 250));
    EXPECT_TRUE(net.ClientSent().empty());
}

TEST_F(PaperdollTest, TheDeadUseOnlyTheirTorch) {
    player->graphic = 403;
    Wear(player, kShirt);
    CClientItem* torch = Wear(player, kTorch);
    CPaperdollGump* doll = Open(player->serial);
    DoubleClick(ScreenX(doll, 60), ScreenY(doll, 120));
    EXPECT_TRUE(net.ClientSent().empty());
    ASSERT_NE(player->firstBark, nullptr);
    EXPECT_EQ(player->firstBark->text, "I am dead and cannot do that.");
    Clock().Advance(1000);
    DoubleClick(ScreenX(doll, 5), ScreenY(doll, 5));
    const u32 s = torch->serial;
    EXPECT_EQ(net.ClientSent(), (Bytes{0x06, u8(s >> 24), u8(s >> 16), u8(s >> 8), u8(s)}));
}

TEST_F(PaperdollTest, ADoubleClickOnTheMinimisedPaperdollOnlyRestoresIt) {
    Wear(player, kShirt);
    CPaperdollGump* doll = Open(player->serial);
    doll->Minimize();
    DoubleClick(doll->x + 10, doll->y + 10);
    EXPECT_FALSE(doll->minimised);
    EXPECT_TRUE(net.ClientSent().empty());
}

TEST_F(PaperdollTest, OnlyThePlayersOwnPaperdollCarriesTheButtons) {
    Mobile(kOther, 400);
    CPaperdollGump* other = Open(kOther);
    int buttons = 0;
    for (CGump* c = other->firstChild; c != nullptr; c = c->nextSibling)
        ++buttons;
    EXPECT_EQ(buttons, 1) << "the status button";
    EXPECT_EQ(other->WarButton(), nullptr);
    CPaperdollGump* own = Open(player->serial, 0, 0, 1);
    EXPECT_EQ(own->WarButton()->artId, CPaperdollGump::kWarArt);
    own->SetWarArts(false);
    EXPECT_EQ(own->WarButton()->artId, CPaperdollGump::kPeaceArt);
    EXPECT_EQ(own->WarButton()->hoverArt, CPaperdollGump::kPeaceArt + 2);
}

TEST_F(PaperdollTest, TheOwnButtonsAskTheServerOrOpenTheirWindows) {
    struct Case {
        const char* what;
        int y;               // the button's top; every button stands at x = 185
        int packet;          // the id of the one packet sent, or -1
        const char* call;    // the host call made, or ""
    };
    const Case cases[] = {
        {"status", 233, 0x34, ""},
        {"war mode", 205, 0x72, ""},
        {"journal", 124, -1, "MakeWindow 7"},
        {"skills", 151, 0x34, "SetOpenSkillsOnList"},
        {"help", 44, 0x9B, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.calls.clear();
        CPaperdollGump* own = Open(player->serial, 300, 100);
        LeftDown(own->x + 190, own->y + c.y + 4);
        LeftUp(own->x + 190, own->y + c.y + 4);
        const Bytes sent = net.ClientSent();
        if (c.packet < 0) {
            EXPECT_TRUE(sent.empty());
        } else {
            ASSERT_FALSE(sent.empty());
            EXPECT_EQ(sent[0], c.packet);
        }
        if (c.call[0] != 0) {
            EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), c.call), host.calls.end());
        }
        TheGumpDesktop().DeleteAllGumps();
        Clock().Advance(1000);
    }
    // War mode asks for the opposite of the player's mode, with the last style.
    player->warMode = 1;
    CPaperdollGump* own = Open(player->serial, 300, 100, 1);
    LeftDown(own->x + 190, own->y + 209);
    LeftUp(own->x + 190, own->y + 209);
    EXPECT_EQ(net.ClientSent(), (Bytes{0x72, 0, 0, 0, 0}));
}

TEST_F(PaperdollTest, TheChatButtonIsGreyedWithoutTheServersChatFeature) {
    for (int flag : {0, 1}) {
        SetServerFeatureFlag(static_cast<u16>(flag));
        CPaperdollGump* own = Open(player->serial);
        EXPECT_EQ(own->ChatButton()->disabled, flag == 0);
        TheGumpDesktop().Close(own);
    }
    SetServerFeatureFlag(0);
}

TEST_F(PaperdollTest, TheQuitQuestionEndsTheClientOnlyOnYes) {
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        host.calls.clear();
        CPaperdollGump* own = Open(player->serial, 300, 100);
        // The quit button at (185, 98).
        LeftDown(own->x + 190, own->y + 102);
        LeftUp(own->x + 190, own->y + 102);
        CGump* question = TheGumpDesktop().modalGump;
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(question->IsKind(GumpKind::kYesNo));
        CGump* answer = nullptr;
        for (CGump* c = question->firstChild; c != nullptr; c = c->nextSibling)
            if (c->artId == (yes ? 2074 : 2071)) answer = c;
        ASSERT_NE(answer, nullptr);
        const int ax = question->x + answer->x + 2, ay = question->y + answer->y + 2;
        LeftDown(ax, ay);
        LeftUp(ax, ay);
        const bool quit =
            std::find(host.calls.begin(), host.calls.end(), "PostQuit") != host.calls.end();
        EXPECT_EQ(quit, yes);
        EXPECT_EQ(IsGumpAlive(question), yes) << "no closes the question";
        TheGumpDesktop().DeleteAllGumps();
    }
}

TEST_F(PaperdollTest, TheStatusButtonOpensTheMobilesStatusAndAsksForIt) {
    Mobile(kOther, 400);
    CPaperdollGump* doll = Open(kOther, 300, 100);
    LeftDown(doll->x + 190, doll->y + 238);
    LeftUp(doll->x + 190, doll->y + 238);
    CGump* found = TheGumpDesktop().FindGumpForObject(kOther, false, false, TheGumpDesktop().head);
    ASSERT_NE(found, nullptr);
    CStatusGump* status = found->As<CStatusGump>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->minimised) << "another mobile's status opens as a bar";
    EXPECT_EQ(net.ClientSent(), (Bytes{0x34, 0xED, 0xED, 0xED, 0xED, 0x04, 0, 0, 0, 0x20}));
}

TEST_F(PaperdollTest, ThePacketsPaperdollOpensAtTheRightEdgeOnceAndOnlyForMobiles) {
    CClientObject* item = TheClientWorld().UpdateObject(kFirstItem, kShirt.graphic, 0, 1, 11, 10,
                                                        0, 0, 0, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(OpenPaperdoll(kFirstItem, "", 0), nullptr);
    EXPECT_EQ(OpenPaperdoll(0x4444, "", 0), nullptr);
    CPaperdollGump* doll = OpenPaperdoll(player->serial, "Varnok", 0);
    ASSERT_NE(doll, nullptr);
    EXPECT_EQ(doll->x, kScreenWidth - 262);
    EXPECT_EQ(doll->y, 0);
    doll->Minimize();
    EXPECT_EQ(OpenPaperdoll(player->serial, "Varnok", 0), doll);
    EXPECT_FALSE(doll->minimised);
    EXPECT_EQ(TheGumpDesktop().TopLevelCount(), 1);
}

TEST_F(PaperdollTest, ARestoreGivesThePlacementAndWithoutOneTheGivenPosition) {
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.restoring = true;
    desktop.pending = {{4, 0, 100, 100, 7, 8}, {0, 1, 0, 0, 33, 44}};
    CPaperdollGump* placed = Open(player->serial, 300, 100);
    EXPECT_EQ(placed->x, 33);
    EXPECT_EQ(placed->y, 44);
    EXPECT_TRUE(placed->minimised);
    Mobile(kOther, 400);
    // Still restoring (the skill window's placement waits), but no paperdoll placement left.
    ASSERT_TRUE(desktop.restoring);
    CPaperdollGump* unplaced = Open(kOther, 250, 60);
    EXPECT_EQ(unplaced->x, 250);
    EXPECT_EQ(unplaced->y, 60);
    desktop.restoring = false;
    desktop.pending.clear();
}

TEST_F(PaperdollTest, AMobileThatLeftTheWorldLeavesAPaperdollThatHitsNothing) {
    CClientMobile* m = Mobile(kOther, 400);
    Wear(m, kShirt);
    CPaperdollGump* doll = Open(kOther);
    const int px = ScreenX(doll, 60), py = ScreenY(doll, 120);
    m->Destroy();
    ASSERT_EQ(TheClientWorld().FindBySerial(kOther), nullptr);
    doll->Redraw();
    EXPECT_EQ(doll->LayerAt(WindowX(60), WindowY(120), true), -1);
    SingleClick(px, py);
    DoubleClick(px, py);
    LeftDown(px, py);
    Tick(px + 8, py);
    LeftUp(px + 8, py);
    DrawFrame();
    EXPECT_TRUE(net.ClientSent().empty());
}

// A click on the profile area of any paperdoll shows "Character Profile" over the player's
// own backpack, or in the system corner when the player carries none.
TEST_F(PaperdollTest, TheProfileAreaShowsItsLabelOverThePlayersBackpack) {
    for (const bool withPack : {true, false}) {
        CClientItem* pack = withPack ? Wear(player, kBackpack) : nullptr;
        OverheadText*& systemLines = BarkChainOf(nullptr);
        const OverheadText* systemBefore = systemLines;
        CPaperdollGump* doll = Open(player->serial);
        SingleClick(doll->x + 27 + 5, doll->y + 196 + 5);
        if (withPack) {
            ASSERT_NE(pack->firstBark, nullptr);
            EXPECT_EQ(pack->firstBark->text, "Character Profile");
            EXPECT_EQ(pack->firstBark->hue, 946);
            EXPECT_EQ(systemLines, systemBefore) << "no system line beside it";
        } else {
            ASSERT_NE(systemLines, nullptr);
            EXPECT_NE(systemLines, systemBefore);
            EXPECT_EQ(systemLines->text, "Character Profile");
        }
        EXPECT_TRUE(net.ClientSent().empty()) << "the label asks the server nothing";
        TheGumpDesktop().Close(doll);
        if (pack != nullptr) pack->Destroy();
    }
}

}  // namespace
