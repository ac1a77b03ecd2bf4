#include "client/gumps/windows/map_gump.h"

#include <algorithm>
#include <cstdlib>

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/gumps/windows/map_gump_walker.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/target_cursor.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/walk_queue.h"
#include "core/packet_writer.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/window_backend.h"

namespace {

CMapGump* g_mapGump = nullptr;

constexpr int kMoveSlop = 4;
constexpr int kMaxQueuedOnPath = 3;
constexpr u32 kItemSerialBit = 0x40000000;

u32 SerialOf(const CClientObject* object) {
    if (object == nullptr || !object->IsServerObject()) return 0;
    return static_cast<const CClientItem*>(object)->serial;
}

bool InWarMode() {
    const CClientPlayer* player = ThePlayer();
    return player != nullptr && player->warMode != 0;
}

bool Targeting() {
    return TheClientWorld().targeting;
}

u32 DoubleClickTime() {
    return platform::Backend().DoubleClickTimeMs();
}

void InvalidateSerial(u32 serial) {
    if (serial == 0) return;
    if (const CClientObject* o = TheClientWorld().FindBySerial(serial)) o->Invalidate();
}

}  // namespace

CMapGump* TheMapGump() {
    return g_mapGump;
}

CMapGump::CMapGump() : CGump(0, 0, nullptr, 0, 1, kScreenWidth, kScreenHeight) {
    kindLabel = "map gump";
    visible = false;
    g_mapGump = this;
}

CMapGump::~CMapGump() {
    if (g_mapGump == this) g_mapGump = nullptr;
}

bool CMapGump::ContainsPoint(int px, int py) {
    return px >= 0 && px < kScreenWidth && py >= 0 && py < kScreenHeight;
}

void CMapGump::Tick() {
    // Shown once the player is in the game, hidden again when it leaves.
    visible = GetGumpHostServices().InGame();
}

bool CMapGump::Moved(int px, int py, int fromX, int fromY) {
    return std::abs(px - fromX) > kMoveSlop || std::abs(py - fromY) > kMoveSlop;
}

void CMapGump::SayNotBuilt(const char* what) {
    if (std::find(saidNotBuilt_.begin(), saidNotBuilt_.end(), what) != saidNotBuilt_.end()) return;
    saidNotBuilt_.emplace_back(what);
    LogClientError("world view", (std::string(what) + ": not built yet").c_str());
}

void CMapGump::Send(const PacketWriter& packet) {
    ClientLink* link = link_ != nullptr ? link_ : TheClientLink();
    if (link != nullptr) link->Send(packet);
}

void CMapGump::SendUse(u32 serial) {
    u8 buffer[8];
    PacketWriter w(buffer, sizeof buffer);
    BuildUseObjectPacket(w, serial);
    Send(w);
}

void CMapGump::BarkOverPlayer(const std::string& text) {
    if (CClientPlayer* player = ThePlayer()) player->AddBark(text, 0, 3, 0);
}

// --- Left button
// ----------------------------------------------------------------------------------

void CMapGump::OnLeftDown(int px, int py) {
    if (TheWorldHooks().MultiPreviewLoaded()) SayNotBuilt("multi placement preview");
    leftDown_ = true;
    if (leftClicks_ == 1) {
        leftClicks_ = 2;
    } else {
        leftClicks_ = 1;
        leftPressTime_ = platform::NowMs();
        pendingSerial_ = SerialOf(TheMapGumpWalker().PickWorldObject(px, py));
    }
    pressX_ = px;
    pressY_ = py;
}

void CMapGump::OnDrag(int px, int py) {
    if (rightDown_ && rightClicks_ > 0 && Moved(px, py, rightPressX_, rightPressY_))
        rightClicks_ = 0;
    if (leftDown_ && leftClicks_ > 0 && Moved(px, py, pressX_, pressY_)) {
        dragging_ = true;
        leftClicks_ = 0;
        BeginDrag(pressX_, pressY_);
    }
    lastX_ = px;
    lastY_ = py;
}

void CMapGump::OnHover() {
    if (rightDown_ || walking_) {
        walking_ = false;
        WalkTowardPointer();
    }
    const u32 now = platform::NowMs();
    if (rightClicks_ == 1 && now - rightPressTime_ > DoubleClickTime()) rightClicks_ = 0;
    if (leftClicks_ == 1 && now - leftPressTime_ > DoubleClickTime()) {
        leftClicks_ = 0;
        pendingSerial_ = 0;
        if (!leftDown_) {
            OnClick(pressX_, pressY_);
        } else {
            dragging_ = true;
            BeginDrag(pressX_, pressY_);
        }
    }
}

