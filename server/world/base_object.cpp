#include "server/world/base_object.h"

#include <algorithm>

#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"

LiveObjectCounts g_liveObjects = {};

// ---------------------------------------------------------------- CBaseObject

CBaseObject::CBaseObject() : type_(0), detached_(true), hue_(0) {
    SetType(0);
    ++g_liveObjects.baseObjects;
}

CBaseObject::~CBaseObject() {
    --g_liveObjects.baseObjects;
}

void CBaseObject::SetType(int type) {
    type_ = (type < 0 || type >= 0x4000) ? kInvalidTypeReplacement : static_cast<u16>(type);
}

void CBaseObject::PlaceInWorld(const Location&) {}
void CBaseObject::PlaceInWorldQuiet(const Location&) {}
void CBaseObject::RemoveFromWorld() {}
void CBaseObject::RemoveFromWorldQuiet() {}
bool CBaseObject::IsStatic() const {
    return false;
}
bool CBaseObject::IsPlayer() const {
    return false;
}
bool CBaseObject::IsDynamic() const {
    return false;
}
bool CBaseObject::IsGeneric() const {
    return false;
}
int CBaseObject::GetValue(int, int) {
    return 0;
}
int CBaseObject::GetHeight() const {
    return 0;
}

int CBaseObject::GetSurfaceHeight() const {
    const int height = GetHeight();
    return (GetObjectFlags() & kTileBridge) ? height / 2 : height;
}

u32 CBaseObject::GetObjectFlags() const {
    return 0;
}
const char* CBaseObject::GetRealName() const {
    return GetTileData().Static(type_).name;
}

bool CBaseObject::IsHair() const {
    if (type_ >= 0x4000) return false;
    const StaticTileRecord& r = GetTileData().Static(type_);
    return (r.flags & kTileWearable) && (r.layer == 11 || r.layer == 16);
}

void CBaseObject::MoveToSectorChainEnd() {}

u32 CBaseObject::GetMoveClass(int moveType) const {
    return MoveClassFromFlags(*this, GetObjectFlags(), moveType);
}

u32 CBaseObject::GetLandMoveClass(int landTile) const {
    return GetLandMoveClassFor(landTile, 0);
}

u32 CBaseObject::GetMoveClassDefault(const CBaseObject& other) const {
    return other.GetMoveClass(0);
}

const char* CBaseObject::GetName(int) const {
    return GetRealName();
}

namespace {
constexpr int kDefaultBarkHue = 946;
constexpr int kDefaultBarkFont = 3;
}  // namespace

// -1 for the hue, the font or the message type means the default. The wide-text forms come
// with the wide speech packet; until then they say nothing.
void CBaseObject::BarkUnicode(const u16*, int, int, int) {}
void CBaseObject::Bark(const char* text, int hue, int font, int type) {
    if (!text) return;
    GetPacketServices().SendSpeech(this, text, hue == -1 ? kDefaultBarkHue : hue,
                                   font == -1 ? kDefaultBarkFont : font, type == -1 ? 0 : type);
}
void CBaseObject::EBarkUnicode(const u16* text, int hue, int font, int) {
    BarkUnicode(text, hue, font, 7);
}
void CBaseObject::EBark(const char* text, int hue, int font, int) {
    Bark(text, hue, font, 7);
}
void CBaseObject::BarkToHuedUnicode(CPlayer*, CBaseObject*, const u16*, int) {}
void CBaseObject::BarkToHued(CPlayer* player, CBaseObject*, const char* text, int hue) {
    GetPacketServices().SendTextTo(player, this, text, hue, 0);
}
void CBaseObject::BarkToUnicode(CPlayer* player, CBaseObject* subject, const u16* text) {
    BarkToHuedUnicode(player, subject, text, 946);
}
void CBaseObject::BarkTo(CPlayer* player, CBaseObject* subject, const char* text) {
    BarkToHued(player, subject, text, 946);
}
void CBaseObject::EBarkToHuedUnicode(CPlayer*, CBaseObject*, const u16*, int) {}
void CBaseObject::EBarkToHued(CPlayer* player, CBaseObject*, const char* text, int hue) {
    GetPacketServices().SendTextTo(player, this, text, hue, 7);
}
void CBaseObject::EBarkToUnicode(CPlayer* player, CBaseObject* subject, const u16* text) {
    EBarkToHuedUnicode(player, subject, text, 946);
}
void CBaseObject::EBarkTo(CPlayer* player, CBaseObject* subject, const char* text) {
    EBarkToHued(player, subject, text, 946);
}

