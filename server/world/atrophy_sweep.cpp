// The atrophy sweep over all mobiles, fifty at a time.
#include "server/world/combat_lists.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"

namespace {
constexpr int kAtrophyPerSweep = 50;
constexpr int kSkillAtrophy = 5000;
constexpr int kStatAtrophy = 500;
}  // namespace

void CMobileManager::FillAtrophyList() {
    if (!atrophy_.empty()) return;
    for (CMobile* m = head_; m; m = m->GetNextMobile())
        atrophy_.push_back(m->GetSerial());
}

void CMobileManager::SweepAtrophy() {
    for (int n = 0; n < kAtrophyPerSweep && !atrophy_.empty(); ++n) {
        const u32 serial = atrophy_.back();
        atrophy_.pop_back();
        CItem* found = g_objectManager.FindBySerial(serial);
        CMobile* mobile = found ? found->AsMobile() : nullptr;
        if (!mobile) continue;
        const bool skillsDropped = mobile->LoseSkills(kSkillAtrophy);
        const bool statsDropped = mobile->LoseStats(kStatAtrophy);
        if (skillsDropped || statsDropped) GetPacketServices().SendAllSkills(mobile);
    }
}
