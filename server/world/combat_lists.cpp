#include "server/world/combat_lists.h"

#include <algorithm>

#include "core/log_sink.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/rules_services.h"

CMobileManager g_mobileManager;

bool AttackList::Add(u32 serial) {
    for (SerialTimer& e : entries_) {
        if (e.serial == serial) {
            e.timeout = kTimeout;
            return false;
        }
    }
    entries_.push_back({serial, kTimeout});
    return true;
}

void AttackList::Remove(u32 serial) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [serial](const SerialTimer& e) { return e.serial == serial; }),
                   entries_.end());
}

void AttackList::Refresh(u32 serial) {
    for (SerialTimer& e : entries_) {
        if (e.serial == serial) {
            e.timeout = kTimeout;
            return;
        }
    }
}

bool AttackList::Contains(u32 serial) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [serial](const SerialTimer& e) { return e.serial == serial; });
}

namespace {

// The entry's mobile when it is present and alive (and, when asked, visible); else null.
const CItem* FightableMobile(u32 serial, bool visible) {
    const CItem* object = g_objectManager.FindBySerial(serial);
    if (!object || !object->IsMobile() || object->IsDetached() || object->IsGhost()) return nullptr;
    if (visible && object->IsHidden()) return nullptr;
    return object;
}

}  // namespace

const SerialTimer* AttackList::First(bool visible) const {
    for (const SerialTimer& e : entries_) {
        if (FightableMobile(e.serial, visible)) return &e;
    }
    return nullptr;
}

const SerialTimer* AttackList::Nearest(const Location& from, bool visible) const {
    const SerialTimer* best = nullptr;
    int bestDistance = 0xFFFF;
    for (const SerialTimer& e : entries_) {
        const CItem* mobile = FightableMobile(e.serial, visible);
        if (!mobile) continue;
        const int d = ChebyshevDistanceWrapped(from, mobile->GetWorldLocation());
        if (d < bestDistance) {
            bestDistance = d;
            best = &e;
        }
    }
    return best;
}

const SerialTimer* AttackList::FirstVisible() const {
    return First(true);
}

const SerialTimer* AttackList::FirstAlive() const {
    return First(false);
}

const SerialTimer* AttackList::NearestVisible(const Location& from) const {
    return Nearest(from, true);
}

const SerialTimer* AttackList::NearestAlive(const Location& from) const {
    return Nearest(from, false);
}

void AttackList::Expire() {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const SerialTimer& e) { return e.timeout == 0; }),
                   entries_.end());
    for (SerialTimer& e : entries_)
        --e.timeout;
}

void CMobileManager::Link(CMobile* mobile) {
    mobile->nextMobile_ = head_;
    mobile->prevMobile_ = nullptr;
    if (head_) head_->prevMobile_ = mobile;
    head_ = mobile;
    orderStale_ = true;
}

void CMobileManager::Unlink(CMobile* mobile) {
    // A heartbeat about to visit this mobile goes on with the one after it.
    const int at = mobile->managerOrder_;
    if (at >= 0 && static_cast<size_t>(at) < order_.size() && order_[at] == mobile)
        order_[at] = nullptr;
    mobile->managerOrder_ = -1;
    orderStale_ = true;
    if (mobile->prevMobile_) {
        mobile->prevMobile_->nextMobile_ = mobile->nextMobile_;
    } else if (head_ == mobile) {
        head_ = mobile->nextMobile_;
    }
    if (mobile->nextMobile_) mobile->nextMobile_->prevMobile_ = mobile->prevMobile_;
    mobile->nextMobile_ = mobile->prevMobile_ = nullptr;
}

void CMobileManager::MakeOrder() {
    for (CMobile* m : order_)
        if (m) m->managerOrder_ = -1;
    order_.clear();
    for (CMobile* m = head_; m; m = m->nextMobile_) {
        m->managerOrder_ = static_cast<int>(order_.size());
        order_.push_back(m);
    }
    orderStale_ = false;
}

CMobile* CMobileManager::GetCursor() const {
    if (!walking_) return nullptr;
    for (size_t i = next_; i < order_.size(); ++i)
        if (order_[i]) return order_[i];
    return nullptr;
}

void CMobileManager::CombatHeartBeat(s32 pulse) {
    // A heartbeat started from within a combat step walks the whole order too, then the
    // outer one goes on where it was.
    if (walking_) {
        GetLogSink().Log(0, 0, 0, "", "badness", "error",
                         "CMobileManager::CombatHeartBeat() nextCombatMobile not NULL!");
    }
    constexpr size_t kAhead = 8;
    if (orderStale_ && !walking_) MakeOrder();
    const bool outerWalking = walking_;
    const size_t outerNext = next_;
    walking_ = true;
    // The order is not made again during a walk (a link or unlink only marks it stale), so
    // its size and entries stay put but for the nulls unlinking leaves.
    const size_t count = order_.size();
    for (next_ = 0; next_ < count;) {
        if (next_ + kAhead < count)
            if (const CMobile* ahead = order_[next_ + kAhead]) ahead->PrefetchCombatFields();
        CMobile* m = order_[next_++];
        if (!m || m->IsDetached() || m->GetContainer()) continue;
        if (pulse & 4) m->AgeCombatLists();
        GetRulesServices().CombatStep(m);
    }
    walking_ = outerWalking;
    next_ = outerNext;
}

void CMobileManager::CountDownLights() {
    for (CMobile* m = head_; m; m = m->nextMobile_) {
        if (m->GetLightDuration() == 0) continue;
        m->SetLightDurationField(m->GetLightDuration() - 1);
        if (m->GetLightDuration() == 0) m->SetLightLevel(0, 0);
    }
}