Location CBaseObject::GetWorldLocation() const {
    return loc_;
}

bool CBaseObject::IsDoor() const {
    return (GetTileData().StaticFlags(type_) & kTileDoor) != 0;
}
bool CBaseObject::IsClosedDoor() const {
    return IsDoor();
}
CItem* CBaseObject::AsItem() {
    return IsDynamic() ? static_cast<CItem*>(this) : nullptr;
}
const CItem* CBaseObject::AsItem() const {
    return IsDynamic() ? static_cast<const CItem*>(this) : nullptr;
}
CStaticObject* CBaseObject::AsStatic() {
    return IsStatic() ? static_cast<CStaticObject*>(this) : nullptr;
}
bool CBaseObject::IsDetached() const {
    return detached_;
}
void CBaseObject::DeleteSelf() {
    delete this;
}
int CBaseObject::GetMoveType() const {
    return 0;
}

void CBaseObject::CollectObjectsOnTop(std::vector<CItem*>& out) {
    if (!g_sectorGrid.Contains(loc_.x, loc_.y)) return;
    if (!(GetObjectFlags() & kTileSurface)) return;
    int top = loc_.z + GetSurfaceHeight();
    std::vector<CItem*> candidates;
    g_sectorGrid.CollectObjectsAtOrAbove(candidates, Location(loc_.x, loc_.y, top));
    std::stable_sort(candidates.begin(), candidates.end(), [](const CItem* a, const CItem* b) {
        return a->GetLocation().z < b->GetLocation().z;
    });
    for (CItem* candidate : candidates) {
        if (candidate->GetLocation().z > top) break;
        top = candidate->GetLocation().z + candidate->GetHeight();
        if (candidate == this || candidate->IsMultiCompOrSectorResources()) continue;
        if (std::find(out.begin(), out.end(), candidate) != out.end()) continue;
        out.push_back(candidate);
    }
}

void CBaseObject::GetObjectsOnTop(std::vector<u32>& serials) {
    std::vector<CItem*> found;
    CollectObjectsOnTop(found);
    for (CItem* item : found)
        serials.push_back(item->GetSerial());
}

// ---------------------------------------------------------------- move classes

namespace {
// Graphics a ghost walks through.
constexpr u16 kGhostPassableGraphics[] = {1682, 1781, 1782, 2118, 2163};

bool IsGhostPassable(int graphic) {
    for (u16 g : kGhostPassableGraphics) {
        if (graphic == g) return true;
    }
    return false;
}
}  // namespace

u32 MoveClassFromFlags(const CBaseObject& object, u32 flags, int moveType) {
    const bool blocks = flags & (kTileImpassable | kTileSurface);
    u32 result = 0;
    switch (moveType) {
        case 0:
            if (blocks) result |= kMoveBlocking;
            if (flags & kTileSurface) result |= kMoveSurface;
            if (flags & kTileBridge) result |= kMoveBridge;
            return result;
        case 1:
        case kMoveTypeGhost:
        case 8:
            if (blocks) result |= kMoveBlocking;
            if (!(flags & kTileImpassable)) {
                if (flags & kTileSurface) result |= kMoveSurface;
                if (flags & kTileBridge) result |= kMoveBridge;
            }
            if (moveType == kMoveTypeGhost) {
                bool passable = IsGhostPassable(object.GetType()) || object.IsDoor();
                const CItem* item = object.AsItem();
                if (!passable && item) passable = item->IsMovableBy(nullptr);
                if (passable) result &= ~static_cast<u32>(kMoveBlocking);
            }
            return result;
        case kMoveTypeFlying:
            if (blocks) result |= kMoveBlocking;
            if (object.GetHeight() < 20 && !(flags & kTileBackground)) result |= kMoveSurface;
            if (flags & kTileBridge) result |= kMoveBridge;
            return result;
        case 3:
        case 4:
            return (flags & kTileWet) ? kMoveSurface : kMoveBlocking;
        case 5:
            if (blocks) result |= kMoveBlocking;
            if ((flags & kTileSurface) && !(flags & kTileImpassable)) result |= kMoveSurface;
            if (flags & kTileBridge) result |= kMoveBridge;
            if (flags & kTileWet) result |= kMoveSurface | kMoveBridge;
            return result;
        case kMoveTypeEditing:
            return kMoveSurface;
        default:
            return 0;
    }
}

