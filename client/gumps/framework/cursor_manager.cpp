#include "client/gumps/framework/cursor_manager.h"

#include "client/app/client_app.h"
#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"

CursorManager& TheCursorManager() {
    // Never destroyed, like the desktop whose gumps it routes to.
    static CursorManager* manager = new CursorManager;
    return *manager;
}

void CursorManager::Reset() {
    *this = CursorManager();
}

void CursorManager::MoveTo(int x, int y) {
    // No cursor pictures yet: the hot spot is the mouse position.
    x_ = x;
    y_ = y;
}

void CursorManager::ToCaptured(void (CGump::*handler)(int, int)) {
    if (captured_ == nullptr) return;
    int lx = x_, ly = y_;
    captured_->ScreenToLocal(lx, ly);
    (captured_->*handler)(lx, ly);
}

void CursorManager::OnLeftDown(int x, int y) {
    MoveTo(x, y);
    if (captured_ == nullptr) captured_ = TheGumpDesktop().GumpAt(x_, y_, nullptr, true);
    ToCaptured(&CGump::OnLeftDown);
}

void CursorManager::OnLeftUp(int x, int y) {
    MoveTo(x, y);
    ToCaptured(&CGump::OnLeftUp);
}

void CursorManager::OnRightDown(int x, int y) {
    MoveTo(x, y);
    if (captured_ == nullptr) captured_ = TheGumpDesktop().RightClickGumpAt(x_, y_);
    ToCaptured(&CGump::OnRightDown);
}

void CursorManager::OnRightUp(int x, int y) {
    MoveTo(x, y);
    ToCaptured(&CGump::OnRightUp);
}

void CursorManager::TickHover() {
    CGumpDesktop& desktop = TheGumpDesktop();
    ToCaptured(&CGump::OnDrag);
    CGump* const over = desktop.GumpAt(x_, y_, nullptr, false);
    if (desktop.hoverGump != nullptr && desktop.hoverGump != over)
        desktop.hoverGump->OnMouseLeave();
    desktop.hoverGump = over;
    // Each handler may delete gumps; the desktop clears its hover slot and the capture when
    // they go, so both are read again after every call.
    if (desktop.hoverGump != nullptr) {
        int lx = x_, ly = y_;
        desktop.hoverGump->ScreenToLocal(lx, ly);
        desktop.hoverGump->OnMouseOver(lx, ly);
        if (desktop.hoverGump != nullptr) desktop.hoverGump->OnHover();
    }
    if (captured_ != nullptr) captured_->OnHover();
}

void CursorManager::ReleaseGump(CGump* gump) {
    if (captured_ == gump) captured_ = nullptr;
}

void CursorManager::SetShape(int shape, bool forceInWorld) {
    CClientApp* app = CClientApp::Instance();
    const bool inWorld = forceInWorld || (app != nullptr && app->inGame);
    if (!inWorld) shape = 17;
    if (shape == 20 && waitCount_ == 0) waitCount_ = 1;
    requestedShape_ = waitCount_ > 0 ? 20 : shape;
    shapeRequests_.push_back(requestedShape_);
    if (shapeRequests_.size() > 4096)
        shapeRequests_.erase(shapeRequests_.begin(), shapeRequests_.begin() + 2048);
}
