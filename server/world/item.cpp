#include "server/world/item.h"

#include <algorithm>

#include "core/random_numbers.h"
#include "platform/clock.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "script/runtime/trigger_services.h"
#include "server/world/area_services.h"
#include "server/world/container.h"
#include "server/world/decay.h"
#include "server/world/item_kinds.h"
#include "server/world/map_queries.h"
#include "server/world/object_fields.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/placement_record.h"
#include "server/world/player.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_utilities.h"
#include "server/world/npc.h"

namespace {
bool IsTriggerLayer(int layer) {
    return layer >= 1 && layer <= 24;
}

// A valueless item lying in the world deletes itself after this many pulses (one minute).
constexpr s32 kValuelessExpiryTicks = 240;
constexpr s32 kActionDeleteValueless = 8;
}  // namespace

CItem* IsObjectAlive(u32 serial, const CItem* object) {
    CItem* found = g_objectManager.FindBySerial(serial);
    return found == object ? found : nullptr;
}

// ---------------------------------------------------------------- life

CItem::CItem()
    : callbacks_(nullptr),
      nextSibling_(nullptr),
      prevSibling_(nullptr),
      container_(nullptr),
      placement_(nullptr),
      serial_(0),
      status_(0),
      decayCount_(0),
      attachments_(nullptr),
      multiLink_(nullptr) {
    ++g_liveObjects.items;
    serial_ = g_objectManager.NewSerial();
    g_objectManager.LinkSerial(this);
}

CItem::~CItem() {
    // A dying object hears no more triggers: a script run from here could delete it again.
    status_ |= kStatusNoTriggers;
    if (!detached_) CItem::RemoveFromWorld();
    GetTriggerServices().FreeAttachments(this);
    attachments_ = nullptr;
    FreePlacement();
    --g_liveObjects.items;
    g_objectManager.UnlinkSerial(this);
    g_objectManager.OnSerialReleased(serial_);
    LeaveTemplateList();
}

void CItem::DeleteSelf() {
    if (DeleteSelfChecked()) delete this;
}

bool CItem::DeleteSelfChecked() {
    const u32 serial = serial_;
    if (!(status_ & (kStatusNoTriggers | kStatusDestroyedSent))) {
        status_ |= kStatusDestroyedSent;
        TriggerArgs args;
        GetTriggerServices().SendTrigger(this, kTriggerDestroyed, args);
    }
    return IsObjectAlive(serial, this) != nullptr;
}

// ---------------------------------------------------------------- placement

void CItem::LinkIntoCell(const Location& at) {
    loc_ = at;
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    if (!cell) return;
    prevSibling_ = nullptr;
    nextSibling_ = cell->objects;
    if (nextSibling_) nextSibling_->prevSibling_ = this;
    cell->objects = this;
}

void CItem::ScheduleValuelessExpiry() {
    if (!IsValueless()) return;
    RemoveCallback(callbacks_, kActionDeleteValueless, 0);
    AddCallback(callbacks_, serial_, kValuelessExpiryTicks, kActionDeleteValueless, 0, nullptr);
}

void CItem::PlaceInWorldQuiet(const Location& at) {
    // Linking an item that is still somewhere would tie two chains together.
    if (!detached_) RemoveFromWorldQuiet();
    if (cloc_.IsUnset()) cloc_ = at;
    ScheduleValuelessExpiry();
    LinkIntoCell(at);
    AddRangeListeners(this);
    SetDetached(false);
    FreePlacement();
}

void CItem::PlaceInWorld(const Location& at) {
    if (!detached_) RemoveFromWorldQuiet();
    if (cloc_.IsUnset()) cloc_ = at;
    ScheduleValuelessExpiry();
    LinkIntoCell(at);
    AddRangeListeners(this);
    SetDetached(false);
    if (type_ == kCampFireGraphic) {
        // Players by the new fire start camping unless they already are.
        std::vector<CPlayer*> players;
        CollectPlayersNear(GetWorldLocation(), 8, players);
        for (CPlayer* player : players) {
            if (player->GetCampStartTime() == 0) player->SetCampStartTime(platform::NowMs());
        }
    }
    if (!(status_ & kStatusShownByMulti)) {
        const Location where = GetWorldLocation();
        GetPacketServices().SendObjectInfo(this, where);
        if (IsCorpse()) {
            GetPacketServices().SendCorpseEquipment(this, where);
            GetPacketServices().SendContainerContents(this, where);
        }
    }
    FreePlacement();
}

