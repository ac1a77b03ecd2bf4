#include "server/world/callback_schedule.h"

#include <algorithm>

#include "script/runtime/script_world_link.h"
#include "server/world/timed_callbacks.h"

namespace {

// The ticks a node keeps after `elapsed` visits. A node at 0 or below fires at the next visit
// and is never counted further; one above counts down by one a visit, and the schedule visits
// the object before any of its nodes passes 0.
s32 AfterVisits(s32 ticks, std::int64_t elapsed) {
    const std::int64_t counted = std::min<std::int64_t>(elapsed, std::max<s32>(ticks, 0));
    return static_cast<s32>(ticks - counted);
}

}  // namespace

std::int64_t CallbackSchedule::NextVisit(const Owner& owner) const {
    // Inside a pulse, an object that was pending when the pulse began and whose turn has not
    // come yet is still visited in this pulse.
    if (inPulse_ && owner.order > turn_ && owner.order < runLimit_) return pulses_;
    return pulses_ + 1;
}

std::int64_t CallbackSchedule::Elapsed(const Owner& owner) const {
    return owner.running ? NextVisit(owner) - owner.sync : 0;
}

void CallbackSchedule::SettleOwner(Owner& owner, TimedCallback* head) {
    if (!owner.running) return;
    const std::int64_t elapsed = Elapsed(owner);
    if (elapsed > 0)
        for (TimedCallback* n = head; n; n = n->next)
            n->ticks = AfterVisits(n->ticks, elapsed);
    owner.sync = NextVisit(owner);
}

void CallbackSchedule::Unqueue(u32 serial, Owner& owner) {
    if (owner.due >= 0) due_.erase(DueKey{owner.due, owner.order, serial});
    owner.due = -1;
}

void CallbackSchedule::Requeue(u32 serial, Owner& owner, const TimedCallback* head) {
    s32 soonest = 0;
    bool first = true;
    for (const TimedCallback* n = head; n; n = n->next) {
        const s32 ticks = std::max<s32>(n->ticks, 0);
        if (first || ticks < soonest) soonest = ticks;
        first = false;
    }
    const std::int64_t due = owner.sync + soonest;
    if (due == owner.due) return;
    Unqueue(serial, owner);
    owner.due = due;
    due_.insert(DueKey{due, owner.order, serial});
}

void CallbackSchedule::Join(u32 serial, TimedCallback** head) {
    auto [it, added] = owners_.try_emplace(serial);
    if (added) it->second.order = nextOrder_++;
    Update(serial, head);
}

void CallbackSchedule::Update(u32 serial, TimedCallback** head) {
    ScriptObjectServices& link = GetScriptObjectServices();
    // The object found by the serial is the one a pulse would visit; `head` stands in for it
    // while it is out of the index.
    CBaseObject* found = link.FindBySerial(serial);
    TimedCallback** foundHead = found ? link.CallbacksOf(found) : nullptr;
    TimedCallback** own = foundHead ? foundHead : head;
    TimedCallback* first = own ? *own : nullptr;
    // The nodes name their object (whose serial may have changed), so that a list changed
    // through its head alone finds it.
    for (TimedCallback* n = first; n; n = n->next)
        n->serial = serial;
    const auto it = owners_.find(serial);
    if (it == owners_.end()) return;
    Owner& owner = it->second;
    const bool bad = !foundHead || !first;
    if (!bad) {
        owner.badSince = -1;
    } else if (owner.badSince < 0) {
        owner.badSince = pulses_;
        suspects_.push_back(serial);
    }
    const bool run = !bad && !link.IsDetached(found);
    if (owner.running && !run) {
        SettleOwner(owner, first);
        owner.running = false;
        Unqueue(serial, owner);
    } else if (!owner.running && run) {
        owner.running = true;
        owner.sync = NextVisit(owner);
    }
    if (owner.running) Requeue(serial, owner, first);
}

void CallbackSchedule::Settle(u32 serial, TimedCallback* head) {
    const auto it = owners_.find(serial);
    if (it != owners_.end()) SettleOwner(it->second, head);
}

s32 CallbackSchedule::TicksLeft(const TimedCallback& node) const {
    const auto it = owners_.find(node.serial);
    return it == owners_.end() ? node.ticks : AfterVisits(node.ticks, Elapsed(it->second));
}

void CallbackSchedule::Visited(u32 serial) {
    const auto it = owners_.find(serial);
    if (it == owners_.end()) return;
    Owner& owner = it->second;
    if (inPulse_ && visitingSet_ && serial == visiting_) turn_ = owner.order;
    if (owner.running) owner.sync = NextVisit(owner);
}

// The start of a pulse drops the objects found without callbacks or unfound since the last.
void CallbackSchedule::DropLapsed() {
    std::vector<u32> suspects;
    suspects.swap(suspects_);
    for (u32 serial : suspects) {
        const auto it = owners_.find(serial);
        if (it == owners_.end()) continue;
        Owner& owner = it->second;
        if (owner.badSince < 0 || pulses_ <= owner.badSince) continue;
        Unqueue(serial, owner);
        owners_.erase(it);
    }
}

void CallbackSchedule::RunPulse(void (*visit)(u32 serial)) {
    ++pulses_;
    DropLapsed();
    inPulse_ = true;
    runLimit_ = nextOrder_;
    turn_ = 0;
    while (!due_.empty() && std::get<0>(*due_.begin()) <= pulses_) {
        const auto [at, order, serial] = *due_.begin();
        due_.erase(due_.begin());
        const auto it = owners_.find(serial);
        if (it == owners_.end()) continue;
        it->second.due = -1;
        turn_ = order - 1;
        visiting_ = serial;
        visitingSet_ = true;
        visit(serial);
        visitingSet_ = false;
        turn_ = order;
        // A visit that did not re-time the object (it was not reached): it is read again, and
        // waits for the next pulse at the latest, never again in this one.
        const auto again = owners_.find(serial);
        if (again == owners_.end() || again->second.due >= 0) continue;
        Update(serial, nullptr);
        Owner& owner = again->second;  // Update erases nothing
        if (owner.running && owner.due <= pulses_) {
            ScriptObjectServices& link = GetScriptObjectServices();
            CBaseObject* found = link.FindBySerial(serial);
            TimedCallback** head = found ? link.CallbacksOf(found) : nullptr;
            Unqueue(serial, owner);
            SettleOwner(owner, head ? *head : nullptr);
            Requeue(serial, owner, head ? *head : nullptr);
        }
    }
    inPulse_ = false;
}
