#include "server/rules/rules_services.h"

#include "core/service_slot.h"

namespace {
NpcCounters g_npcCounters;
ServiceSlot<RulesServices> g_rulesServices;
}  // namespace

NpcCounters& GetNpcCounters() {
    return g_npcCounters;
}

RulesServices& GetRulesServices() {
    return g_rulesServices.Get();
}

RulesServices* SetRulesServices(RulesServices* services) {
    return g_rulesServices.Set(services);
}