// ---------------------------------------------------------------- removal

void CItem::UnlinkFromChain() {
    if (container_) {
        if (CContainer* holder = container_->AsContainer()) {
            if (holder->firstChild_ == this) holder->firstChild_ = nextSibling_;
        }
        // A corpse shows what its owner wore: an item leaving it is no longer shown there.
        if (container_->IsCorpse()) {
            for (CItem*& slot : static_cast<CCorpse*>(container_)->worn) {
                if (slot == this) slot = nullptr;
            }
        }
    } else {
        SectorCell* cell = g_sectorGrid.CellAt(loc_.x, loc_.y);
        if (cell && cell->objects == this) cell->objects = nextSibling_;
    }
    if (prevSibling_) prevSibling_->nextSibling_ = nextSibling_;
    if (nextSibling_) nextSibling_->prevSibling_ = prevSibling_;
    nextSibling_ = prevSibling_ = nullptr;
}

void CItem::RemoveCommon(bool loud) {
    const u32 serial = serial_;
    const Location where = GetWorldLocation();
    CMobile* topBefore = GetTopMobile();
    // A container leaving the bank box weighs its coins again once it is out.
    const bool leavesBankBox = IsContainer() && container_ && IsInBankBox();
    int layer = RemoveWeightFrom(container_);
    // The quiet form keeps the unequip trigger too: only its packets and camp timers go.
    if (layer >= 0 && !(status_ & kStatusNoTriggers) && IsTriggerLayer(layer)) {
        TriggerArgs args;
        args.serial = container_ ? container_->GetSerial() : 0;
        GetTriggerServices().SendTrigger(this, kTriggerUnequip, args);
        // The handler may have deleted the item: then it is not touched again.
        if (!IsObjectAlive(serial, this)) return;
        layer = GetEquipLayer();
    }
    if (IsValueless()) RemoveCallback(callbacks_, kActionDeleteValueless, 0);
    RemoveRangeListeners(this);
    RecordPlacement(WornLayers::kFromLayerOne);
    if (loud && type_ == kCampFireGraphic && !container_) {
        std::vector<CPlayer*> players;
        CollectPlayersNear(where, 8, players);
        for (CPlayer* player : players)
            player->SetCampStartTime(0);
    }
    if (loud && g_objectManager.IsOn(ObjectSwitch::kSendRemovalPackets) &&
        !(status_ & kStatusShownByMulti)) {
        GetPacketServices().SendDeleteObject(serial_, where, nullptr);
    }
    if (layer >= 0) {
        container_->AsMobile()->SetLayerField(layer, nullptr);
        container_ = nullptr;
        SetDetached(true);
        if (CPlayer* player = loud && topBefore ? topBefore->AsPlayer() : nullptr) {
            GetPacketServices().SendPlayerStatus(player);
        }
        return;
    }
    UnlinkFromChain();
    container_ = nullptr;
    SetDetached(true);
    if (leavesBankBox) AsContainer()->RecalcTreeContentWeight();
    if (CPlayer* player = loud && topBefore ? topBefore->AsPlayer() : nullptr) {
        GetPacketServices().SendPlayerStatus(player);
    }
}

void CItem::RemoveFromWorld() {
    RemoveCommon(true);
}
void CItem::RemoveFromWorldQuiet() {
    RemoveCommon(false);
}

// ---------------------------------------------------------------- placement record

void CItem::RecordPlacement(WornLayers layers) {
    const bool fromAnyLayer = layers == WornLayers::kAny;
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    if (IsEquipped()) {
        CMobile* wearer = container_->AsMobile();
        if (!fromAnyLayer && wearer->GetLayer(0) == this) return;
        placement_->lastWearer = wearer->GetSerial();
        placement_->lastLayer = kNoLayer;
        for (int i = fromAnyLayer ? 0 : 1; i < kLayerCount; ++i) {
            if (wearer->GetLayer(i) == this) {
                placement_->lastLayer = static_cast<u16>(i);
                break;
            }
        }
        placement_->lastContainer = 0;
        placement_->lastContainerLocation.SetUnset();
        placement_->lastLocation = GetWorldLocation();
        return;
    }
    if (IsInTrade()) return;
    placement_->lastWearer = 0;
    placement_->lastLayer = kNoLayer;
    if (container_) {
        placement_->lastContainer = container_->GetSerial();
        placement_->lastContainerLocation = loc_;
    } else {
        placement_->lastContainer = 0;
        placement_->lastContainerLocation.SetUnset();
    }
    placement_->lastLocation = GetWorldLocation();
}

