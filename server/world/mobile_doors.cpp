// A mobile opening the closed doors in its way.
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "server/world/doors.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"

namespace {

constexpr u16 kDoorBodies[] = {1,  3,  4,  7,  10, 24, 29, 30, 35,  36,
                               39, 41, 44, 45, 54, 55, 56, 57, 400, 401};

// Doors that NPCs and guards never open.
bool IsNpcProofDoor(int graphic) {
    static const int kRanges[][2] = {{232, 246}, {788, 802}, {804, 818},
                                     {820, 834}, {836, 850}, {852, 866}};
    for (const auto& r : kRanges) {
        if (graphic >= r[0] && graphic <= r[1]) return true;
    }
    return false;
}

}  // namespace

bool CMobile::CanOpenDoors() const {
    for (u16 body : kDoorBodies) {
        if (GetBody() == body) return true;
    }
    return false;
}

int CMobile::OpenDoorInDirection(int direction) {
    if (!CanOpenDoors()) return 0;
    Location ahead = GetLocation();
    ahead.Step(direction);
    if (!g_sectorGrid.Contains(ahead.x, ahead.y)) return 2;
    const int half = GetHeight() / 2;
    CItem* door = g_worldMap.FindDoorAt(ahead, ahead.z - half, ahead.z + half);
    if (!door || !door->IsClosedDoor()) return 0;
    if (IsNpcProofDoor(door->GetType()) && (IsGuard() || IsNPC())) return 0;
    if (ObjVars::Has(door->ScriptAttachments(), "isLocked", kTypeInt)) return 2;
    const u32 serial = serial_;
    if (!UseDoor(door)) return 2;
    return g_objectManager.FindMobile(serial) == this ? 1 : 3;
}

int CMobile::UseDoor(CItem* door) {
    if (!door) return 0;
    const u32 serial = door->GetSerial();
    TriggerArgs args;
    args.serial = serial_;
    if (GetTriggerServices().SendTrigger(door, kTriggerUse, args) == 0) return 0;
    // The trigger may have deleted the door.
    CItem* still = g_objectManager.FindBySerial(serial);
    if (still) ToggleDoor(still);
    return 1;
}
