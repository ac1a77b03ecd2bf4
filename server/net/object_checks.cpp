#include "server/net/object_checks.h"

#include "core/spatial_grid.h"
#include "server/world/container.h"
#include "server/world/item.h"
#include "server/world/item_kinds.h"
#include "server/world/player.h"
#include "server/world/object_manager.h"
#include "server/world/npc.h"

namespace {
constexpr int kBackpackLayer = 21;
}  // namespace

namespace {
// The live object as the class an accessor asks for, or null.
template <class T>
T* AliveAs(u32 serial, const CItem* object, T* (CItem::*as)()) {
    CItem* alive = IsObjectAlive(serial, object);
    return alive ? (alive->*as)() : nullptr;
}
}  // namespace

CMobile* IsMobileAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsMobile);
}
CPlayer* IsPlayerAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsPlayer);
}
CNPC* IsNpcAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsNPC);
}
CWeapon* IsWeaponAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsWeapon);
}
CContainer* IsContainerAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsContainer);
}
CMapItem* IsMapAlive(u32 serial, const CItem* object) {
    return AliveAs(serial, object, &CItem::AsMap);
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
