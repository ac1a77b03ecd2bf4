#include "server/world/npc.h"

#include <algorithm>
#include <cstdlib>

#include "core/random_numbers.h"
#include "core/spatial_grid.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/mobile_table.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player_walk_state.h"
#include "server/world/resource_entry.h"
#include "server/world/rules_services.h"
#include "server/world/sector_grid.h"

namespace {

constexpr const char* kStateNames[kNpcStateCount] = {
    "Seek Food", "Seek Shelter", "Purse Shelter", "Seek Desires", "Purse Desires",
    "Eat Food",  "Loiter",       "Runaway",       "Talking",      "Attack Target",
    "Idle",      "Wander",       "Sleep",         "Following",
};

void FileInGrid(CNPC* npc) {
    SpatialGrid<CNPC, std::vector<CNPC*>>* grid = g_mobileTable.GetGrid();
    if (!grid || npc->gridSlot.filed) return;
    const Location at = npc->GetWorldLocation();
    if (grid->Insert(npc, at.x, at.y)) npc->gridSlot = NpcGridSlot{at.x, at.y, true};
}

void TakeOutOfGrid(CNPC* npc) {
    SpatialGrid<CNPC, std::vector<CNPC*>>* grid = g_mobileTable.GetGrid();
    if (grid && npc->gridSlot.filed) grid->Remove(npc, npc->gridSlot.x, npc->gridSlot.y);
    npc->gridSlot.filed = false;
}

}  // namespace

const char* NpcStateName(int state) {
    return state >= 0 && state < kNpcStateCount ? kStateNames[state] : "Unknown State";
}

s32 SquaredDistance(const Location& a, const Location& b) {
    const int dx = std::abs(a.x - b.x);
    const int dy = std::abs(a.y - b.y);
    if (dx >= 8192 || dy >= 8192) return 2147483647;
    return dx * dx + dy * dy;
}

// ---------------------------------------------------------------- life

CNPC::CNPC() {
    ++GetNpcCounters().live;
    ai.litter = RandomRange(1, 5);
    SetSatiety(255);
    g_mobileTable.Link(this);
}

CNPC::~CNPC() {
    // A ridden NPC throws its rider off first.
    if (CItem* holder = GetContainer()) {
        CMobile* rider = holder->AsMobile();
        if (rider && rider->GetLayer(kMountLayer)) rider->Dismount();
    }
    if (!IsDetached()) RemoveFromWorldQuiet();
    LeaveWorldBookkeeping();
    if (g_mobileTable.GetCurrentNpc() == this) g_mobileTable.SetCurrentNpc(nullptr);
    // A shelter claim goes back to the object it was taken from (not during a bulk removal,
    // when that object may already be gone).
    if (HasNpcFlags(kNpcHoldsClaim) && g_objectManager.IsOn(ObjectSwitch::kSendRemovalPackets) &&
        ai.claimSerial != 0 && g_sectorGrid.Contains(ai.homeLoc.x, ai.homeLoc.y)) {
        CItem* home = g_objectManager.FindBySerial(ai.claimSerial);
        ResourceEntry* entry = home ? home->FindResource(ai.claimType, kResourceHeld) : nullptr;
        if (entry) ResourceEntry::AddToAmount(entry, 2, ai.claimAmount);
        ClearNpcFlags(kNpcHoldsClaim);
    }
    --GetNpcCounters().live;
    g_mobileTable.Unlink(this);
}

void CNPC::DeleteSelf() {
    CMobile::DeleteSelf();
}

int CNPC::GetMoveType() const {
    return CMobile::GetMoveType();
}

void CNPC::SetSerial(u32 serial) {
    g_mobileTable.Unlink(this);
    CItem::SetSerial(serial);
    g_mobileTable.Link(this);
}

void CNPC::GetTitledName(CStr& out) const {
    CMobile::GetTitledName(out);
    if (ai.job != "no job") {
        std::string titled = out.CText();
        titled += " the " + ai.job;
        out = titled.c_str();
    }
}

// ---------------------------------------------------------------- the world

void CNPC::EnterWorldBookkeeping() {
    FileInGrid(this);
    if (!countedVulnerable_ && !IsInvulnerable()) {
        countedVulnerable_ = true;
        ++GetNpcCounters().notInvulnerable;
    }
}

