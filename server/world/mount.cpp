// Riding: the rider wears a mount item on layer 25 (its graphic chosen by the mount's body)
// and holds the mount mobile inside itself, at an unset position, while it rides.
#include <strings.h>

#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"

namespace {

int MountItemGraphic(int body) {
    switch (body) {
        case 204:
            return 16034;
        case 226:
            return 16032;
        case 228:
            return 16033;
        default:
            return 16031;
    }
}

const Location kUnsetPosition(-1, -1, 0);

}  // namespace

CMobile* CMobile::GetMount() const {
    return savedRiding_ ? g_objectManager.FindMobile(savedRiding_) : nullptr;
}

bool CMobile::IsRidable() const {
    for (const ResourceEntry* e = resources_; e; e = e->next) {
        if (e->kind != kResourceHeld || e->type == 0) continue;
        const CResourceType* type = GetResourceTypes().GetByNumber(e->type);
        if (type && type->GetFoodName() && strcasecmp(type->GetFoodName(), "RIDABLE") == 0)
            return true;
    }
    return false;
}

bool CMobile::CanRide() const {
    const int body = GetBody();
    return body == 400 || body == 401 || body == 987;
}

int CMobile::Mount(CMobile* mount) {
    if (!mount || mount == this || IsMounted()) return 0;
    CItem* item = g_objectManager.CreateItem(MountItemGraphic(mount->GetBody()));
    if (!item) return 0;
    item->SetHue(mount->GetHue());
    if (!CanRide() || !item->EquipOn(this, kMountLayer)) {
        item->DeleteSelf();
        return 0;
    }
    // The mount item's type resources join with the resource tables; the ride itself does
    // not wait for them.
    const Location at = mount->GetWorldLocation();
    const int facing = mount->GetDirection() & 7;
    RemoveFromWorldQuiet();
    SetDirection(facing);
    mount->RemoveFromWorld();
    PlaceInWorld(at);
    mount->AddToContainer(this, kUnsetPosition);
    savedRiding_ = mount->GetSerial();
    return 1;
}

int CMobile::Dismount() {
    if (!IsMounted()) return 0;
    CMobile* mount = GetMount();
    CItem* item = layers_[kMountLayer];
    if (!mount) {
        item->DeleteSelf();
        savedRiding_ = 0;
        return 0;
    }
    const Location at = GetWorldLocation();
    item->DeleteSelf();
    mount->RemoveFromWorld();
    mount->SetDirection(direction_ & 7);
    mount->PlaceInWorld(at);
    savedRiding_ = 0;
    return 1;
}