u32 GetLandMoveClassFor(int tile, int moveType) {
    if (IsImpassableTerrainTile(tile)) return 0;
    const u32 flags = GetTileData().LandFlags(tile);
    const u32 open = kMoveBlocking | kMoveSurface | kMoveBridge;
    switch (moveType) {
        case 0:
        case 1:
        case kMoveTypeFlying:
        case kMoveTypeGhost:
            return (flags & kTileImpassable) ? kMoveBlocking : open;
        case 3:
        case 4:
            return (flags & kTileWet) ? open : kMoveBlocking;
        case 5:
            return (!(flags & kTileImpassable) || (flags & kTileWet)) ? open : kMoveBlocking;
        case kMoveTypeEditing:
            return kMoveSurface | kMoveBridge;
        case 8:
            if ((tile >= 9 && tile <= 21) || (tile >= 113 && tile <= 120) ||
                (tile >= 336 && tile <= 348)) {
                return kMoveBlocking;
            }
            return (flags & kTileImpassable) ? kMoveBlocking : open;
        default:
            return kMoveBlocking;
    }
}

// ---------------------------------------------------------------- CStaticObject

namespace {
struct StaticPool {
    CStaticObject* free = nullptr;
};
StaticPool g_staticPool;
constexpr int kStaticBlock = 4096;
}  // namespace

CStaticObject::CStaticObject() = default;
CStaticObject::~CStaticObject() = default;

CStaticObject* CStaticObject::Acquire() {
    CStaticObject* object = g_staticPool.free;
    if (!object) {
        // Blocks live for the whole process.
        CStaticObject* block = new CStaticObject[kStaticBlock];
        for (int i = kStaticBlock - 1; i >= 1; --i) {
            block[i].poolNext = g_staticPool.free;
            g_staticPool.free = &block[i];
        }
        object = &block[0];
    } else {
        g_staticPool.free = object->poolNext;
    }
    object->poolNext = nullptr;
    object->SetType(0);
    object->hue_ = 0;
    object->loc_.SetUnset();
    object->detached_ = true;
    ++g_liveObjects.staticsInUse;
    return object;
}

void CStaticObject::Release() {
    if (!detached_) RemoveFromWorld();
    poolNext = g_staticPool.free;
    g_staticPool.free = this;
    --g_liveObjects.staticsInUse;
}

void CStaticObject::PlaceInWorldQuiet(const Location& at) {
    loc_ = at;
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    if (cell) {
        prev = nullptr;
        next = cell->statics;
        if (next) next->prev = this;
        cell->statics = this;
    }
    detached_ = false;
}

void CStaticObject::PlaceInWorld(const Location& at) {
    PlaceInWorldQuiet(at);
    const int cell = g_sectorGrid.CellIndexOf(at);
    if (cell >= 0) GetPacketServices().NoteStaticsChanged(cell);
}

void CStaticObject::Unlink() {
    SectorCell* cell = g_sectorGrid.CellAt(loc_.x, loc_.y);
    if (cell && cell->statics == this) cell->statics = next;
    if (prev) prev->next = next;
    if (next) next->prev = prev;
    next = prev = nullptr;
}

void CStaticObject::RemoveFromWorldQuiet() {
    Unlink();
    detached_ = true;
}

void CStaticObject::RemoveFromWorld() {
    Unlink();
    detached_ = true;
    const int cell = g_sectorGrid.CellIndexOf(loc_);
    if (cell >= 0) GetPacketServices().NoteStaticsChanged(cell);
}

