#include "server/world/guard.h"

#include <algorithm>

#include "server/world/rules_services.h"

CGuardList g_guardList;

// ---------------------------------------------------------------- the guard

CGuard::CGuard() {
    g_guardList.Link(this);
    SetState(kNpcIdle);
    ++GetNpcCounters().guards;
}

CGuard::~CGuard() {
    // The NPC's destructor takes it out of the world through its own operations only: the
    // guard grid must not keep a pointer to a guard that is going.
    TakeOutOfGuardGrid();
    g_guardList.Unlink(this);
    --GetNpcCounters().guards;
}

void CGuard::FileInGuardGrid() {
    CGuardList::GuardGrid* grid = g_guardList.GetGrid();
    if (!grid || guardSlot.filed) return;
    const Location at = GetWorldLocation();
    if (grid->Insert(this, at.x, at.y)) guardSlot = NpcGridSlot{at.x, at.y, true};
}

void CGuard::TakeOutOfGuardGrid() {
    CGuardList::GuardGrid* grid = g_guardList.GetGrid();
    if (grid && guardSlot.filed) grid->Remove(this, guardSlot.x, guardSlot.y);
    guardSlot.filed = false;
}

void CGuard::PlaceInWorld(const Location& at) {
    CNPC::PlaceInWorld(at);
    FileInGuardGrid();
}

void CGuard::PlaceInWorldQuiet(const Location& at) {
    CNPC::PlaceInWorldQuiet(at);
    // A valueless guard's expiry is scheduled by the item's own placement.
    FileInGuardGrid();
}

void CGuard::RemoveFromWorld() {
    TakeOutOfGuardGrid();
    CNPC::RemoveFromWorld();
}

void CGuard::RemoveFromWorldQuiet() {
    TakeOutOfGuardGrid();
    CNPC::RemoveFromWorldQuiet();
}

void CGuard::DeleteSelf() {
    CNPC::DeleteSelf();
}

// ---------------------------------------------------------------- the list

CGuardList::CGuardList() = default;
CGuardList::~CGuardList() = default;

void CGuardList::Link(CGuard* guard) {
    guard->prevGuard = nullptr;
    guard->nextGuard = head_;
    if (head_) head_->prevGuard = guard;
    head_ = guard;
}

void CGuardList::Unlink(CGuard* guard) {
    if (head_ != guard && !guard->prevGuard) return;  // not linked
    if (cursor_ == guard) cursor_ = guard->nextGuard;
    if (head_ == guard) head_ = guard->nextGuard;
    if (guard->prevGuard) guard->prevGuard->nextGuard = guard->nextGuard;
    if (guard->nextGuard) guard->nextGuard->prevGuard = guard->prevGuard;
    guard->nextGuard = guard->prevGuard = nullptr;
}

int CGuardList::Count() const {
    return GetNpcCounters().guards;
}

void CGuardList::CreateGrid(int x0, int y0, int lastX, int lastY) {
    std::vector<CGuard*> filed;
    for (CGuard* g = head_; g; g = g->nextGuard) {
        if (g->guardSlot.filed) filed.push_back(g);
        g->guardSlot.filed = false;
    }
    grid_ = std::make_unique<GuardGrid>(x0, y0, lastX, lastY, kGridShift);
    for (CGuard* g : filed) {
        const Location at = g->GetWorldLocation();
        if (grid_->Insert(g, at.x, at.y)) g->guardSlot = NpcGridSlot{at.x, at.y, true};
    }
}

void CGuardList::CollectNear(const Location& at, int radius, std::vector<CGuard*>& out) const {
    if (!grid_) return;
    const size_t first = out.size();
    grid_->CollectInRadius(out, at.x, at.y, radius);
    std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                     [&](const CGuard* a, const CGuard* b) {
                         return a->DistanceTo(at.x, at.y) < b->DistanceTo(at.x, at.y);
                     });
}
