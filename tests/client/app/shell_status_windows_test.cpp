// The running client's connections of the player's own windows, driven by the server's
// packets: status packets fill the status windows (and give a pet's bar its rename field),
// the paperdoll packet opens or raises the paperdoll, equipment and war mode redraw it, taking
// up a stack opens the amount chooser on the pointer, and a mobile that leaves the world takes
// its paperdoll and status windows with it.
#include "client/app/shell_status_windows.h"

#include <gtest/gtest.h>

#include "client/app/client_services.h"
#include "client/app/shell_object_windows.h"
#include "client/app/shell_world_hooks.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/stack_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "tests/client/gumps/ingame/player_windows_fixture.h"

namespace {

constexpr u32 kPet = 0x50;

// A speech bubble's stand-in: a gump of the bubble kind over an object.
class BubbleStandIn : public CGump {
public:
    explicit BubbleStandIn(u32 serial) : CGump(0, 0, nullptr, serial, 1, 10, 10) {}
    GumpKind Kind() const override { return GumpKind::kBark; }
};

class ShellStatusWindowsTest : public PlayerWindowsTest {
protected:
    ShellStatusWindowsTest()
        : previousText_(SetTextWindowHooks(&textWindows)),
          previousObjects_(SetObjectWindowHooks(&objectWindows)),
          previousWorld_(SetWorldHooks(&worldHooks)) {}
    ~ShellStatusWindowsTest() override {
        TheGumpDesktop().DeleteAllGumps();
        SetWorldHooks(previousWorld_);
        SetObjectWindowHooks(previousObjects_);
        SetTextWindowHooks(previousText_);
    }
    // 0x11 with the short form: name, hits, the rename flag.
    void ServerSendsStatus(u32 serial, const std::string& name, u16 hits, u16 maxHits,
                           bool renamable) {
        Bytes body;
        PutLong(body, serial);
        PutText(body, name, 30);
        PutShort(body, hits);
        PutShort(body, maxHits);
        body.push_back(renamable ? 1 : 0);
        body.push_back(0);
        net.ServerSends(ServerPacket(0x11, body, true));
    }
    void ServerSendsPaperdoll(u32 serial, const std::string& text, u8 flags) {
        Bytes body;
        PutLong(body, serial);
        PutText(body, text, 60);
        body.push_back(flags);
        net.ServerSends(ServerPacket(0x88, body, false));
    }
    int Count(GumpKind kind) const {
        int n = 0;
        for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
            n += g->IsKind(kind) ? 1 : 0;
        return n;
    }