void CItem::FreePlacement() {
    if (!placement_) return;
    GetPlacementPool().Release(placement_);
    placement_ = nullptr;
}

void CItem::SetPlacementContainer(u32 serial) {
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    placement_->lastContainer = serial;
}
void CItem::SetPlacementWearer(u32 serial) {
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    placement_->lastWearer = serial;
}
void CItem::SetPlacementLayer(int layer) {
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    placement_->lastLayer = static_cast<u16>(layer);
}
void CItem::SetPlacementLocation(int x, int y, int z) {
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    placement_->lastLocation.Set(x, y, z);
}
void CItem::SetPlacementContainerLocation(int x, int y, int z) {
    if (!placement_) placement_ = GetPlacementPool().Acquire();
    placement_->lastContainerLocation.Set(x, y, z);
}

// ---------------------------------------------------------------- moving

bool CItem::MoveTo(const Location& at) {
    if (!detached_) RemoveFromWorld();
    PlaceInWorld(at);
    return true;
}

bool CItem::MoveToChecked(const Location& at) {
    if (!g_sectorGrid.Contains(at.x, at.y)) return false;
    const u32 serial = serial_;
    RemoveFromWorld();
    if (!IsObjectAlive(serial, this)) return false;
    PlaceInWorld(at);
    return true;
}

void CItem::MoveToSectorChainEnd() {
    if (container_) return;
    SectorCell* cell = g_sectorGrid.CellAt(loc_.x, loc_.y);
    if (!cell || cell->objects != this || !nextSibling_) return;
    CItem* last = nextSibling_;
    while (last->nextSibling_)
        last = last->nextSibling_;
    cell->objects = nextSibling_;
    nextSibling_->prevSibling_ = nullptr;
    last->nextSibling_ = this;
    prevSibling_ = last;
    nextSibling_ = nullptr;
}

namespace {
// A container may not go into itself or into anything inside it.
bool IsInsideOf(const CItem* container, const CItem* item) {
    for (int depth = 0; container && depth < 1000; ++depth) {
        if (container == item) return true;
        container = container->GetContainer();
    }
    return false;
}
}  // namespace

Location CItem::RandomSpotIn(const CContainer* holder) const {
    int minX, maxX, minY, maxY, width, height;
    holder->GetGumpBounds(minX, maxX, minY, maxY);
    GetArtSize(width, height);
    // Art larger than the window puts the corner at 0 (RandomRange answers 0 for an empty
    // range).
    return Location(RandomRange(minX, maxX - width), RandomRange(minY, maxY - height), 0);
}

void CItem::NotifyContainerPlacement() {
    if (!g_objectManager.IsOn(ObjectSwitch::kLoading))
        GetPacketServices().SendContainerItem(this, GetWorldLocation());
    CMobile* top = GetTopMobile();
    if (CPlayer* player = top ? top->AsPlayer() : nullptr)
        GetPacketServices().SendPlayerStatus(player);
}

