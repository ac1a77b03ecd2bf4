#include "server/world/item.h"

#include "core/log_sink.h"
#include "platform/clock.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_value.h"
#include "script/runtime/trigger_services.h"
#include "server/net/packet_services.h"
#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"
#include "server/world/placement_record.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"

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
    detached_ = false;
    FreePlacement();
}

void CItem::PlaceInWorld(const Location& at) {
    if (!detached_) RemoveFromWorldQuiet();
    if (cloc_.IsUnset()) cloc_ = at;
    ScheduleValuelessExpiry();
    LinkIntoCell(at);
    AddRangeListeners(this);
    detached_ = false;
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

int CItem::AddWeightTo(CItem* container) {
    if (!container) return -1;
    return GetEquipLayer();
}

int CItem::RemoveWeightFrom(CItem* container) {
    if (!container) return -1;
    return GetEquipLayer();
}

void CItem::UnlinkFromChain() {
    if (container_) {
        if (CContainer* holder = container_->AsContainer()) {
            if (holder->firstChild_ == this) holder->firstChild_ = nextSibling_;
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
    int layer = GetEquipLayer();
    if (!(status_ & kStatusWeightless)) layer = RemoveWeightFrom(container_);
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
        detached_ = true;
        if (CPlayer* player = loud && topBefore ? topBefore->AsPlayer() : nullptr) {
            GetPacketServices().SendPlayerStatus(player);
        }
        return;
    }
    UnlinkFromChain();
    container_ = nullptr;
    detached_ = true;
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

bool CItem::AddToContainer(CItem* container, const Location& at) {
    if (IsSectorResources()) return true;
    if (!container || !container->IsContainer() || container == this || !detached_) return false;
    decayCount_ = 0;
    Location position = at;
    if (position.x == -1) {
        // The container's layout rectangle comes with the container rules; until then the
        // item goes to the window's corner.
        position.x = 0;
        position.y = 0;
    }
    container->AsContainer()->LinkChildAtHead(this);
    if (!(status_ & kStatusWeightless)) AddWeightTo(container);
    loc_ = position;
    detached_ = false;
    if (!g_objectManager.IsOn(ObjectSwitch::kLoading))
        GetPacketServices().SendContainerItem(this, GetWorldLocation());
    CMobile* top = GetTopMobile();
    if (CPlayer* player = top ? top->AsPlayer() : nullptr)
        GetPacketServices().SendPlayerStatus(player);
    FreePlacement();
    return true;
}

bool CItem::InsertIntoContainerByX(CItem* container) {
    return AddToContainer(container, loc_);
}
bool CItem::InsertIntoContainerOrdered(CItem* container) {
    return AddToContainer(container, loc_);
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
    detached_ = false;
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
            return AddToContainer(worn, Location(-1, -1, 0));
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
            if (holder->IsContainer() && AddToContainer(holder, record.lastContainerLocation)) {
                return true;
            }
            // Merging onto a stack comes with the stacking rules.
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
    return (GetTileData().StaticFlags(type_) & kTileGeneric) != 0;
}

const char* CItem::GetName(int) const {
    return GetRealName();
}
int CItem::GetQuantity() const {
    return 1;
}
int CItem::GetResourceAmount(int) const {
    return 0;
}

int CItem::GetValue(int useTypeBase, int applyMinimum) {
    // Object variables ("valueless", "mybasevalue", "satiety") and resources join with the
    // object-variable and resource rules; without them the sum is 0.
    int sum = 0;
    if (sum <= 1) sum = useTypeBase ? 2 : 2 * GetQuantity();
    const int base = GetTileData().Static(GetShownGraphic()).BaseValue();
    int value = sum + base;
    if (applyMinimum) {
        if (value <= 0) value = base;
        if (value <= 0) value = 1;
    }
    return value;
}

int CItem::GetTotalValue() {
    return GetValue(1, 1);
}

bool CItem::IsMovableBy(CMobile*) const {
    return true;
}
bool CItem::IsFreelyUsable(CMobile*) const {
    return true;
}
bool CItem::IsFreelyViewable(CMobile*) const {
    return true;
}
bool CItem::IsMultiCompOrSectorResources() const {
    return multiLink_ != nullptr || IsSectorResources();
}
int CItem::GetWeight() const {
    return GetTileData().Static(GetShownGraphic()).weight;
}
int CItem::GetContentWeight() const {
    return GetWeight();
}
bool CItem::CanStackWith(CItem*) const {
    return false;
}
void CItem::GetDescriptiveName(CStr& out, int) const {
    out = GetRealName();
}
void CItem::SendToPlayers(std::vector<CPlayer*>& players, int flag) {
    for (CPlayer* player : players)
        SendToPlayer(player, flag);
}
void CItem::SendToPlayer(CPlayer*, int) {}
int CItem::GetLayerByte() const {
    const StaticTileRecord& r = GetTileData().Static(type_);
    return (r.flags & kTileLayered) ? r.layer : 0;
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
CItem* CItem::FindObjVarListHolder(const char*, CItem*) {
    return nullptr;
}
int CItem::GetPacketAmount() const {
    return GetQuantity();
}
void CItem::ApplyStatusFlags(u8) {}
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
}
void CItem::SetMurderCount(int) {}
int CItem::GetNotorietyFor(CMobile*) const {
    return 0;
}
void CItem::RefreshAggression() {}
bool CItem::IsLawfulTargetWithInfo(CMobile*, ControllerInfo*) {
    return false;
}
bool CItem::CanBeFreelyAggressedBy(CMobile*) {
    return false;
}
void CItem::RecordAggressionWithInfo(CMobile*, CPlayer*, u32) {}
void CItem::ReceiveAggressionFrom(CMobile*) {}
void CItem::ReceiveUnhealthyActionFrom(CMobile*) {}
void CItem::GetControllerInfo(ControllerInfo&) {}
void CItem::ChangeReputation(int, int) {}
void CItem::DumpText(CStr& out, int) {
    out = GetRealName();
}
int CItem::WriteSaveFields(CStr&, int) {
    return 0;
}

// ---------------------------------------------------------------- variables

bool CItem::IsValueless() const {
    return ObjVars::Has(attachments_, "valueless", kTypeInt);
}

void CItem::EnsurePending() {
    if (callbacks_) EnsureCallbacksPending(serial_);
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
    // Only a home inside a city or justice region counts, and regions are not built yet: no
    // item is at home until they are.
    static bool logged = false;
    if (!logged) {
        logged = true;
        GetLogSink().Log(0, 0, 0, "", "world", "error",
                         "CItem::IsAtHome: the city and justice regions are not built yet; "
                         "no item counts as at home");
    }
    return false;
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
