#include "script/runtime/trigger_services.h"

#include "core/service_slot.h"

int TriggerServices::SendTrigger(CItem*, int, const TriggerArgs&) {
    return 1;
}
bool TriggerServices::HasAttachedScript(const CItem*) {
    return false;
}
void TriggerServices::GetHandlerRanges(const CItem*, int, std::vector<int>&) {}
void TriggerServices::FreeAttachments(CItem*) {}
bool TriggerServices::TakeIntReturn(s32&) {
    return false;
}

namespace {
ServiceSlot<TriggerServices> g_triggerServices;
}  // namespace

TriggerServices& GetTriggerServices() {
    return g_triggerServices.Get();
}

TriggerServices* SetTriggerServices(TriggerServices* services) {
    return g_triggerServices.Set(services);
}