bool CItem::AddToContainer(CItem* container, const Location& at) {
    if (IsSectorResources()) return true;
    if (!container || !container->IsContainer() || !detached_ || IsInsideOf(container, this)) {
        return false;
    }
    CContainer* holder = container->AsContainer();
    if (container->GetType() == 11000 || container->IsSpellbook()) {
        loc_ = at;
        const u32 serial = serial_;
        const bool placed = container->GetType() == 11000 ? InsertIntoContainerByX(container)
                                                          : InsertIntoContainerOrdered(container);
        if (placed && IsObjectAlive(serial, this) && container_ == holder) AddWeightTo(container);
        return placed;
    }
    decayCount_ = 0;
    Location position = at;
    if (position.x == -1) {
        if (IsGeneric()) {
            const u32 serial = serial_;
            std::vector<u32> children;
            for (CItem* c = holder->GetFirstChild(); c; c = c->GetNextSibling())
                children.push_back(c->GetSerial());
            for (u32 childSerial : children) {
                CItem* child = g_objectManager.FindBySerial(childSerial);
                if (!child || child->GetContainer() != holder) continue;
                const bool stacks = CanStackWith(child);
                // The isstackableon handler may have deleted either item.
                if (!IsObjectAlive(serial, this)) return false;
                if (stacks && IsObjectAlive(childSerial, child)) return MergeOnto(child);
            }
        }
        position = RandomSpotIn(holder);
        position.z = at.z;
    }
    holder->LinkChildAtHead(this);
    if (IsContainer() && IsInBankBox()) AsContainer()->RecalcTreeContentWeight();
    AddWeightTo(container);
    loc_ = position;
    SetDetached(false);
    NotifyContainerPlacement();
    FreePlacement();
    return true;
}

bool CItem::InsertIntoContainerOrderedBy(CItem* container, bool byX) {
    if (multiLink_) return ReturnToLastPlace();
    CContainer* holder = container ? container->AsContainer() : nullptr;
    if (!holder || !detached_ || IsInsideOf(container, this)) return false;
    if (loc_.x == -1) {
        const s16 z = loc_.z;
        loc_ = RandomSpotIn(holder);
        loc_.z = z;
    }
    auto key = [byX](const CItem* item) {
        if (byX) return static_cast<int>(item->loc_.x);
        return item->IsGeneric()
                   ? item->CountResourceUnits()
                   : static_cast<int>(GetTileData().Static(item->type_).value & 0xFFFF);
    };
    const int mine = key(this);
    CItem* before = holder->GetFirstChild();
    while (before && key(before) < mine)
        before = before->GetNextSibling();
    holder->LinkChildBefore(this, before);
    SetDetached(false);
    decayCount_ = 0;
    NotifyContainerPlacement();
    FreePlacement();
    return true;
}

bool CItem::InsertIntoContainerByX(CItem* container) {
    return InsertIntoContainerOrderedBy(container, true);
}
bool CItem::InsertIntoContainerOrdered(CItem* container) {
    return InsertIntoContainerOrderedBy(container, false);
}

bool CItem::EquipOn(CMobile* mobile, int layer) {
    if (multiLink_) {
        ReturnToLastPlace();
        return false;
    }
    if (!mobile || layer < 0 || layer >= kLayerCount || mobile->GetLayer(layer)) return false;
    // An item still lying somewhere would be in two places at once.
    if (!detached_ || mobile == this) return false;
    decayCount_ = 0;
    mobile->SetLayerField(layer, this);
    container_ = mobile;
    SetDetached(false);
    AddWeightTo(mobile);
    if (!g_objectManager.IsOn(ObjectSwitch::kLoading) && !mobile->IsDetached() && layer != 0 &&
        !(status_ & kStatusShownByMulti)) {
        GetPacketServices().SendWornItem(this, mobile, layer);
    }
    CMobile* top = GetTopMobile();
    if (CPlayer* player = top ? top->AsPlayer() : nullptr)
        GetPacketServices().SendPlayerStatus(player);
    if (!(status_ & kStatusNoTriggers) && IsTriggerLayer(layer)) {
        TriggerArgs args;
        args.serial = mobile->GetSerial();
        // A handler may delete the item; callers look it up again by serial.
        GetTriggerServices().SendTrigger(this, kTriggerEquip, args);
    }
    return true;
}

bool CItem::PutInPack(CMobile* mobile) {
    if (!mobile) return false;
    for (int i = 0; i <= 25; ++i) {
        CItem* worn = mobile->GetLayer(i);
        if (worn && worn->IsUsableContainer()) {
            const u32 serial = serial_;
            if (AddToContainer(worn, Location(-1, -1, 0))) return true;
            // A pack that refuses the item leaves it at the mobile's feet, not nowhere.
            if (!IsObjectAlive(serial, this) || !detached_) return true;
            break;
        }
    }
    PlaceInWorld(mobile->GetWorldLocation());
    return true;
}

