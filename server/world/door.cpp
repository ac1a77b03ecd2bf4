#include "server/world/door.h"

#include "script/runtime/trigger_services.h"
#include "server/world/item.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"

namespace {

constexpr s8 kOpenStep[8][2] = {{-1, 1}, {1, 1},  {-1, 0}, {1, -1},
                                {1, 1},  {1, -1}, {-1, 1}, {0, -1}};

// The door's variant, or -1 for one that names no way to swing.
int DoorVariant(const CItem* door) {
    const int v = GetTileData().Static(door->GetType()).layer;
    return v < 8 ? v : -1;
}

bool IsOpen(const CItem* door) {
    return (door->GetStatus() & kStatusShowsNextGraphic) != 0;
}

Location Shifted(Location at, int dx, int dy) {
    for (; dx > 0; --dx)
        at.IncX();
    for (; dx < 0; ++dx)
        at.DecX();
    for (; dy > 0; --dy)
        at.IncY();
    for (; dy < 0; ++dy)
        at.DecY();
    return at;
}

void MoveDoor(CItem* door, const Location& to) {
    door->RemoveFromWorld();
    door->PlaceInWorld(to);
}

// A blocking mobile standing exactly at the place.
bool MobileStandsAt(const Location& at) {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return false;
    for (CItem* o = cell->objects; o; o = o->GetNextSibling()) {
        const Location& l = o->GetLocation();
        if (o->IsMobile() && l.x == at.x && l.y == at.y && l.z == at.z &&
            (o->GetMoveClass(0) & kMoveBlocking))
            return true;
    }
    return false;
}

}  // namespace

bool OpenDoor(CItem* door) {
    if (!door || IsOpen(door) || door->GetContainer()) return false;
    const int v = DoorVariant(door);
    if (v < 0) return false;
    const Location to = Shifted(door->GetLocation(), kOpenStep[v][0], kOpenStep[v][1]);
    if (!g_sectorGrid.Contains(to.x, to.y)) return false;
    door->SetStatus(door->GetStatus() | kStatusShowsNextGraphic);
    MoveDoor(door, to);
    return true;
}

bool CloseDoor(CItem* door) {
    if (!door || !IsOpen(door)) return false;
    const int v = DoorVariant(door);
    if (v < 0) return false;
    const Location to = Shifted(door->GetLocation(), -kOpenStep[v][0], -kOpenStep[v][1]);
    if (!g_sectorGrid.Contains(to.x, to.y)) return false;
    if (MobileStandsAt(to)) {
        ScheduleCallback(kDoorCloseTicks, door->GetSerial(), kDoorCloseAction, 0, nullptr);
        return false;
    }
    door->SetStatus(door->GetStatus() & ~kStatusShowsNextGraphic);
    MoveDoor(door, to);
    return true;
}

CItem* FindPartnerDoor(const Location& at) {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return nullptr;
    for (CItem* o = cell->objects; o; o = o->GetNextSibling()) {
        const Location& l = o->GetLocation();
        if ((l - at).ChebyshevLength() != 1) continue;
        if (o->IsClosedDoor() && !GetTriggerServices().HasAttachedScript(o)) return o;
    }
    return nullptr;
}

void ToggleDoor(CItem* door) {
    if (!door) return;
    if (IsOpen(door)) {
        CloseDoor(door);
        return;
    }
    CItem* partner = FindPartnerDoor(door->GetLocation());
    if (partner == door) partner = nullptr;
    const u32 partnerSerial = partner ? partner->GetSerial() : 0;
    if (OpenDoor(door))
        ScheduleCallback(kDoorCloseTicks, door->GetSerial(), kDoorCloseAction, 0, nullptr);
    if (partnerSerial && g_objectManager.FindBySerial(partnerSerial) == partner &&
        OpenDoor(partner))
        ScheduleCallback(kDoorCloseTicks, partnerSerial, kDoorCloseAction, 0, nullptr);
}
