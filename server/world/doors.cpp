#include "server/world/doors.h"

#include "script/runtime/trigger_services.h"
#include "server/world/item.h"
#include "server/world/packet_services.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"

namespace {

// The open spot of each variant, relative to the closed one.
constexpr s8 kOpenSteps[8][2] = {{-1, 1}, {1, 1},  {-1, 0}, {1, -1},
                                 {1, 1},  {1, -1}, {-1, 1}, {0, -1}};

struct SoundGroup {
    u16 first, last;
    u8 group;
};
// Which of the four door sounds a graphic makes.
constexpr SoundGroup kSoundGroups[] = {
    {820, 851, 0},   {1685, 1716, 0}, {1749, 1764, 0}, {2105, 2120, 0}, {2150, 2165, 0},
    {1717, 1732, 1}, {1765, 1780, 1}, {1653, 1684, 2}, {2084, 2099, 2}, {2124, 2139, 2},
    {8173, 8188, 2}, {1733, 1748, 2}, {788, 819, 3},   {852, 869, 3},   {244, 247, 3},
};
constexpr int kOpenSounds[4] = {234, 235, 236, 237};
constexpr int kCloseSounds[4] = {241, 242, 243, 244};

int SoundGroupOf(int graphic) {
    for (const SoundGroup& g : kSoundGroups) {
        if (graphic >= g.first && graphic <= g.last) return g.group;
    }
    return -1;
}

Location Moved(const Location& at, int dx, int dy) {
    Location out = at;
    for (; dx > 0; --dx)
        out.IncX();
    for (; dx < 0; ++dx)
        out.DecX();
    for (; dy > 0; --dy)
        out.IncY();
    for (; dy < 0; ++dy)
        out.DecY();
    return out;
}

// A mobile that blocks walkers standing exactly at the spot.
bool IsSpotBlocked(const Location& at) {
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    for (CItem* o = cell ? cell->objects : nullptr; o; o = o->GetNextSibling()) {
        const Location& l = o->GetLocation();
        if (o->IsMobile() && l.x == at.x && l.y == at.y && l.z == at.z &&
            (o->GetMoveClass(0) & kMoveBlocking)) {
            return true;
        }
    }
    return false;
}

void ScheduleClose(CItem* door) {
    RemoveCallback(door->TimedCallbacks(), kDoorCloseAction, 0);
    AddCallback(door->TimedCallbacks(), door->GetSerial(), kDoorCloseTicks, kDoorCloseAction, 0,
                nullptr);
}

bool MoveDoor(CItem* door, const Location& to, bool open) {
    const u32 serial = door->GetSerial();
    door->RemoveFromWorld();
    if (!IsObjectAlive(serial, door)) return false;
    const u8 status = door->GetStatus();
    door->SetStatus(open ? (status | kStatusShowsNextGraphic)
                         : (status & static_cast<u8>(~kStatusShowsNextGraphic)));
    door->PlaceInWorld(to);
    const int group = SoundGroupOf(door->GetType());
    if (group >= 0)
        GetPacketServices().SendSound(open ? kOpenSounds[group] : kCloseSounds[group], to);
    return true;
}

}  // namespace

int DoorVariant(const CItem& door) {
    const int variant = GetTileData().Static(door.GetType()).layer;
    return variant < 8 ? variant : -1;
}

bool OpenDoor(CItem* door) {
    if (!door || (door->GetStatus() & kStatusShowsNextGraphic) || door->IsContained()) return false;
    const int variant = DoorVariant(*door);
    if (variant < 0) return false;
    const Location to = Moved(door->GetLocation(), kOpenSteps[variant][0], kOpenSteps[variant][1]);
    if (!g_sectorGrid.Contains(to.x, to.y)) return false;
    return MoveDoor(door, to, true);
}

bool CloseDoor(CItem* door) {
    if (!door || !(door->GetStatus() & kStatusShowsNextGraphic) || door->IsContained())
        return false;
    const int variant = DoorVariant(*door);
    if (variant < 0) return false;
    const Location to =
        Moved(door->GetLocation(), -kOpenSteps[variant][0], -kOpenSteps[variant][1]);
    if (!g_sectorGrid.Contains(to.x, to.y)) return false;
    if (IsSpotBlocked(to)) {
        ScheduleClose(door);  // tried again later
        return false;
    }
    return MoveDoor(door, to, false);
}

CItem* FindPartnerDoor(const Location& at) {
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    for (CItem* o = cell ? cell->objects : nullptr; o; o = o->GetNextSibling()) {
        if (ChebyshevDistanceWrapped(o->GetLocation(), at) != 1) continue;
        if (!(GetTileData().StaticFlags(o->GetType()) & kTileDoor)) continue;
        if (!o->IsClosedDoor() || GetTriggerServices().HasAttachedScript(o)) continue;
        return o;
    }
    return nullptr;
}

void ToggleDoor(CItem* door) {
    if (!door) return;
    if (door->GetStatus() & kStatusShowsNextGraphic) {
        CloseDoor(door);
        return;
    }
    CItem* partner = FindPartnerDoor(door->GetLocation());
    const u32 partnerSerial = partner ? partner->GetSerial() : 0;
    if (OpenDoor(door)) ScheduleClose(door);
    partner = partner ? IsObjectAlive(partnerSerial, partner) : nullptr;
    if (partner && partner != door && OpenDoor(partner)) ScheduleClose(partner);
}

void UseGenericObject(CPlayer*, CItem* object) {
    if (!object) return;
    const u32 flags = GetTileData().StaticFlags(object->GetType());
    if (flags & kTileLightSource) return;
    if (flags & kTileDoor) ToggleDoor(object);
}