bool CItem::ReturnToLastPlace() {
    if (!placement_) return false;
    const PlacementRecord record = *placement_;
    // Each recorded place is tried in turn; one that refuses the item (a taken layer, a full
    // or vanished container) passes it on, so the item is never left nowhere while the
    // recorded world location can take it. An item with a multi link would only come back
    // here from EquipOn.
    if (record.lastWearer && !multiLink_) {
        CMobile* wearer = g_objectManager.FindMobile(record.lastWearer);
        if (wearer && EquipOn(wearer, record.lastLayer)) return true;
    }
    if (record.lastContainer) {
        CItem* holder = g_objectManager.FindBySerial(record.lastContainer);
        if (holder && holder != this) {
            if (holder->IsContainer()) {
                if (AddToContainer(holder, record.lastContainerLocation)) return true;
            } else {
                const u32 serial = serial_;
                const bool stacks = CanStackWith(holder);
                if (!IsObjectAlive(serial, this)) return true;  // a handler deleted it
                if (stacks && IsObjectAlive(record.lastContainer, holder)) return MergeOnto(holder);
            }
        }
    }
    if (g_sectorGrid.Contains(record.lastLocation.x, record.lastLocation.y)) {
        PlaceInWorld(record.lastLocation);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- queries

Location CItem::GetWorldLocation() const {
    const CItem* item = this;
    // Containers never hold themselves; the depth bound guards against a damaged chain.
    for (int depth = 0; item->container_ && depth < 1000; ++depth)
        item = item->container_;
    return item->loc_;
}

bool CItem::IsContained() const {
    return container_ != nullptr;
}

bool CItem::IsEquipped() const {
    return GetEquipLayer() >= 0;
}

int CItem::GetEquipLayer() const {
    const CMobile* wearer = container_ ? container_->AsMobile() : nullptr;
    if (!wearer) return -1;
    for (int i = 0; i < kLayerCount; ++i) {
        if (wearer->GetLayer(i) == this) return i;
    }
    return -1;
}

bool CItem::IsInBankBox() const {
    const CItem* item = this;
    for (int depth = 0; item && depth < 1000; ++depth) {
        CItem* holder = item->container_;
        const CMobile* wearer = holder ? holder->AsMobile() : nullptr;
        if (wearer && wearer->GetLayer(kBankBoxLayer) == item) return true;
        item = holder;
    }
    return false;
}

namespace {
// Graphics the decay removal leaves alone.
constexpr u16 kDecayIgnoredGraphics[] = {3612, 4006, 4013};
}  // namespace

bool CItem::IsDecayIgnoredGraphic() const {
    for (u16 graphic : kDecayIgnoredGraphics) {
        if (type_ == graphic) return true;
    }
    return false;
}

CContainer* CItem::AsContainer() {
    return IsContainer() ? static_cast<CContainer*>(this) : nullptr;
}
const CContainer* CItem::AsContainer() const {
    return IsContainer() ? static_cast<const CContainer*>(this) : nullptr;
}
CMobile* CItem::AsMobile() {
    return IsMobile() ? static_cast<CMobile*>(this) : nullptr;
}
const CMobile* CItem::AsMobile() const {
    return IsMobile() ? static_cast<const CMobile*>(this) : nullptr;
}
CPlayer* CItem::AsPlayer() {
    return IsPlayer() ? static_cast<CPlayer*>(this) : nullptr;
}
CNPC* CItem::AsNPC() {
    return IsNPC() ? static_cast<CNPC*>(this) : nullptr;
}
CWeapon* CItem::AsWeapon() {
    return IsWeapon() ? static_cast<CWeapon*>(this) : nullptr;
}
CMapItem* CItem::AsMap() {
    return IsMap() ? static_cast<CMapItem*>(this) : nullptr;
}

CMobile* CItem::GetTopMobile() const {
    const CItem* item = this;
    for (int depth = 0; item->container_ && depth < 1000; ++depth)
        item = item->container_;
    return const_cast<CItem*>(item)->AsMobile();
}

int CItem::GetShownGraphic() const {
    return type_ + ((status_ & kStatusShowsNextGraphic) ? 1 : 0);
}

int CItem::GetHeight() const {
    return GetTileData().Static(GetShownGraphic()).height;
}
u32 CItem::GetObjectFlags() const {
    return GetTileData().StaticFlags(GetShownGraphic());
}

bool CItem::IsDoor() const {
    return (GetTileData().StaticFlags(GetShownGraphic()) & kTileDoor) != 0;
}
bool CItem::IsClosedDoor() const {
    return IsDoor() && !(status_ & kStatusShowsNextGraphic);
}

bool CItem::IsGeneric() const {
    return type_ < kTileCount && (GetTileData().StaticFlags(type_) & kTileGeneric) != 0 &&
           HasRequiredResources();
}

int CItem::GetQuantity() const {
    return IsGeneric() ? CountResourceUnits() : 1;
}
int CItem::GetResourceAmount(int key) const {
    // The current (third) amounts of the held entries.
    return SumHeldAmounts(resources_, key, 2);
}

namespace {
// Resource types that make an item worth something, with their weights in its value.
struct ValueResource {
    const char* name;
    int weight;
};
constexpr ValueResource kValueResources[] = {{"magic", 1}, {"gold", 1},  {"cloth", 1},
                                             {"wood", 1},  {"water", 1}, {"leather", 1},
                                             {"meat", 1},  {"metal", 2}, {"jewels", 20}};
}  // namespace

int CItem::GetValue(int useTypeBase, int applyMinimum) {
    if (IsValueless()) return 0;
    s64 sum = 0;
    s32 v = 0;
    if (GetObjVarIntChecked("mybasevalue", v)) sum += v;
    const CCountedObject* source = useTypeBase ? g_objectManager.GetResourcePrototype(type_)
                                               : static_cast<CCountedObject*>(this);
    if (source) {
        for (const ValueResource& r : kValueResources) {
            s32 amount = 0;
            const int type = GetResourceTypes().FindNumber(r.name);
            if (type && source->GetResourceAmountByNumber(amount, type, kResourceHeld, 2))
                sum += static_cast<s64>(amount) * r.weight;
        }
    }
    if (GetObjVarIntChecked("satiety", v)) sum += v;
    if (sum <= 1) sum = useTypeBase ? 2 : 2 * static_cast<s64>(GetQuantity());
    sum += GetTileData().Static(GetShownGraphic()).BaseValue();
    int value = static_cast<int>(sum > 0x7FFFFFFF    ? 0x7FFFFFFF
                                 : sum < -0x7FFFFFFF ? -0x7FFFFFFF
                                                     : sum);
    if (applyMinimum) value = ApplyValueMinimum(value);
    return value;
}

int CItem::ApplyValueMinimum(int value) const {
    if (value <= 0) value = GetTileData().Static(GetShownGraphic()).BaseValue();
    return value <= 0 ? 1 : value;
}

int CItem::GetTotalValue() {
    // A stack made only of what its type needs is worth its type; anything more counts itself.
    return GetValue(IsGeneric() ? HoldsOnlyRequiredResources() : 1, 1);
}

bool CItem::IsMovableBy(CMobile* mobile) const {
    if (multiLink_) return false;
    const CPlayer* player = mobile ? mobile->AsPlayer() : nullptr;
    if (player && player->IsEditing()) return true;
    if (IsNoDrawType(type_) || IsCorpse()) return false;
    s32 overloaded = 0;
    if ((status_ & kStatusWeightOverride) && GetObjVarIntChecked("overloadedWeight", overloaded))
        return overloaded <= 90;
    // A tile weight of 255 marks an immovable item.
    return GetTileData().Static(GetShownGraphic()).weight < 91;
}

namespace {
constexpr int kBackpackLayer = 21;
constexpr int kUseRange = 4;
constexpr int kObjAccessKey = 9;
}  // namespace

int CItem::AccessThroughContainers(const CItem** owner) const {
    *owner = nullptr;
    const CItem* below = this;
    for (int depth = 0; below->container_ && depth < 1000; ++depth) {
        const CItem* up = below->container_;
        if (const CMobile* mobile = up->AsMobile()) {
            *owner = mobile;
            return mobile->GetLayer(kBackpackLayer) == below || IsEquipped() ? 1 : 0;
        }
        if (!up->IsUsableContainer()) return 0;
        below = up;
    }
    return 1;
}

bool CItem::IsWithinReachOf(CMobile* mobile) const {
    return ChebyshevDistanceWrapped(GetWorldLocation(), mobile->GetWorldLocation()) < kUseRange &&
           ItemCanSee(*mobile, *this, kSightWalls);
}

bool CItem::IsFreelyUsable(CMobile* mobile) const {
    if (!mobile) return false;
    const CPlayer* player = mobile->AsPlayer();
    if (player && player->IsEditing()) return true;
    if (IsNoDrawType(type_)) return false;
    const CItem* owner = nullptr;
    if (!AccessThroughContainers(&owner)) return false;
    if (owner && owner != mobile) {
        // The owner's scripts decide: a handler answers 0 to grant access.
        const u32 serial = serial_;
        const u32 user = mobile->GetSerial();
        TriggerArgs args;
        args.value = kObjAccessKey;
        args.serial = user;
        args.other = serial;
        if (GetTriggerServices().SendTrigger(const_cast<CItem*>(owner), kTriggerObjAccess, args))
            return false;
        // The handler may have deleted the item or the user.
        if (!IsObjectAlive(serial, this) || !IsObjectAlive(user, mobile)) return false;
    }
    return IsWithinReachOf(mobile);
}

bool CItem::IsFreelyViewable(CMobile* mobile) const {
    if (!mobile) return false;
    const CPlayer* player = mobile->AsPlayer();
    if (player && player->IsEditing()) return true;
    if (IsNoDrawType(type_)) return false;
    for (const CItem* up = container_; up; up = up->container_) {
        if (up->IsMobile()) {
            if (up == container_ && !IsEquipped()) return false;
            break;
        }
        if (!up->IsUsableContainer()) return false;
    }
    return IsWithinReachOf(mobile);
}
bool CItem::IsMultiCompOrSectorResources() const {
    return multiLink_ != nullptr || IsSectorResources();
}
int CItem::GetContentWeight() const {
    return GetWeight();
}
int CItem::GetLayerByte() const {
    const StaticTileRecord& r = GetTileData().Static(type_);
    return (r.flags & kTileLightSource) ? r.layer : 0;
}
void CItem::GetArtSize(int& width, int& height) const {
    GetTileData().GetArtSize(GetShownGraphic(), width, height);
}

void CItem::SetSerial(u32 serial) {
    g_objectManager.OnSerialChanging(this);
    g_objectManager.UnlinkSerial(this);
    if (serial != serial_) g_objectManager.OnSerialReleased(serial_);
    serial_ = serial;
    g_objectManager.LinkSerial(this);
}

void CItem::DropContentsAt(const Location&) {}
void CItem::DropContentsOrSendHome(const Location&) {}
void CItem::DeleteContentsOrSendHome() {}
void CItem::RecalcWeight() {}
void CItem::CheckRegistration() {
    FindSelfBySerial();
    if (container_) container_->FindSelfBySerial();
}
CItem* CItem::FindSelfBySerial() const {
    return g_objectManager.FindBySerial(serial_);
}
void CItem::CheckRegistrationUnlessLoading() {
    if (!g_objectManager.IsOn(ObjectSwitch::kLoading)) FindSelfBySerial();
}
CItem* CItem::FindObjVarListHolder(const char* listName, CItem* object) {
    const CScriptList* list = ObjVars::GetList(attachments_, listName);
    if (!list || !object) return nullptr;
    return list->Contains(kTypeObject, ScriptListValue::Int(static_cast<s32>(object->GetSerial())))
               ? this
               : nullptr;
}
int CItem::GetPacketAmount() const {
    s32 v = 0;
    if (type_ == 4079 || type_ == 4080) return GetObjVarIntChecked("bookNum", v) ? (v & 0xFFFF) : 0;
    if (type_ == 4081 || type_ == 4082) {
        if (GetObjVarIntChecked("bookPages", v)) return v & 0xFFFF;
    }
    return static_cast<int>(GetTileData().Static(type_).value & 0xFFFF);
}
void CItem::ApplyStatusFlags(u8 packetStatus) {
    if (packetStatus & 0x20) status_ |= kStatusWeightOverride;
    if (packetStatus & 0x80) status_ |= kStatusHidden;
}
void CItem::GetStatusFlags(u8& packetStatus) const {
    packetStatus = 0;
    if (status_ & kStatusWeightOverride) packetStatus |= 0x20;
    if (status_ & kStatusHidden) packetStatus |= 0x80;
}
bool CItem::IsHidden() const {
    return (status_ & kStatusHidden) != 0;
}
void CItem::SetHidden(bool hidden) {
    if (hidden) {
        status_ |= kStatusHidden;
    } else {
        status_ &= static_cast<u8>(~kStatusHidden);
    }
    ResendToRange(!hidden);
}

void CItem::ResendToRange(int) {
    if (detached_ || (status_ & kStatusShownByMulti)) return;
    const Location where = GetWorldLocation();
    if (!container_) {
        GetPacketServices().SendObjectInfo(this, where);
        return;
    }
    const int layer = GetEquipLayer();
    if (layer >= 0) {
        GetPacketServices().SendWornItem(this, container_->AsMobile(), layer);
    } else {
        GetPacketServices().SendContainerItem(this, where);
    }
}

void CItem::SetOverloadedWeight(int weight) {
    // The cached weights above change with the item's own.
    CContainer* holder = container_ && !IsWeightless() ? container_->AsContainer() : nullptr;
    if (holder) holder->RemoveContentWeight(GetWeight());
    ObjVars::Set(attachments_, "overloadedWeight", kTypeInt, ScriptListValue::Int(weight));
    status_ |= kStatusWeightOverride;
    if (holder) holder->AddContentWeight(GetWeight());
    ResendToRange(0);
}

void CItem::RestoreWeightOverride() {
    if (ObjVars::Has(attachments_, "overloadedWeight", kTypeInt)) status_ |= kStatusWeightOverride;
}
void CItem::DumpText(CStr& out, int) {
    out = GetRealName();
}
int CItem::WriteSaveFields(std::string& out, int withLetter) {
    return WriteObjectRecord(*this, out, withLetter != 0);
}

// ---------------------------------------------------------------- variables

bool CItem::IsValueless() const {
    return ObjVars::Has(attachments_, "valueless", kTypeInt);
}

void CItem::MakeValueless() {
    ObjVars::Set(attachments_, "valueless", kTypeInt, ScriptListValue::Int(1));
    decayCount_ = static_cast<u8>(std::clamp(g_decay.limit, 0, 255));
}

void CItem::EnsurePending() {
    if (callbacks_) EnsureCallbacksPending(serial_);
}

void CItem::SetDetached(bool value) {
    if (detached_ == value) return;
    detached_ = value;
    if (callbacks_) CallbacksObjectMoved(this);
}

// ---------------------------------------------------------------- home

namespace {
constexpr char kHomeVariable[] = "home";
}  // namespace

bool CItem::HasHome() const {
    return ObjVars::Has(attachments_, kHomeVariable, kTypeLocation);
}

bool CItem::GetHome(Location& out) const {
    return ObjVars::GetLocation(attachments_, kHomeVariable, out);
}

void CItem::SetHome(const Location& at) {
    if (at.IsUnset()) {
        RemoveHome();
        return;
    }
    ObjVars::Set(attachments_, kHomeVariable, kTypeLocation, ScriptListValue::Ptr(&at));
}

void CItem::SetHomeHere() {
    SetHome(GetWorldLocation());
}

void CItem::RemoveHome() {
    ObjVars::Remove(attachments_, kHomeVariable);
}

bool CItem::SendHome() {
    Location home;
    if (!GetHome(home) || !g_sectorGrid.Contains(home.x, home.y)) return false;
    const u32 serial = serial_;
    if (!detached_) RemoveFromWorld();
    // An unequip handler may have deleted the item.
    if (!IsObjectAlive(serial, this)) return false;
    PlaceInWorld(home);
    return true;
}

bool CItem::IsAtHome() const {
    Location home;
    if (IsContained() || IsMobile() || !GetHome(home)) return false;
    if (loc_.x != home.x || loc_.y != home.y || loc_.z != home.z) return false;
    // Only a home inside a city or justice region counts.
    return GetAreaServices().IsInJusticeRegion(home);
}

// ---------------------------------------------------------------- templates

void CItem::SetTemplateId(int id) {
    LeaveTemplateList();
    template_ = static_cast<u16>(id);
    g_objectManager.LinkTemplate(this, id);
}

void CItem::LeaveTemplateList() {
    g_objectManager.UnlinkTemplate(this);
    template_ = kNoTemplate;
}