    ShellStatusWindows textWindows;
    ShellObjectWindows objectWindows;
    ShellWorldHooks worldHooks;

private:
    TextWindowHooks* previousText_;
    ObjectWindowHooks* previousObjects_;
    WorldHooks* previousWorld_;
};

TEST_F(ShellStatusWindowsTest, StatusPacketsFillTheWindowsOfTheirMobile) {
    Mobile(kPet, 400);
    CStatusGump* bar = TheGumpDesktop().Open<CStatusGump>(kPet, true);
    CStatusGump* own = TheGumpDesktop().Open<CStatusGump>(player->serial, false);
    ServerSendsStatus(kPet, "a dog", 7, 14, true);
    EXPECT_EQ(bar->record.hits, 7);
    ASSERT_NE(bar->NameField(), nullptr);
    EXPECT_EQ(own->record.hits, 0) << "another mobile's status";
    net.ServerSends(ServerPacket(0xA1, {0, 0, 0, 0x50, 0, 20, 0, 9}, false));
    EXPECT_EQ(bar->record.hits, 9);
    EXPECT_EQ(bar->record.maxHits, 20);
}

TEST_F(ShellStatusWindowsTest, ThePaperdollPacketOpensOnceAndRaisesAfterwards) {
    ServerSendsPaperdoll(player->serial, "Varnok the Brave", 1);
    ASSERT_EQ(Count(GumpKind::kPaperdoll), 1);
    CPaperdollGump* doll = TheGumpDesktop().head->As<CPaperdollGump>();
    ASSERT_NE(doll, nullptr);
    EXPECT_EQ(doll->Text(), "Varnok the Brave");
    EXPECT_EQ(doll->WarButton()->artId, CPaperdollGump::kWarArt);
    doll->Minimize();
    ServerSendsPaperdoll(player->serial, "Varnok the Brave", 1);
    EXPECT_EQ(Count(GumpKind::kPaperdoll), 1);
    EXPECT_FALSE(doll->minimised);
    ServerSendsPaperdoll(0x7777, "nobody", 0);
    EXPECT_EQ(Count(GumpKind::kPaperdoll), 1);

    // Peace from the server switches the button without reopening.
    net.ServerSends(ServerPacket(0x72, {0, 0, 0x32, 0}, false));
    EXPECT_EQ(doll->WarButton()->artId, CPaperdollGump::kPeaceArt);
    net.ServerSends(ServerPacket(0x72, {1, 0, 0x32, 0}, false));
    EXPECT_EQ(doll->WarButton()->artId, CPaperdollGump::kWarArt);
}

TEST_F(ShellStatusWindowsTest, EquipmentFromTheServerRedrawsThePaperdoll) {
    CPaperdollGump* doll = TheGumpDesktop().Open<CPaperdollGump>(0, 0, player->serial, "", 0);
    const u16 before = doll->Frame(0)->At(WindowX(60), WindowY(120));
    EXPECT_EQ(before, kMaleBodyColour);
    Bytes body;
    PutLong(body, 0x40000500);
    PutShort(body, fixture_wear::kShirt.graphic);
    body.push_back(0);
    body.push_back(fixture_wear::kShirt.layer);
    PutLong(body, player->serial);
    PutShort(body, 0);
    net.ServerSends(ServerPacket(0x2E, body, false));
    EXPECT_EQ(doll->Frame(0)->At(WindowX(60), WindowY(120)), fixture_wear::kShirt.colour);
}

TEST_F(ShellStatusWindowsTest, AMobileLeavingTheWorldTakesItsWindows) {
    // Dressed, so that its clothes leave while its paperdoll may still be asked to redraw.
    CClientMobile* pet = Mobile(kPet, 400);
    Wear(pet, fixture_wear::kShirt, 0x40000700);
    Wear(pet, fixture_wear::kRobe, 0x40000701);
    TheGumpDesktop().Open<CStatusGump>(kPet, true);
    TheGumpDesktop().Open<CPaperdollGump>(0, 0, kPet, "a dog", 0);
    CPaperdollGump* own = TheGumpDesktop().Open<CPaperdollGump>(300, 0, player->serial, "", 0);
    CGump* bubble = TheGumpDesktop().Open<BubbleStandIn>(kPet);
    net.ServerSends(ServerPacket(0x1D, {0, 0, 0, 0x50}, false));
    EXPECT_TRUE(IsGumpAlive(bubble)) << "bubbles go with the object's texts";
    TheGumpDesktop().Close(bubble);
    EXPECT_EQ(TheClientWorld().FindBySerial(kPet), nullptr);
    EXPECT_EQ(Count(GumpKind::kStatus), 0);
    EXPECT_EQ(Count(GumpKind::kPaperdoll), 1);
    EXPECT_TRUE(IsGumpAlive(own));
    EXPECT_TRUE(OtherStatusWindows().empty());
}

TEST_F(ShellStatusWindowsTest, TakingUpAStackOpensTheChooserOnThePointer) {
    SetStatic(0x0EED, kClientTileStackable, 0, "coin");
    CClientObject* coins = TheClientWorld().UpdateObject(0x40000600, 0x0EED, 0, 20, 11, 10, 0, 0, 0, 0);
    MoveTo(300, 200);
    EXPECT_FALSE(TheClientWorld().PickUpObject(coins, 0));
    ASSERT_EQ(Count(GumpKind::kStack), 1);
    CStackGump* chooser = TheGumpDesktop().head->As<CStackGump>();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->Maximum(), 20);
    EXPECT_EQ(TheCursorManager().Captured(), chooser);
    EXPECT_TRUE(net.ClientSent().empty());
}

TEST_F(ShellStatusWindowsTest, TheRunningFactoryMakesThePlayersWindowsAndSendsTheirRequests) {
    SetStatic(0x0EED, kClientTileStackable, 0, "coin");
    TheClientWorld().UpdateObject(0x40000600, 0x0EED, 0, 20, 11, 10, 0, 0, 0, 0);
    Mobile(kPet, 400);
    GumpHostServices* fixtureHost = &GetGumpHostServices();
    InstallClientServices();
    SetGumpArtServices(&art);
    GumpHostServices& running = GetGumpHostServices();
    EXPECT_TRUE(running.ObjectIsMobile(kPet));
    EXPECT_FALSE(running.ObjectIsMobile(0x40000600));
    struct Case {
        int artId;
        u32 object;
        GumpKind kind;
    };
    const Case cases[] = {{10, player->serial, GumpKind::kPaperdoll},
                          {8, kPet, GumpKind::kStatus},
                          {49, 0x40000600, GumpKind::kStack}};
    for (const Case& c : cases) {
        CGump* made = running.MakeWindow(c.artId, c.object, 0, 0, false);
        ASSERT_NE(made, nullptr) << c.artId;
        EXPECT_TRUE(made->IsKind(c.kind)) << c.artId;
        EXPECT_EQ(made->object, c.object);
        TheGumpDesktop().Close(made);
    }
    CGump* bar = running.MakeStatusWindow(player->serial, true);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->minimised);
    TheGumpDesktop().Close(bar);
    running.RequestUseObject(player->serial);
    running.RequestStatus(4, player->serial);
    EXPECT_EQ(net.ClientSent(), (Bytes{0x06, 0, 0, 0, 1, 0x34, 0xED, 0xED, 0xED, 0xED, 4, 0, 0,
                                       0, 1}));
    SetGumpHostServices(fixtureHost);
    SetTextWindowHooks(&textWindows);
    SetObjectWindowHooks(&objectWindows);
    SetWorldHooks(&worldHooks);
}

}  // namespace