int CStaticObject::GetHeight() const {
    return GetTileData().Static(type_).height;
}
u32 CStaticObject::GetObjectFlags() const {
    return GetTileData().StaticFlags(type_);
}

void CStaticObject::MoveToSectorChainEnd() {
    SectorCell* cell = g_sectorGrid.CellAt(loc_.x, loc_.y);
    if (!cell || cell->statics != this || !next) return;
    CStaticObject* last = next;
    while (last->next)
        last = last->next;
    cell->statics = next;
    next->prev = nullptr;
    last->next = this;
    prev = last;
    next = nullptr;
}

// ---------------------------------------------------------------- CCountedObject

CCountedObject::CCountedObject() : template_(kNoTemplate), resources_(nullptr) {
    ++g_liveObjects.countedObjects;
}

CCountedObject::~CCountedObject() {
    ClearResources();
    --g_liveObjects.countedObjects;
}

void CCountedObject::InsertResource(ResourceEntry* entry) {
    if (!entry) return;
    entry->prev = nullptr;
    entry->next = resources_;
    if (resources_) resources_->prev = entry;
    resources_ = entry;
    for (ResourceEntry* older = entry->next; older; older = older->next) {
        if (older->type != entry->type || older->kind != entry->kind) continue;
        for (int i = 0; i < 3; ++i)
            entry->amounts[i] = SaturatingAdd(entry->amounts[i], older->amounts[i]);
        FreeResourceEntry(UnlinkResource(older));
        break;
    }
}

ResourceEntry* CCountedObject::UnlinkResource(ResourceEntry* entry) {
    if (!entry) return nullptr;
    if (resources_ == entry) resources_ = entry->next;
    if (entry->prev) entry->prev->next = entry->next;
    if (entry->next) entry->next->prev = entry->prev;
    entry->next = entry->prev = nullptr;
    return entry;
}

ResourceEntry* CCountedObject::AddResource(int type, int kind, s32 first, s32 second, s32 third) {
    ResourceEntry* entry = AllocResourceEntry();
    entry->type = static_cast<u16>(type);
    entry->kind = static_cast<u8>(kind);
    entry->amounts[0] = first;
    entry->amounts[1] = second;
    entry->amounts[2] = third;
    InsertResource(entry);
    return entry;
}

ResourceEntry* CCountedObject::AddScaledCopy(const ResourceEntry& prototype, s32 factor) {
    const s32 first = SaturatingMul(prototype.amounts[0], factor);
    return AddResource(prototype.type, prototype.kind, first,
                       SaturatingMul(prototype.amounts[1], factor), first);
}

void CCountedObject::AddTypeResources(const Location& at, s32 factor) {
    if (cloc_.IsUnset()) cloc_ = at;
    const CCountedObject* prototype = g_objectManager.GetResourcePrototype(type_);
    if (!prototype || prototype == this) return;
    for (const ResourceEntry* e = prototype->resources_; e; e = e->next)
        AddScaledCopy(*e, factor);
}

ResourceEntry* CCountedObject::FindResource(int type, int kind) const {
    if (type == 0) return nullptr;
    for (ResourceEntry* e = resources_; e; e = e->next) {
        if (e->type == type && e->kind == kind) return e;
    }
    return nullptr;
}

bool CCountedObject::GetResourceAmountByNumber(s32& out, int type, int kind, int index) const {
    return ResourceEntry::GetAmount(FindResource(type, kind), index, out);
}

bool CCountedObject::GetResourceAmountByName(s32& out, const char* name, int kind,
                                             int index) const {
    return GetResourceAmountByNumber(out, GetResourceTypes().FindNumber(name), kind, index);
}

void CCountedObject::ClearResources() {
    while (resources_)
        FreeResourceEntry(UnlinkResource(resources_));
}

