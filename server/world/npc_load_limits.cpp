#include "server/world/npc_load_limits.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<NpcLoadLimits> g_npcLoadLimits;
}  // namespace

NpcLoadLimits& GetNpcLoadLimits() {
    return g_npcLoadLimits.Get();
}

NpcLoadLimits* SetNpcLoadLimits(NpcLoadLimits* limits) {
    return g_npcLoadLimits.Set(limits);
}
