// The world-view gump on the manual clock: click timing, the drag threshold, walking with the
// right button, double right clicks and path following, Alt+click following, and highlights
// kept as serials.
#include "client/gumps/windows/map_gump.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/windows/map_gump_walker.h"
#include "platform/keys.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/net/link_fixture.h"
#include "tests/client/world/world_fixture.h"

namespace {

// The walk queue, the path search and the world view's picking as the gump sees them: objects
// picked by screen boxes (looked up by serial, so a destroyed one is no longer there), every
// walk call recorded, and a queue whose steps stay queued until the test acknowledges them.
class RecordingWalker : public MapGumpWalker {
public:
    struct Box {
        int left, top, right, bottom;
        u32 serial;
    };
    bool Busy() override { return busy; }
    // A request only when the queue is idle; it stays queued until the test acknowledges it.
    void WalkToward(int direction, bool run) override {
        if (busy || queued > 0) return;
        calls.push_back("toward " + std::to_string(direction) + (run ? " run" : " walk"));
        ++queued;
    }
    void RequestWalk(int direction, bool run) override {
        calls.push_back("step " + std::to_string(direction) + (run ? " run" : " walk"));
        ++queued;
    }
    int QueuedSteps() override { return queued; }
    bool PathTo(const ClientLocation& goal, std::vector<ClientLocation>& out) override {
        goals.push_back(goal);
        out = path;
        return !path.empty();
    }
    CClientObject* PickWorldObject(int x, int y) override {
        for (const Box& b : boxes)
            if (x >= b.left && x < b.right && y >= b.top && y < b.bottom)
                return TheClientWorld().FindBySerial(b.serial);
        return nullptr;
    }
    bool PickLocation(int x, int y, ClientLocation& at) override {
        at.Set(x / 10, y / 10, 0);
        return true;
    }
    CDisplayObject* PickAnyObject(int x, int y) override { return PickWorldObject(x, y); }

    std::vector<Box> boxes;
    std::vector<std::string> calls;
    std::vector<ClientLocation> goals;
    std::vector<ClientLocation> path;
    bool busy = false;
    int queued = 0;
};

constexpr u32 kItemA = 0x40000070;
constexpr u32 kItemB = 0x40000071;
constexpr u32 kMobile = 0x10;

class MapGumpTest : public WorldFixture {
protected:
    MapGumpTest() {
        old_ = SetMapGumpWalker(&walker);
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        link.link.OpenLocalConnection();
        player = PlayerInStillWorld();
        CClientWorld& w = TheClientWorld();
        w.UpdateObject(kItemA, 70, 0, 1, 11, 10, 0, 0, 0, 0);
        w.UpdateObject(kItemB, 71, 0, 1, 10, 11, 0, 0, 0, 0);
        w.UpdateObject(kMobile, 400, 0, 0, 12, 12, 0, 0, 0, 0);
        walker.boxes = {{90, 90, 110, 110, kItemA},
                        {290, 290, 310, 310, kItemB},
                        {490, 90, 510, 110, kMobile},
                        {310, 220, 330, 240, 1}};
        map = TheGumpDesktop().Open<CMapGump>();
        map->visible = true;
        map->SendThrough(&link.link);
    }
    ~MapGumpTest() override {
        TheGumpDesktop().DeleteAllGumps();
        TheCursorManager().Reset();
        SetMapGumpWalker(old_);
    }

    // Mouse input as the window procedure and the frame tick deliver it.
    static void LeftDown(int x, int y) { TheCursorManager().OnLeftDown(x, y); }
    static void LeftUp(int x, int y) { TheCursorManager().OnLeftUp(x, y); }
    static void RightDown(int x, int y) { TheCursorManager().OnRightDown(x, y); }
    static void RightUp(int x, int y) { TheCursorManager().OnRightUp(x, y); }
    static void Tick(int x, int y) {
        TheCursorManager().MoveTo(x, y);
        TheCursorManager().TickHover();
    }
    void Hold(u32 key, bool down) {
        env.Backend().InjectKey(key, down);
        platform::InputEvent e;
        env.Backend().PollEvent(e);
    }
    // The (id, serial) of every packet the gump sent since the last call.
    std::vector<std::pair<int, u32>> Sent() {
        const Bytes bytes = link.ClientSent();
        std::vector<std::pair<int, u32>> out;
        EXPECT_EQ(bytes.size() % 5, 0u);
        for (size_t i = 0; i + 5 <= bytes.size(); i += 5)
            out.push_back({bytes[i], u32(bytes[i + 1]) << 24 | u32(bytes[i + 2]) << 16 |
                                         u32(bytes[i + 3]) << 8 | bytes[i + 4]});
        return out;
    }
    std::string LastBark() const {
        return player->firstBark != nullptr ? player->firstBark->text : std::string();
    }