void CNPC::LeaveWorldBookkeeping() {
    TakeOutOfGrid(this);
    if (countedVulnerable_) {
        countedVulnerable_ = false;
        --GetNpcCounters().notInvulnerable;
    }
}

void CNPC::PlaceInWorld(const Location& at) {
    CItem::PlaceInWorldQuiet(at);
    EnterWorldBookkeeping();
    // Shown as a mobile with what it wears (0x78), never as an item: the players' clients
    // would make a bare figure of it.
    if (IsHidden()) return;
    std::vector<CPlayer*> players;
    CollectPlayersNear(GetWorldLocation(), kPlayerViewRange, players);
    for (CPlayer* player : players)
        GetPacketServices().SendMobile(player, this, true);
}

void CNPC::PlaceInWorldQuiet(const Location& at) {
    CItem::PlaceInWorldQuiet(at);
    EnterWorldBookkeeping();
}

void CNPC::RemoveFromWorld() {
    LeaveWorldBookkeeping();
    CItem::RemoveFromWorld();
}

void CNPC::RemoveFromWorldQuiet() {
    LeaveWorldBookkeeping();
    CMobile::RemoveFromWorldQuiet();
}

void CNPC::MakeInvulnerable() {
    const bool counted = countedVulnerable_;
    if (counted) {
        countedVulnerable_ = false;
        --GetNpcCounters().notInvulnerable;
    }
    CMobile::MakeInvulnerable();
    if (counted && !IsInvulnerable()) {
        countedVulnerable_ = true;
        ++GetNpcCounters().notInvulnerable;
    }
}

void CNPC::MakeVulnerable() {
    CMobile::MakeVulnerable();
    if (!countedVulnerable_ && !IsDetached() && !IsContained() && !IsInvulnerable()) {
        countedVulnerable_ = true;
        ++GetNpcCounters().notInvulnerable;
    }
}

int CNPC::DistanceTo(int x, int y) const {
    const Location at = GetWorldLocation();
    return ChebyshevDistanceXY(at.x, at.y, x, y);
}

// ---------------------------------------------------------------- fields

void CNPC::SetState(int state) {
    ai.previousState = ai.state;
    ai.state = state;
}

void CNPC::AddFragment(const char* name) {
    while (name && (*name == ' ' || *name == '\t'))
        ++name;
    ai.fragments.emplace_back(name ? name : "");
}

void CNPC::RemoveFragment(const char* name) {
    const std::string text = name ? name : "";
    auto& list = ai.fragments;
    list.erase(std::remove(list.begin(), list.end(), text), list.end());
    if (list.empty()) list.shrink_to_fit();
}

bool CNPC::ShouldFlee() const {
    if (ai.fleeValue == kNeverFlees) return false;
    return GetCurHits() <= GetMaxHits() * ai.fleeValue / 100;
}

bool CNPC::IsAnimalTemplate() const {
    const int t = GetTemplateId();
    return t >= 500 && t <= 699;
}

void CNPC::AdvancePath() {
    if (--ai.pathIndex < 1) FreePath();
}

void CNPC::FreePath() {
    ai.path.clear();
    ai.path.shrink_to_fit();
    ai.pathIndex = 0;
}

bool CNPC::IsVendor() const {
    return ObjScripts::FindClassNamed(attachments_, "vendor") != nullptr;
}
bool CNPC::IsStableMaster() const {
    return ObjScripts::FindClassNamed(attachments_, "stables") != nullptr;
}
bool CNPC::IsBanker() const {
    return ObjScripts::FindClassNamed(attachments_, "banker") != nullptr;
}

void CollectNpcsOfKind(std::vector<u32>& out, int kind) {
    for (int bucket = 0; bucket < MobileTable::kBucketCount; ++bucket) {
        for (CNPC* npc = g_mobileTable.GetBucket(bucket); npc; npc = npc->tableNext) {
            if ((kind == 1 && !npc->IsShopKeeper()) || (kind == 2 && !npc->IsGuard())) continue;
            out.push_back(npc->GetSerial());
        }
    }
    std::sort(out.begin(), out.end());
}

// ---------------------------------------------------------------- shopkeepers

CShopKeeper::CShopKeeper() {
    ++GetNpcCounters().shopkeepers;
}
CShopKeeper::~CShopKeeper() {
    --GetNpcCounters().shopkeepers;
}
void CShopKeeper::DeleteSelf() {
    CNPC::DeleteSelf();
}
