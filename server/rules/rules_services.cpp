#include "server/rules/rules_services.h"

namespace {
NpcCounters g_npcCounters;
RulesServices g_noRules;
RulesServices* g_rulesServices = &g_noRules;
}  // namespace

NpcCounters& GetNpcCounters() {
    return g_npcCounters;
}

RulesServices& GetRulesServices() {
    return *g_rulesServices;
}

void SetRulesServices(RulesServices* services) {
    g_rulesServices = services ? services : &g_noRules;
}
