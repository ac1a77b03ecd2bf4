#include "server/world/mobile_table.h"

#include <algorithm>
#include <climits>

#include "server/world/guard.h"
#include "server/world/npc.h"
#include "server/world/npc_services.h"
#include "server/world/object_manager.h"

MobileTable g_mobileTable;

MobileTable::MobileTable() : buckets_{}, cursor_(nullptr) {}
MobileTable::~MobileTable() = default;

void MobileTable::CreateGrid(int x0, int y0, int width, int height) {
    // The far corner in 64 bits: a corner near the top of the int range must not overflow
    // (the configuration refuses such worlds; the grid stays safe without it).
    auto last = [](int first, int size) {
        const s64 end = static_cast<s64>(first) + size - 1;
        return static_cast<int>(std::clamp<s64>(end, INT_MIN, INT_MAX));
    };
    // NPCs filed in the old grid are filed again in the new one.
    std::vector<CNPC*> filed;
    for (CNPC* head : buckets_)
        for (CNPC* npc = head; npc; npc = npc->tableNext)
            if (npc->gridSlot.filed) filed.push_back(npc);
    for (CNPC* npc : filed)
        npc->gridSlot.filed = false;
    grid_ = std::make_unique<NpcGrid>(x0, y0, last(x0, width), last(y0, height), kGridShift);
    // The guards' own grid covers the same rectangle.
    g_guardList.CreateGrid(x0, y0, last(x0, width), last(y0, height));
    for (CNPC* npc : filed) {
        const Location at = npc->GetWorldLocation();
        if (grid_->Insert(npc, at.x, at.y)) npc->gridSlot = NpcGridSlot{at.x, at.y, true};
    }
}

void MobileTable::Link(CNPC* npc) {
    CNPC*& head = buckets_[npc->GetSerial() & 0x3F];
    npc->tablePrev = nullptr;
    npc->tableNext = head;
    if (head) head->tablePrev = npc;
    head = npc;
    orderStale_ = true;
}

void MobileTable::Unlink(CNPC* npc) {
    CNPC*& head = buckets_[npc->GetSerial() & 0x3F];
    if (head != npc && !npc->tablePrev) return;  // not linked
    // A running sweep goes on with the NPC after this one.
    if (cursor_ == npc) cursor_ = npc->tableNext;
    if (current_ == npc) current_ = nullptr;
    if (npc->tableOrder >= 0 && static_cast<size_t>(npc->tableOrder) < order_.size() &&
        order_[npc->tableOrder] == npc)
        order_[npc->tableOrder] = nullptr;
    npc->tableOrder = -1;
    orderStale_ = true;
    if (head == npc) head = npc->tableNext;
    if (npc->tablePrev) npc->tablePrev->tableNext = npc->tableNext;
    if (npc->tableNext) npc->tableNext->tablePrev = npc->tablePrev;
    npc->tableNext = npc->tablePrev = nullptr;
}

CNPC* MobileTable::FindMobileBySerial(u32 serial) const {
    for (CNPC* npc = buckets_[serial & 0x3F]; npc; npc = npc->tableNext) {
        if (npc->GetSerial() == serial) return npc;
    }
    return nullptr;
}

void MobileTable::NpcHeartbeatSweep() {
    // The NPCs woken since the last sweep think first, the latest woken first. The two
    // queues trade places so that their room is kept (a wake allocates nothing).
    wakeScratch_.swap(immediate_);
    for (auto it = wakeScratch_.rbegin(); it != wakeScratch_.rend(); ++it) {
        CNPC* npc = g_objectManager.FindNPC(*it);
        if (!npc) continue;
        current_ = npc;
        GetNpcServices().HeartBeat(npc);
        current_ = nullptr;
    }
    wakeScratch_.clear();
    for (int pass = 0; pass < 8; ++pass) {
        cursor_ = buckets_[rotor_];
        while (CNPC* npc = cursor_) {
            cursor_ = npc->tableNext;
            if (!npc->IsDetached() && !npc->IsContained()) {
                current_ = npc;
                GetNpcServices().HeartBeat(npc);
                current_ = nullptr;
            }
        }
        rotor_ = (rotor_ + 1) % kBucketCount;
    }
    cursor_ = nullptr;
}

void MobileTable::MakeSweepOrder() {
    for (CNPC* npc : order_)
        if (npc) npc->tableOrder = -1;
    order_.clear();
    for (CNPC* head : buckets_)
        for (CNPC* npc = head; npc; npc = npc->tableNext) {
            npc->tableOrder = static_cast<int>(order_.size());
            order_.push_back(npc);
        }
    orderStale_ = false;
}

void MobileTable::NpcStateSweep() {
    // The walk goes over a dense copy of the chains, asking for each NPC's fields a few
    // visits ahead: in a large world the NPCs lie far apart in memory and a walk along the
    // chains would wait on every one in turn.
    constexpr size_t kAhead = 8;
    if (orderStale_ && !sweeping_) MakeSweepOrder();
    const bool outerSweeping = sweeping_;
    sweeping_ = true;
    for (size_t i = 0; i < order_.size(); ++i) {
        if (i + kAhead < order_.size())
            if (const CNPC* ahead = order_[i + kAhead]) ahead->PrefetchSweepFields();
        CNPC* npc = order_[i];
        if (!npc) continue;  // unlinked by an earlier visit of this sweep
        const u32 serial = npc->GetSerial();
        const u64 stamp = g_objectManager.SerialLinkChanges();
        GetNpcServices().TickBookkeeping(npc);
        // The bookkeeping may have ended the NPC.
        if (g_objectManager.FindAgain(serial, npc, stamp) != npc) continue;
        if (!npc->IsDetached() && !npc->IsContained()) {
            current_ = npc;
            GetNpcServices().ExecuteNpcState(npc);
            current_ = nullptr;
        }
    }
    sweeping_ = outerSweeping;
}

void MobileTable::PlaceNewMobile(const MobileCreationRecord& record, CMobile* mobile) {
    if (!mobile) return;
    mobile->SetBodyType(record.type);
    mobile->PlaceInWorld(record.at);
}
