#pragma once
// The world-view gump: the invisible gump behind every other one, covering the 640 x 480
// window, that turns the mouse over the world into game actions. Hovering marks what could be
// attacked, targeted or picked up; a single click names an object; Alt+click follows or stops
// following a mobile; a double click uses or attacks; pressing and dragging picks up an item;
// holding the right button walks toward the pointer; a double right click walks a searched path.
//
// Clicks are told apart by time and distance: a single click acts only once the double-click
// time has run out, at the press point; a press moved more than 4 pixels is a drag. Objects are
// remembered by serial and looked up when used, so an object that goes meanwhile is never
// touched.
#include <string>
#include <vector>

#include "client/gumps/framework/gump.h"
#include "client/world/client_location.h"
#include "platform/types.h"

class CClientObject;
class ClientLink;
class PacketWriter;

class CMapGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kMap;
    GumpKind Kind() const override { return kKind; }

    // Hidden until the player is in the game; the desktop opens it (Open<CMapGump>).
    CMapGump();
    ~CMapGump() override;

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightDown(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    void Tick() override;
    bool AcceptsDrop() override { return true; }
    bool IsTransparent() override { return true; }
    bool ClosesOnEscape() override { return false; }

    // The actions.
    void OnClick(int x, int y);
    void OnDoubleClickAt(int x, int y);
    void OnDoubleClickObject(CClientObject* object);
    void BeginDrag(int x, int y);
    void PathfindTo(int x, int y);
    // Once per frame tick: the next request of a path being followed.
    void FollowPathStep();

    // What the world view draws marked: the mobile under the pointer in war mode or with a
    // target cursor up, and the movable item under the pointer (serials, 0 for none).
    u32 HighlightedMobile() const { return highlightedMobile_; }
    u32 HoveredItem() const { return hoveredItem_; }
    void ClearHighlightedMobile() { highlightedMobile_ = 0; }
    bool FollowingPath() const { return following_; }
    const std::vector<ClientLocation>& Path() const { return path_; }

    // Packets go through this link (null: the running client's link).
    void SendThrough(ClientLink* link) { link_ = link; }

private:
    static bool Moved(int x, int y, int fromX, int fromY);
    void WalkTowardPointer();
    void EndPath();
    void Send(const PacketWriter& packet);
    void SendUse(u32 serial);
    void BarkOverPlayer(const std::string& text);
    void SayNotBuilt(const char* what);

    u32 pendingSerial_ = 0;
    bool dragging_ = false;
    bool leftDown_ = false;
    bool dragStarted_ = false;
    u32 leftPressTime_ = 0;
    int leftClicks_ = 0;
    int pressX_ = 0, pressY_ = 0;
    bool rightDown_ = false;
    bool walking_ = false;
    u32 rightPressTime_ = 0;
    int rightClicks_ = 0;
    int rightPressX_ = 0, rightPressY_ = 0;
    int lastX_ = 0, lastY_ = 0;
    u32 highlightedMobile_ = 0;
    u32 hoveredItem_ = 0;

    // The path being followed: its nodes from the start, the current node and the facing
    // noted at each node (a request in a new direction only turns the player).
    bool following_ = false;
    std::vector<ClientLocation> path_;
    std::vector<int> facing_;
    size_t node_ = 0;

    ClientLink* link_ = nullptr;
    std::vector<std::string> saidNotBuilt_;
};

// The one world-view gump, or null.
CMapGump* TheMapGump();