void CCountedObject::TakeResources(CCountedObject* source, s32 amount, int type) {
    if (!source || source == this || amount <= 0) return;
    const bool sector = source->IsSectorResources();
    s32 needed = amount;
    for (ResourceEntry* e = source->resources_; e && needed > 0;) {
        ResourceEntry* next = e->next;
        const bool wanted =
            e->kind == kResourceHeld && e->type != 0 && (type < 0 || e->type == type);
        if (wanted && e->amounts[2] > 0) {
            if (e->amounts[2] > needed) {
                AddResource(e->type, kResourceHeld, needed, 0, needed);
                e->amounts[2] -= needed;
                if (!sector) e->amounts[0] = SaturatingAdd(e->amounts[0], -s64(needed));
                return;
            }
            needed -= e->amounts[2];
            if (sector && e->amounts[1] != 0) {
                // A holder keeps its entry so that regrowth can refill it.
                AddResource(e->type, kResourceHeld, e->amounts[2], 0, e->amounts[2]);
                e->amounts[2] = 0;
            } else {
                InsertResource(source->UnlinkResource(e));
            }
        }
        e = next;
    }
}

void CCountedObject::RemoveResourceAmount(s32 amount, int type) {
    if (amount <= 0) return;
    const bool sector = IsSectorResources();
    s32 remaining = amount;
    for (ResourceEntry* e = resources_; e && remaining > 0;) {
        ResourceEntry* next = e->next;
        if (e->kind == kResourceHeld && e->type != 0 && e->type == type && e->amounts[2] > 0) {
            if (e->amounts[2] > remaining) {
                e->amounts[2] -= remaining;
                if (!sector) e->amounts[0] = SaturatingAdd(e->amounts[0], -s64(remaining));
                return;
            }
            remaining -= e->amounts[2];
            if (sector && e->amounts[1] != 0) {
                e->amounts[2] = 0;
            } else {
                FreeResourceEntry(UnlinkResource(e));
            }
        }
        e = next;
    }
}

int CCountedObject::CountResourceEntries() const {
    int n = 0;
    for (const ResourceEntry* e = resources_; e; e = e->next)
        ++n;
    return n;
}

void CCountedObject::TakeAllResources(CCountedObject* source) {
    if (!source || source == this) return;
    for (ResourceEntry* e = source->resources_; e;) {
        ResourceEntry* next = e->next;
        if (e->kind == kResourceHeld) InsertResource(source->UnlinkResource(e));
        e = next;
    }
}

void CCountedObject::DeleteSelf() {
    delete this;
}
int CCountedObject::GetQuantity() const {
    return 1;
}
bool CCountedObject::IsSectorResources() const {
    return false;
}
int CCountedObject::GetResourceAmount(int key) const {
    // The capacities (first amounts) of the held entries.
    return SumHeldAmounts(resources_, key, 0);
}

// ---------------------------------------------------------------- kinds

ObjectKind GetObjectKind(const CBaseObject* object) {
    const CItem* item = object ? object->AsItem() : nullptr;
    if (!item) return kKindStatic;
    if (item->IsMap()) return kKindMap;
    if (item->IsWeapon()) return kKindWeapon;
    if (!item->IsContainer()) return kKindItem;
    if (item->IsBulletinBoard()) return kKindBulletinBoard;
    if (!item->IsMobile()) return kKindContainer;
    if (item->IsPlayer()) return kKindPlayer;
    if (!item->IsNPC()) return kKindMobile;
    if (item->IsShopKeeper()) return kKindShopKeeper;
    if (item->IsGuard()) return kKindGuard;
    return kKindNpc;
}

bool MatchesObjectKind(const CBaseObject* object, ObjectKind kind) {
    if (!object) return false;
    if (kind == kKindItem) return object->IsDynamic();
    if (kind == kKindPlayer) return object->IsPlayer();
    const CItem* item = object->AsItem();
    if (!item) return false;
    switch (kind) {
        case kKindContainer:
            return item->IsContainer();
        case kKindMap:
            return item->IsMap();
        case kKindMobile:
            return item->IsMobile();
        case kKindNpc:
            return item->IsNPC();
        case kKindShopKeeper:
            return item->IsShopKeeper();
        case kKindGuard:
            return item->IsGuard();
        case kKindGhost:
            return item->IsGhost();
        case kKindWeapon:
            return item->IsWeapon();
        case kKindBulletinBoard:
            return item->IsBulletinBoard();
        default:
            return false;
    }
}
