#pragma once
// CGuard: the NPC that answers a call for the guards. Every guard is kept in one list (the
// guard list, with a cursor a walk over it may leave on a guard that goes away) and, while it
// stands in the world, in a grid of its own so that "the guards near this place" needs no
// walk over every NPC. A guard from a template stays for good; one made on the spot carries a
// leave countdown in pulses and goes when it runs out (the countdown's rules are in
// server/rules/guard.cpp).
#include <memory>
#include <vector>

#include "core/spatial_grid.h"
#include "server/world/npc.h"

// The leave countdown of a guard that never leaves.
constexpr u16 kGuardStays = 0xFFFF;

class CGuard : public CNPC {
public:
    CGuard();
    ~CGuard() override;
    void PlaceInWorld(const Location& at) override;
    void PlaceInWorldQuiet(const Location& at) override;
    void RemoveFromWorld() override;
    void RemoveFromWorldQuiet() override;
    void DeleteSelf() override;
    bool IsGuard() const override { return true; }

    // Pulses left before the guard leaves; kGuardStays for a guard that stays.
    u16 GetLeaveCountdown() const { return leaveCountdown_; }
    void SetLeaveCountdown(u16 pulses) { leaveCountdown_ = pulses; }
    // One pulse of the countdown (run first in the guard's state step): renewed while the
    // guard fights, else counted down; at 0 the guard leaves in a flash. True when the guard
    // was deleted (the caller must not touch it again). Body in server/rules/guard.cpp.
    bool TickLeaveCountdown();

    // The guard list's links.
    CGuard* nextGuard = nullptr;
    CGuard* prevGuard = nullptr;
    // The guard's place in the guard grid.
    NpcGridSlot guardSlot;

private:
    void FileInGuardGrid();
    void TakeOutOfGuardGrid();
    u16 leaveCountdown_ = kGuardStays;
};

class CGuardList {
public:
    // 64-tile cells, like the NPC grid.
    static constexpr int kGridShift = 6;
    using GuardGrid = SpatialGrid<CGuard, std::vector<CGuard*>>;

    CGuardList();
    ~CGuardList();
    CGuardList(const CGuardList&) = delete;
    CGuardList& operator=(const CGuardList&) = delete;

    // Called by the guard's constructor and destructor; a destroyed guard under the cursor
    // moves the cursor on to the next one.
    void Link(CGuard* guard);
    void Unlink(CGuard* guard);
    CGuard* GetFirst() const { return head_; }
    CGuard* GetCursor() const { return cursor_; }
    void SetCursor(CGuard* guard) { cursor_ = guard; }
    // Live guards.
    int Count() const;

    // The grid over the world rectangle (made with the NPC grid); guards standing in the world
    // are filed again in the new one. Null before it is made.
    void CreateGrid(int x0, int y0, int lastX, int lastY);
    GuardGrid* GetGrid() { return grid_.get(); }
    // The guards in the world within `radius` tiles (Chebyshev) of the place, nearest first
    // (ties in grid order).
    void CollectNear(const Location& at, int radius, std::vector<CGuard*>& out) const;

private:
    CGuard* head_ = nullptr;
    CGuard* cursor_ = nullptr;
    std::unique_ptr<GuardGrid> grid_;
};

extern CGuardList g_guardList;