void CMapGump::OnLeftUp(int px, int py) {
    leftDown_ = false;
    if (dragging_) {
        dragging_ = false;
        leftClicks_ = 0;
    } else if (leftClicks_ == 2) {
        leftClicks_ = 0;
        const u32 serial = pendingSerial_;
        pendingSerial_ = 0;
        CClientObject* object = serial != 0 ? TheClientWorld().FindBySerial(serial) : nullptr;
        if (object != nullptr) {
            OnDoubleClickObject(object);
        } else {
            OnDoubleClickAt(px, py);
        }
    } else if (!dragStarted_ && leftClicks_ == 0) {
        OnClick(px, py);
    }
    dragStarted_ = false;
    ReleaseCapture();
}

// --- Right button
// ---------------------------------------------------------------------------------

void CMapGump::WalkTowardPointer() {
    CursorManager& cursor = TheCursorManager();
    TheMapGumpWalker().WalkToward(cursor.GetMouseDirection(), !cursor.IsNearCentre());
}

void CMapGump::OnRightDown(int px, int py) {
    rightDown_ = true;
    if (rightClicks_ == 0) {
        rightClicks_ = 1;
        rightPressTime_ = platform::NowMs();
    } else {
        rightClicks_ = 2;
    }
    rightPressX_ = px;
    rightPressY_ = py;
    walking_ = true;
}

void CMapGump::OnRightUp(int px, int py) {
    rightDown_ = false;
    if (rightClicks_ == 2) {
        rightClicks_ = 0;
        PathfindTo(px, py);
        // The capture goes too: a later press over another window must reach that window.
        ReleaseCapture();
        return;
    }
    if (walking_ && rightClicks_ == 0) {
        // A step still being shown: the walk waits for the next tick, the capture stays.
        if (TheMapGumpWalker().Busy()) return;
        walking_ = false;
        WalkTowardPointer();
    }
    CGump* captured = TheCursorManager().Captured();
    if (captured == nullptr || !captured->IsKind(GumpKind::kDrag)) ReleaseCapture();
}

// --- Paths
// ----------------------------------------------------------------------------------------

void CMapGump::EndPath() {
    following_ = false;
    path_.clear();
    facing_.clear();
    node_ = 0;
}

void CMapGump::PathfindTo(int px, int py) {
    if (!TheClientSettings().options.allowPathfind || following_) return;
    MapGumpWalker& walker = TheMapGumpWalker();
    if (walker.Busy()) return;
    ClientLocation goal;
    if (!walker.PickLocation(px, py, goal)) return;
    std::vector<ClientLocation> path;
    if (!walker.PathTo(goal, path) || path.empty()) {
        BarkOverPlayer("Can't get there");
        EndPath();
        return;
    }
    path_ = std::move(path);
    facing_.assign(path_.size(), -1);
    node_ = 0;
    following_ = true;
    const CClientPlayer* player = ThePlayer();
    facing_[0] = player != nullptr ? (player->direction & 7) : 0;
    BarkOverPlayer("Pathfinding!");
}

void CMapGump::FollowPathStep() {
    MapGumpWalker& walker = TheMapGumpWalker();
    if (!following_ || walker.QueuedSteps() >= kMaxQueuedOnPath) return;
    if (node_ + 1 >= path_.size()) {
        EndPath();
        return;
    }
    const ClientLocation& at = path_[node_];
    const ClientLocation& next = path_[node_ + 1];
    const int d = WalkDirectionOf(next.x - at.x, next.y - at.y);
    // Facing the way already: this request moves the player on to the next node.
    if (d == facing_[node_]) ++node_;
    facing_[node_] = d;
    if (d < 0) return;
    walker.RequestWalk(d, !TheCursorManager().IsNearCentre());
}

// --- Actions
// --------------------------------------------------------------------------------------