    ClientTestEnv env;
    LinkFixture link;
    RecordingWalker walker;
    CClientPlayer* player = nullptr;
    CMapGump* map = nullptr;
    using Packets = std::vector<std::pair<int, u32>>;

private:
    MapGumpWalker* old_ = nullptr;
};

TEST_F(MapGumpTest, ASingleClickActsAtThePressPointOnceTheDoubleClickTimeIsOver) {
    auto& clock = Clock();
    clock.Advance(5000);
    LeftDown(100, 100);
    LeftUp(100, 100);
    Tick(300, 300);  // the pointer moves on to another object
    clock.Advance(500);
    Tick(300, 300);
    EXPECT_TRUE(Sent().empty());
    clock.Advance(1);
    Tick(300, 300);
    EXPECT_EQ(Sent(), (Packets{{0x09, kItemA}}));
    Tick(300, 300);
    EXPECT_TRUE(Sent().empty());
}

// While the server's target cursor is up a click answers it with the object under the press
// point instead of asking for its name; a click on nothing leaves the cursor up.
TEST_F(MapGumpTest, AClickWhileATargetCursorIsUpAnswersIt) {
    auto& clock = Clock();
    clock.Advance(5000);
    link.ServerSends(ServerPacket(0x6C, {0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                  false));
    ASSERT_TRUE(TheClientWorld().targeting);
    auto click = [&](int x, int y) {
        LeftDown(x, y);
        LeftUp(x, y);
        clock.Advance(501);
        Tick(x, y);
    };
    click(200, 200);
    EXPECT_TRUE(link.ClientSent().empty());
    EXPECT_TRUE(TheClientWorld().targeting);
    click(100, 100);
    EXPECT_EQ(link.ClientSent(), (Bytes{0x6C, 0, 0, 0, 0, 9, 0, 0x40, 0, 0, 0x70, 0, 11, 0, 10, 0,
                                        0, 0, 70}));
    EXPECT_FALSE(TheClientWorld().targeting);
}

TEST_F(MapGumpTest, ADoubleClickUsesTheObjectOfTheFirstPress) {
    struct Case {
        const char* name;
        bool destroyFirst;
        u32 used;
    } cases[] = {{"first object still there", false, kItemA},
                 {"first object gone: the one under the release", true, kItemB}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& clock = Clock();
        clock.Advance(5000);
        TheClientWorld().UpdateObject(kItemA, 70, 0, 1, 11, 10, 0, 0, 0, 0);
        LeftDown(100, 100);
        LeftUp(100, 100);
        Tick(300, 300);
        clock.Advance(200);
        LeftDown(300, 300);
        if (c.destroyFirst) TheClientWorld().FindBySerial(kItemA)->Destroy();
        LeftUp(300, 300);
        EXPECT_EQ(Sent(), (Packets{{0x06, c.used}}));
        clock.Advance(1000);
        Tick(300, 300);
        EXPECT_TRUE(Sent().empty());
    }
}

// A press moved by 4 pixels is still a click; by 5 it picks the item up, and nothing is sent.
TEST_F(MapGumpTest, FivePixelsMakeADragFourDoNot) {
    struct Case {
        int dx, dy;
        bool drag;
    } cases[] = {{4, 4, false}, {-4, 0, false}, {5, 0, true}, {0, -5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        auto& clock = Clock();
        clock.Advance(5000);
        CClientWorld& w = TheClientWorld();
        w.dragging = 0;
        if (w.FindBySerial(kItemA) == nullptr) w.UpdateObject(kItemA, 70, 0, 1, 11, 10, 0, 0, 0, 0);
        LeftDown(100, 100);
        Tick(100 + c.dx, 100 + c.dy);
        LeftUp(100 + c.dx, 100 + c.dy);
        clock.Advance(501);
        Tick(100 + c.dx, 100 + c.dy);
        EXPECT_EQ(w.dragging, c.drag ? 1 : 0);
        EXPECT_EQ(Sent(), (c.drag ? Packets{} : Packets{{0x09, kItemA}}));
    }
}

// Pulling a mobile out of the view brings its health bar out on the pointer and asks for its
// status; a bar already open is the one that comes.
TEST_F(MapGumpTest, DraggingAMobileTearsOffItsHealthBar) {
    for (int round = 0; round < 2; ++round) {
        Clock().Advance(5000);
        LeftDown(500, 100);
        Tick(510, 100);
        int bars = 0;
        CGump* bar = nullptr;
        for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
            if (g->IsKind(GumpKind::kStatus)) {
                ++bars;
                bar = g;
            }
        ASSERT_EQ(bars, 1);
        EXPECT_EQ(bar->object, kMobile);
        EXPECT_TRUE(bar->minimised);
        EXPECT_EQ(TheCursorManager().Captured(), bar);
        Tick(300, 300);
        EXPECT_EQ(bar->x, 300 - bar->minimisedWidth / 2);
        LeftUp(300, 300);
        const Bytes sent = link.ClientSent();
        EXPECT_EQ(sent, (Bytes{0x34, 0xED, 0xED, 0xED, 0xED, 4, 0, 0, 0, 0x10}));
        EXPECT_EQ(TheClientWorld().dragging, 0);
    }
}

TEST_F(MapGumpTest, HoldingTheRightButtonAsksOneStepPerIdleTickTowardThePointer) {
    auto& clock = Clock();
    RightDown(320, 10);
    EXPECT_TRUE(walker.calls.empty());
    Tick(320, 10);
    Tick(320, 10);  // the step is not acknowledged yet: nothing more
    walker.queued = 0;
    clock.Advance(600);
    Tick(330, 250);  // near the centre, down-right: walk
    walker.queued = 0;
    Tick(5, 240);  // far left: run
    walker.queued = 0;
    walker.busy = true;  // a step still shown
    Tick(5, 240);
    walker.busy = false;
    EXPECT_EQ(walker.calls,
              (std::vector<std::string>{"toward 0 run", "toward 3 walk", "toward 6 run"}));
    RightUp(5, 240);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    walker.calls.clear();
    walker.queued = 0;
    Tick(5, 240);
    EXPECT_TRUE(walker.calls.empty());
    // A quick click makes one step on the next tick.
    RightDown(600, 240);
    RightUp(600, 240);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    Tick(600, 240);
    walker.queued = 0;
    Tick(600, 240);
    EXPECT_EQ(walker.calls, (std::vector<std::string>{"toward 2 run"}));
}

TEST_F(MapGumpTest, ADoubleRightClickFollowsAPathWithAtMostThreeStepsQueued) {
    auto& clock = Clock();
    clock.Advance(5000);
    player->direction = 0;
    walker.path = {{10, 10, 0}, {11, 10, 0}, {12, 10, 0}, {13, 11, 0}};
    RightDown(400, 300);
    RightUp(400, 300);
    clock.Advance(100);
    RightDown(402, 301);
    RightUp(402, 301);
    ASSERT_EQ(walker.goals.size(), 1u);
    EXPECT_EQ(walker.goals[0], (ClientLocation{40, 30, 0}));
    EXPECT_TRUE(map->FollowingPath());
    EXPECT_EQ(LastBark(), "Pathfinding!");
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);
    walker.calls.clear();
    // The pointer near the centre: walking. A turn east, then two moves: three queued.
    TheCursorManager().MoveTo(330, 250);
    for (int i = 0; i < 6; ++i)
        map->FollowPathStep();
    EXPECT_EQ(walker.calls,
              (std::vector<std::string>{"step 2 walk", "step 2 walk", "step 2 walk"}));
    // Acknowledged: a turn south-east, the move onto the last node, and the path ends.
    walker.queued = 0;
    walker.calls.clear();
    for (int i = 0; i < 4; ++i)
        map->FollowPathStep();
    EXPECT_EQ(walker.calls, (std::vector<std::string>{"step 3 walk", "step 3 walk"}));
    EXPECT_FALSE(map->FollowingPath());

    // No path: said over the player, nothing followed.
    walker.path.clear();
    clock.Advance(1000);
    RightDown(400, 300);
    RightUp(400, 300);
    RightDown(400, 300);
    RightUp(400, 300);
    EXPECT_EQ(LastBark(), "Can't get there");
    EXPECT_FALSE(map->FollowingPath());
}

TEST_F(MapGumpTest, AltClickFollowsAltControlClickIsAnOrdinaryClick) {
    struct Case {
        const char* name;
        bool ctrl;
        int x, y;
        const char* bark;
        int following;
        Packets sent;
    } cases[] = {
        {"Alt on another mobile", false, 500, 100, "Now following.", 1, {}},
        {"Alt on the player, following", false, 320, 230, "Stopped following.", 0, {}},
        {"Alt on the player, not following", false, 320, 230, "Not following.", 0, {}},
        {"Alt+Control on a mobile", true, 500, 100, "", 0, {{0x09, kMobile}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& clock = Clock();
        clock.Advance(5000);
        player->DeleteBarks();
        Hold(platform::kVkMenu, true);
        Hold(platform::kVkControl, c.ctrl);
        LeftDown(c.x, c.y);
        LeftUp(c.x, c.y);
        clock.Advance(501);
        Tick(c.x, c.y);
        EXPECT_EQ(LastBark(), c.bark);
        EXPECT_EQ(player->following, c.following);
        EXPECT_EQ(Sent(), c.sent);
        Hold(platform::kVkMenu, false);
        Hold(platform::kVkControl, false);
    }
    EXPECT_EQ(player->followedSerial, 0u);
}

// The marked mobile and item are serials: one that goes while marked is never touched again.
TEST_F(MapGumpTest, HighlightsAreSerialsLookedUpWhenUsed) {
    player->warMode = 1;
    Tick(500, 100);
    EXPECT_EQ(map->HighlightedMobile(), kMobile);
    EXPECT_EQ(map->HoveredItem(), 0u);
    Tick(100, 100);
    EXPECT_EQ(map->HighlightedMobile(), 0u);
    EXPECT_EQ(map->HoveredItem(), kItemA);
    Tick(500, 100);
    TheClientWorld().FindBySerial(kMobile)->Destroy();
    hooks.dirty.clear();
    map->OnMouseLeave();
    EXPECT_EQ(map->HighlightedMobile(), 0u);
    EXPECT_TRUE(hooks.dirty.empty());
    // In peace the player's own figure and mobiles are not marked.
    player->warMode = 0;
    Tick(320, 230);
    EXPECT_EQ(map->HighlightedMobile(), 0u);
}

}  // namespace
