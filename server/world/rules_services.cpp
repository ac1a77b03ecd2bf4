#include "server/world/rules_services.h"

#include "core/log_sink.h"
#include "core/service_slot.h"
#include "server/world/mobile.h"
#include "server/world/skill_table.h"
#include "server/world/world_utilities.h"

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

void RulesServices::LoadConversationData() {
    static bool said = false;
    if (said) return;
    said = true;
    GetLogSink().Log(0, 0, 0, "", "load", "error", "conversation data: not built yet");
}

void RulesServices::CombatStep(CMobile* mobile) {
    mobile->CombatStep();
}

void RulesServices::SkillTableStep() {
    g_skillTable.Tick();
}

int RulesServices::TestSkill(CMobile& mobile, int skill, CItem*, int) {
    return mobile.TestSkill(skill);
}

int RulesServices::WitnessCrime(const Location&, CMobile&, CItem*, const char*, int, int, int) {
    static bool logged = false;
    LogNotBuiltOnce(logged, "rules", "crime witnesses are not installed: nobody sees a crime");
    return 0;
}
