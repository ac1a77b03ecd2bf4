#pragma once
// Combat lists: every mobile keeps whom it attacks (its combat list) and who attacked it (its
// aggressor list) as serials with a countdown; the mobile manager keeps the list of all
// mobiles and runs the combat heartbeat over it with a cursor that survives the deletion of
// any mobile during a combat step.
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CMobile;

struct SerialTimer {
    u32 serial;
    u16 timeout;
};

class AttackList {
public:
    static constexpr u16 kTimeout = 120;
    // Absent: appended with the full timeout, true. Present: timeout reset, false.
    bool Add(u32 serial);
    // Appends an entry as it was saved (its own timeout), even when the serial is there.
    void AddSaved(u32 serial, u16 timeout) { entries_.push_back({serial, timeout}); }
    // Sets the entry's timeout back to the full one where it stands (nothing when absent).
    void Refresh(u32 serial);
    void Remove(u32 serial);
    bool Contains(u32 serial) const;
    // Drops every entry whose timeout is 0 and counts every other one down.
    void Expire();
    // An entry is present when its serial names a mobile in the world, alive when that mobile
    // is no ghost besides, visible when it is not hidden either. The first such entry, or the
    // one nearest the place (the earlier entry among equals); null when there is none.
    const SerialTimer* FirstVisible() const;
    const SerialTimer* FirstAlive() const;
    const SerialTimer* NearestVisible(const Location& from) const;
    const SerialTimer* NearestAlive(const Location& from) const;
    void Clear() { entries_.clear(); }
    bool IsEmpty() const { return entries_.empty(); }
    const std::vector<SerialTimer>& Entries() const { return entries_; }

private:
    const SerialTimer* First(bool visible) const;
    const SerialTimer* Nearest(const Location& from, bool visible) const;
    std::vector<SerialTimer> entries_;
};

class CMobileManager {
public:
    CMobile* GetFirstMobile() const { return head_; }
    // The combat step of every mobile standing free in the world (detached, contained and
    // ridden mobiles are skipped); on pulses with bit 2 set both lists are aged first.
    void CombatHeartBeat(s32 pulse);
    // Every 4800th pulse: each non-zero light duration counts down; at 0 the light goes off.
    void CountDownLights();
    // The mobile a running heartbeat visits next; null outside a heartbeat.
    CMobile* GetCursor() const;
    // The atrophy sweep (nothing calls it): the fill puts every mobile's serial on the list
    // when it is empty; the sweep takes at most 50 from its back and runs skill and stat
    // atrophy on each that still names a mobile (atrophy_sweep.cpp).
    void FillAtrophyList();
    void SweepAtrophy();
    const std::vector<u32>& GetAtrophyList() const { return atrophy_; }

private:
    friend class CMobile;
    void Link(CMobile* mobile);
    void Unlink(CMobile* mobile);
    // The heartbeat walks a dense copy of the list, made again after a link or an unlink, and
    // asks for each mobile's fields a few visits ahead: in a large world the mobiles lie far
    // apart in memory, and a walk along the links would wait on every one in turn. A mobile
    // unlinked during a walk leaves a null behind; one linked during it joins the list's head,
    // which the walk has passed.
    void MakeOrder();
    CMobile* head_ = nullptr;
    std::vector<CMobile*> order_;
    bool orderStale_ = true;
    bool walking_ = false;
    size_t next_ = 0;  // the order's index the walk visits next
    std::vector<u32> atrophy_;
};

extern CMobileManager g_mobileManager;