void CMapGump::OnClick(int px, int py) {
    if (Targeting()) {
        ClientLink* link = link_ != nullptr ? link_ : TheClientLink();
        if (link != nullptr) link->Target().TargetPicked(TheMapGumpWalker().PickAnyObject(px, py));
        return;
    }
    CClientObject* object = TheMapGumpWalker().PickWorldObject(px, py);
    if (object == nullptr) return;
    const platform::WindowBackend& keys = platform::Backend();
    if (keys.IsKeyDown(platform::kVkMenu) && !keys.IsKeyDown(platform::kVkControl) &&
        object->IsMobile()) {
        CClientPlayer* player = ThePlayer();
        if (player == nullptr) return;
        if (object == player) {
            BarkOverPlayer(player->following ? "Stopped following." : "Not following.");
            player->following = 0;
            player->followedSerial = 0;
            EndPath();
        } else {
            BarkOverPlayer("Now following.");
            player->following = 1;
            player->followedSerial = SerialOf(object);
        }
        return;
    }
    if (!object->IsServerObject()) {
        TheClientWorld().ShowObjectName(object);
        return;
    }
    u8 buffer[8];
    PacketWriter w(buffer, sizeof buffer);
    BuildLookAtPacket(w, SerialOf(object));
    Send(w);
}

void CMapGump::OnDoubleClickAt(int px, int py) {
    OnDoubleClickObject(TheMapGumpWalker().PickWorldObject(px, py));
}

void CMapGump::OnDoubleClickObject(CClientObject* object) {
    if (object == nullptr || !object->IsServerObject() || Targeting()) return;
    const u32 serial = SerialOf(object);
    if (object == ThePlayer() || (object->IsMobile() && !InWarMode())) {
        SendUse(serial);
        return;
    }
    if ((serial & kItemSerialBit) != 0) {
        if (!object->IsCorpse()) {
            SendUse(serial);
            return;
        }
        // Corpses lying on one another open together.
        for (CClientItem* item = TheClientWorld().serverHead; item != nullptr;
             item = item->serverNext) {
            if (item->IsCorpse() && item->loc == object->loc && item->inCell) SendUse(item->serial);
        }
        return;
    }
    if (object->IsMobile()) {
        const auto* mobile = static_cast<const CClientMobile*>(object);
        if (TheClientSettings().options.notorietyQuery && mobile->GetNotorietyLevel() == 1) {
            SayNotBuilt("attack question");
            return;
        }
        u8 buffer[8];
        PacketWriter w(buffer, sizeof buffer);
        BuildAttackRequestPacket(w, serial);
        Send(w);
    }
}

void CMapGump::BeginDrag(int px, int py) {
    dragStarted_ = true;
    const CClientPlayer* player = ThePlayer();
    if (player != nullptr && player->IsGhost()) {
        dragging_ = false;
        leftClicks_ = 0;
        return;
    }
    CClientObject* object = TheMapGumpWalker().PickWorldObject(px, py);
    if (object != nullptr && object->IsMobile()) {
        // The mobile's health bar comes out on the pointer, and its status is asked for.
        const u32 serial = SerialOf(object);
        TearOffStatusBar(serial);
        u8 buffer[16];
        PacketWriter w(buffer, sizeof buffer);
        BuildStatusRequestPacket(w, 4, serial);
        Send(w);
        return;
    }
    CClientWorld& world = TheClientWorld();
    if (object != nullptr && !world.dragging && object->IsMovable()) world.PickUpObject(object, 0);
    dragging_ = false;
    leftClicks_ = 0;
}

// --- Hover
// ----------------------------------------------------------------------------------------

void CMapGump::OnMouseOver(int px, int py) {
    TheCursorManager().SetShape(Targeting() ? CursorManager::kShapeTarget : 0);
    lastX_ = px;
    lastY_ = py;
    const CClientObject* object = TheMapGumpWalker().PickWorldObject(px, py);
    if (InWarMode() || Targeting()) {
        const u32 mobile =
            object != nullptr && object->IsMobile() && object != ThePlayer() ? SerialOf(object) : 0;
        if (mobile != highlightedMobile_) {
            InvalidateSerial(highlightedMobile_);
            highlightedMobile_ = mobile;
            InvalidateSerial(mobile);
        }
    }
    const u32 item =
        object != nullptr && object->IsServerObject() && object->IsMovable() ? SerialOf(object) : 0;
    if (item != hoveredItem_) {
        InvalidateSerial(hoveredItem_);
        hoveredItem_ = item;
        InvalidateSerial(item);
    }
}

void CMapGump::OnMouseLeave() {
    InvalidateSerial(highlightedMobile_);
    InvalidateSerial(hoveredItem_);
    highlightedMobile_ = 0;
    hoveredItem_ = 0;
}
