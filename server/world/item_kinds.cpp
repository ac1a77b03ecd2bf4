#include "server/world/item_kinds.h"

#include "server/world/object_manager.h"

// ---------------------------------------------------------------- CSectorResources

CSectorResources::CSectorResources() = default;
CSectorResources::~CSectorResources() = default;
void CSectorResources::PlaceInWorld(const Location& at) {
    CItem::PlaceInWorld(at);
}
void CSectorResources::PlaceInWorldQuiet(const Location& at) {
    CItem::PlaceInWorldQuiet(at);
}
void CSectorResources::RemoveFromWorld() {
    CItem::RemoveFromWorld();
}

void CSectorResources::DeleteSelf() {
    if (!g_objectManager.IsOn(ObjectSwitch::kSectorResourcesDeleteAllowed)) return;
    if (DeleteSelfChecked()) delete this;
}

bool CSectorResources::MoveTo(const Location& at) {
    // The holder stays at its home.
    if (!cloc_.IsUnset() && !(cloc_ == at)) return false;
    return CItem::MoveTo(at);
}

// ---------------------------------------------------------------- CMapItem

CMapItem::CMapItem() {
    ++g_liveObjects.mapItems;
}
CMapItem::~CMapItem() {
    --g_liveObjects.mapItems;
}
int CMapItem::GetValue(int useTypeBase, int applyMinimum) {
    return CItem::GetValue(useTypeBase, applyMinimum);
}
void CMapItem::DeleteSelf() {
    if (DeleteSelfChecked()) delete this;
}
