#include "server/world/corpse_resources.h"

#include "server/world/container.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"

TakenResources::TakenResources(CCountedObject& dead, const Share& share) {
    while (ResourceEntry* e = dead.GetResources()) {
        entries_.push_back(dead.UnlinkResource(e));
        if (e->kind == kResourceHeld && e->type != 0) share(*e);
    }
}

TakenResources::~TakenResources() {
    for (ResourceEntry* e : entries_)
        FreeResourceEntry(e);
}

void TakenResources::GiveBack(CCountedObject& dead) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        dead.InsertResource(*it);
    entries_.clear();
}

CCorpse* FindCorpse(u32 serial) {
    CItem* found = serial ? g_objectManager.FindBySerial(serial) : nullptr;
    return found && found->IsCorpse() ? static_cast<CCorpse*>(found) : nullptr;
}
