#include "server/net/object_checks.h"

#include "core/spatial_grid.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"

namespace {
constexpr int kBackpackLayer = 21;
}  // namespace

CItem* IsObjectAlive(CItem* object, u32 serial) {
    if (object == nullptr) return nullptr;
    return g_objectManager.FindBySerial(serial) == object ? object : nullptr;
}

namespace {
// The live object as the class an accessor asks for, or null.
template <class T>
T* AliveAs(CItem* object, u32 serial, T* (CItem::*as)()) {
    CItem* alive = IsObjectAlive(object, serial);
    return alive ? (alive->*as)() : nullptr;
}
}  // namespace

CMobile* IsMobileAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsMobile);
}
CPlayer* IsPlayerAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsPlayer);
}
CNPC* IsNpcAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsNPC);
}
CWeapon* IsWeaponAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsWeapon);
}
CContainer* IsContainerAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsContainer);
}
CMapItem* IsMapAlive(CItem* object, u32 serial) {
    return AliveAs(object, serial, &CItem::AsMap);
}

void CheckReach(CPlayer& player, u32& serial, bool allowOtherMobiles) {
    CItem* object = g_objectManager.FindBySerial(serial);
    if (object == nullptr) {
        serial = 0;
        return;
    }
    if (player.IsEditing()) return;
    CItem* holder = object;
    while (holder->GetContainer())
        holder = holder->GetContainer();
    if (holder != object) {
        if (holder == &player) return;
        if (CMobile* mobile = holder->AsMobile()) {
            const bool reachable =
                allowOtherMobiles &&
                ((object->IsContainer() && !object->IsInTrade()) ||
                 (mobile->GetLayer(kBackpackLayer) == object && object->GetContainer() == mobile));
            if (!reachable) {
                serial = 0;
                return;
            }
        }
    }
    const Location& at = holder->GetLocation();
    const Location& from = player.GetLocation();
    if (ChebyshevDistanceXY(at.x, at.y, from.x, from.y) > kReachTiles) serial = 0;
}
