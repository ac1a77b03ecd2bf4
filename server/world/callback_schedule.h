#pragma once
// When the objects with timed callbacks are next visited, so that a pulse visits only the
// objects whose earliest callback is due instead of every object that waits.
//
// Pending order: an object joins it when it gains callbacks (or is put back into the world)
// and keeps its place while it has callbacks and is found by serial; when the start of a
// pulse finds it without callbacks or not found, it leaves, and comes back at the end. The
// due objects of one pulse are visited in this order.
//
// Countdown: a visit counts every callback of the object down by one (after firing the ones
// at 0). An object is visited on every pulse while it is on the pending order, found, has
// callbacks and is in the world; a detached or unfound object is not visited, so its
// countdown stands still. Rather than counting every object down on every pulse, a visited
// object's nodes hold their ticks as of `sync` (the pulse of its next visit when they were
// last brought up to date) and the pulses since are subtracted on use. An object with a
// callback at 0 or below (one whose action is not built stays there) is visited each pulse.
//
// The pulse count is 64-bit: at four pulses a second it does not wrap.
#include <cstdint>
#include <set>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

struct TimedCallback;

class CallbackSchedule {
public:
    // Puts the serial on the pending order when it is not there, then as Update.
    void Join(u32 serial, TimedCallback** head);
    // The object's list, its place in the world or its place in the serial index changed:
    // re-reads them (`head` is the object's own list, or null to take the list of the object
    // found by the serial) and pauses, starts or re-times its countdown.
    void Update(u32 serial, TimedCallback** head);
    // Brings the stored ticks of the object's nodes up to its next visit.
    void Settle(u32 serial, TimedCallback* head);
    // The ticks a node has left (what its next visit starts from).
    s32 TicksLeft(const TimedCallback& node) const;
    // One pulse: `visit` runs for every object due now, in pending order.
    void RunPulse(void (*visit)(u32 serial));
    // Called by a visit once it has counted the object's callbacks down.
    void Visited(u32 serial);
    int PendingCount() const { return static_cast<int>(owners_.size()); }

private:
    struct Owner {
        std::uint64_t order = 0;
        bool running = false;  // pending, found, with callbacks and in the world
        std::int64_t sync = 0;
        std::int64_t badSince = -1;  // the pulse count when seen without callbacks or unfound
        std::int64_t due = -1;       // its key in due_ while running
    };
    using DueKey = std::tuple<std::int64_t, std::uint64_t, u32>;  // pulse, order, serial

    std::int64_t NextVisit(const Owner& owner) const;
    std::int64_t Elapsed(const Owner& owner) const;
    void SettleOwner(Owner& owner, TimedCallback* head);
    void Requeue(u32 serial, Owner& owner, const TimedCallback* head);
    void Unqueue(u32 serial, Owner& owner);
    void DropLapsed();

    std::unordered_map<u32, Owner> owners_;
    std::set<DueKey> due_;
    std::vector<u32> suspects_;  // owners seen without callbacks or unfound since the last pulse
    std::int64_t pulses_ = 0;    // pulses begun
    std::uint64_t nextOrder_ = 1;
    bool inPulse_ = false;
    std::uint64_t turn_ = 0;      // in a pulse: the orders up to this one have had their turn
    std::uint64_t runLimit_ = 0;  // in a pulse: orders from here joined after it began
    u32 visiting_ = 0;
    bool visitingSet_ = false;
};
