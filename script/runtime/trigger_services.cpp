#include "script/runtime/trigger_services.h"

#include "server/world/world_script_link.h"

int TriggerServices::SendTrigger(CItem*, int, const TriggerArgs&) {
    return 1;
}
bool TriggerServices::HasAttachedScript(const CItem*) {
    return false;
}
void TriggerServices::GetHandlerRanges(const CItem*, int, std::vector<int>&) {}
void TriggerServices::FreeAttachments(CItem*) {}

namespace {
TriggerServices* g_current = nullptr;
}  // namespace

TriggerServices& Triggers() {
    return g_current ? *g_current : WorldScriptTriggerServices();
}

TriggerServices* SetTriggerServices(TriggerServices* services) {
    TriggerServices* previous = g_current;
    g_current = services;
    return previous;
}
