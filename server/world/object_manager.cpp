#include "server/world/object_manager.h"

#include <algorithm>
#include <string>

#include "script/runtime/trigger_services.h"
#include "server/world/bulletin_board.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile_table.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"
#include "server/world/npc.h"

CObjectManager g_objectManager;

namespace {
// The graphics made as bulletin boards.
constexpr int kBulletinBoardGraphics[] = {7774, 7775};
}  // namespace

CObjectManager::CObjectManager()
    : buckets_(kSerialBuckets, nullptr),
      bucketInUse_(kSerialBuckets / 64, 0),
      templateHeads_(kTemplateLists, nullptr),
      templateCounts_(kTemplateLists, 0) {
    // One resource prototype per graphic, made as bulk work.
    ObjectSwitchGuard loading(ObjectSwitch::kLoading, true, *this);
    prototypes_ = new CCountedObject[kTileCount];
    for (int i = 0; i < kTileCount; ++i)
        prototypes_[i].SetType(i);
}

// The manager lives until the process ends; its prototypes are reclaimed with it.
CObjectManager::~CObjectManager() {
    delete[] prototypes_;
}

ObjectSwitchGuard::ObjectSwitchGuard(ObjectSwitch which, bool on, CObjectManager& manager)
    : manager_(manager), which_(which), old_(manager.IsOn(which)) {
    manager_.switches_[static_cast<int>(which_)] = on;
}

ObjectSwitchGuard::~ObjectSwitchGuard() {
    manager_.switches_[static_cast<int>(which_)] = old_;
}

CCountedObject* CObjectManager::GetResourcePrototype(int graphic) const {
    return graphic >= 0 && graphic < kTileCount ? &prototypes_[graphic] : nullptr;
}

// ---------------------------------------------------------------- serial hash

void CObjectManager::LinkSerial(CItem* item) {
    const u32 bucket = item->GetSerial() & 0xFFFF;
    CItem*& head = buckets_[bucket];
    item->bucketPrev = nullptr;
    item->bucketNext = head;
    if (head) head->bucketPrev = item;
    head = item;
    bucketInUse_[bucket / 64] |= u64{1} << (bucket % 64);
    index_.Add(item->GetSerial(), item);
    ++linkChanges_;
    if (item->TimedCallbacks()) CallbacksObjectMoved(item);
}

void CObjectManager::UnlinkSerial(CItem* item) {
    CItem*& head = buckets_[item->GetSerial() & 0xFFFF];
    if (head == item) {
        head = item->bucketNext;
    } else if (!item->bucketPrev) {
        return;  // not in this bucket (already unlinked)
    }
    const u32 serial = item->GetSerial();
    const bool found = index_.Find(serial) == item;
    if (index_.Remove(serial, item) > 0 && found) {
        // Another object shares the serial: the next of them in the bucket (the newest
        // left, as the bucket keeps the newest first) is found from now on.
        CItem* next = item->bucketNext;
        while (next && next->GetSerial() != serial)
            next = next->bucketNext;
        index_.Replace(serial, next);
    }
    if (item->bucketPrev) item->bucketPrev->bucketNext = item->bucketNext;
    if (item->bucketNext) item->bucketNext->bucketPrev = item->bucketPrev;
    item->bucketNext = item->bucketPrev = nullptr;
    const u32 bucket = serial & 0xFFFF;
    if (!buckets_[bucket]) bucketInUse_[bucket / 64] &= ~(u64{1} << (bucket % 64));
    ++linkChanges_;
    if (item->TimedCallbacks()) CallbacksObjectMoved(item);
}

int CObjectManager::EmptyBucketsFrom(int bucket, int limit) const {
    int empty = 0;
    int at = bucket & (kSerialBuckets - 1);
    while (empty < limit) {
        // The bits of this word from `at` on; a set one ends the run.
        const u64 word = bucketInUse_[static_cast<size_t>(at / 64)] >> (at % 64);
        const int room = 64 - at % 64;
        const int run = word ? __builtin_ctzll(word) : room;
        empty += std::min(run, room);
        if (run < room) break;
        at = (at + room) & (kSerialBuckets - 1);
    }
    return std::min(empty, limit);
}

CItem* CObjectManager::FindBySerial(u32 serial) const {
    return index_.Find(serial);
}

CMobile* CObjectManager::FindMobile(u32 serial) const {
    CItem* item = FindBySerial(serial);
    return item ? item->AsMobile() : nullptr;
}

CNPC* CObjectManager::FindNPC(u32 serial) const {
    CItem* item = FindBySerial(serial);
    return item ? item->AsNPC() : nullptr;
}

bool CObjectManager::SerialExistsEitherForm(u32 serial) const {
    return FindBySerial(serial) || FindBySerial(serial ^ 0x40000000u);
}

void CObjectManager::CollectAllSerials(std::vector<u32>& out) const {
    for (CItem* head : buckets_) {
        for (CItem* item = head; item; item = item->bucketNext)
            out.push_back(item->GetSerial());
    }
}

bool IsRegistered(const CItem* object) {
    if (!object) return false;
    // In a bucket: its head, or linked behind another object (unlinking clears the links).
    return object->bucketPrev != nullptr ||
           g_objectManager.GetBucketHead(object->GetSerial() & 0xFFFF) == object;
}

namespace {
const char* KindName(const CItem* item) {
    if (item->IsPlayer()) return "Player";
    if (item->IsNPC()) return "NPC";
    if (item->IsMobile()) return "Mobile";
    if (item->IsContainer()) return "Container";
    return item->IsStatic() ? "Static" : "Dynamic";
}
}  // namespace

void CObjectManager::CheckDuplicateIds(CPlayer* player) {
    bool found = false;
    for (int bucket = 0; bucket < kSerialBuckets; ++bucket) {
        for (CItem* first = buckets_[bucket]; first; first = first->bucketNext) {
            for (CItem* second = first->bucketNext; second; second = second->bucketNext) {
                if (first->GetSerial() != second->GetSerial()) continue;
                found = true;
                const std::string text =
                    "DupId: " + std::to_string(static_cast<int>(first->GetSerial())) + " (" +
                    KindName(first) + "-" + KindName(second) + ")";
                GetPacketServices().SendSystemMessage(player, text.c_str());
                // The fresh serial moves it to another bucket: this bucket's walk restarts.
                second->SetSerial(IssueSerial());
                second = first;
            }
        }
    }
    if (!found) GetPacketServices().SendSystemMessage(player, "No Duplicate Id's found.");
}

void CObjectManager::SendCompressionNotice(CPlayer* player) {
    GetPacketServices().SendSystemMessage(player, "Compression not yet implemented.");
}

const StaticTileRecord& GetTileInfo(int graphic) {
    static StaticTileRecord copy;
    copy = GetTileData().Static(graphic);
    return copy;
}

// ---------------------------------------------------------------- whole trees

namespace {

// What an object carries with it: a container's contents, then what a mobile wears.
std::vector<CItem*> OwnedObjects(CItem* object) {
    std::vector<CItem*> owned;
    if (const CContainer* container = object->AsContainer()) {
        for (CItem* c = container->GetFirstChild(); c; c = c->GetNextSibling())
            owned.push_back(c);
    }
    if (const CMobile* mobile = object->AsMobile()) {
        for (int layer = 0; layer < kLayerCount; ++layer) {
            if (CItem* worn = mobile->GetLayer(layer)) owned.push_back(worn);
        }
    }
    return owned;
}

}  // namespace

void SuspendObjectTree(CItem* object) {
    if (!object) return;
    if (CContainer* container = object->AsContainer()) {
        // A trade container belongs to its trade's tear-down.
        const bool ended = container->CancelTrade();
        if (ended && !object->IsPlayer()) return;
    }
    g_objectManager.UnlinkSerial(object);
    if (!object->IsContained()) {
        if (object->IsDetached()) {
            object->SetDetached(false);
            object->suspendedDetached_ = true;
        } else {
            object->UnlinkFromChain();
        }
    }
    g_objectManager.UnlinkTemplate(object);
    for (CItem* owned : OwnedObjects(object))
        SuspendObjectTree(owned);
    if (CNPC* npc = object->AsNPC()) g_mobileTable.Unlink(npc);
}

void ResumeObjectTree(CItem* object) {
    if (!object) return;
    g_objectManager.LinkSerial(object);
    if (!object->IsContained()) {
        if (object->suspendedDetached_) {
            object->SetDetached(true);
            object->suspendedDetached_ = false;
        } else {
            object->LinkIntoCell(object->GetLocation());
        }
    }
    g_objectManager.LinkTemplate(object, object->GetTemplateId());
    // The callback sweep dropped the object while it could not be found by its serial.
    object->EnsurePending();
    for (CItem* owned : OwnedObjects(object))
        ResumeObjectTree(owned);
    if (CNPC* npc = object->AsNPC()) g_mobileTable.Link(npc);
}

// ---------------------------------------------------------------- templates

void CObjectManager::LinkTemplate(CItem* item, int id) {
    if (id < 0 || id >= kTemplateLists) return;
    CItem*& head = templateHeads_[id];
    item->templatePrev = nullptr;
    item->templateNext = head;
    if (head) head->templatePrev = item;
    head = item;
    ++templateCounts_[id];
}

void CObjectManager::UnlinkTemplate(CItem* item) {
    const int id = item->GetTemplateId();
    if (id < 0 || id >= kTemplateLists) return;
    CItem*& head = templateHeads_[id];
    if (head != item && !item->templatePrev) return;  // not listed
    if (head == item) head = item->templateNext;
    if (item->templatePrev) item->templatePrev->templateNext = item->templateNext;
    if (item->templateNext) item->templateNext->templatePrev = item->templatePrev;
    item->templateNext = item->templatePrev = nullptr;
    --templateCounts_[id];
}

CItem* CObjectManager::GetTemplateHead(int id) const {
    return id >= 0 && id < kTemplateLists ? templateHeads_[id] : nullptr;
}

int CObjectManager::GetTemplateCount(int id) const {
    return id >= 0 && id < kTemplateLists ? templateCounts_[id] : 0;
}

// ---------------------------------------------------------------- creation

CBaseObject* CreateObjectOfType(int graphic, ObjectForm form) {
    if (graphic < 0 || graphic >= kTileCount) return nullptr;
    CBaseObject* object = nullptr;
    const u32 flags = GetTileData().StaticFlags(graphic);
    const bool staticWanted = form == ObjectForm::kStaticWanted;
    if (staticWanted && g_objectManager.IsOn(ObjectSwitch::kCreateStatics)) {
        object = CStaticObject::Acquire();
    } else if (flags & kTileMap) {
        object = new CMapItem;
    } else if (graphic == kBulletinBoardGraphics[0] || graphic == kBulletinBoardGraphics[1]) {
        object = new CBulletinBoard;
    } else if (flags & kTileContainer) {
        object = new CContainer;
    } else if (flags & kTileWeaponFlags) {
        // Weapons and armour; CObjectManager::CreateWeapon rolls them from their template.
        object = new CWeapon;
    } else if (staticWanted) {
        object = CStaticObject::Acquire();
    } else {
        object = new CItem;
    }
    object->SetType(graphic);
    return object;
}

namespace {
void Discard(CBaseObject* object) {
    if (CStaticObject* scenery = object->AsStatic()) {
        scenery->Release();
    } else {
        object->DeleteSelf();
    }
}
}  // namespace

CItem* CObjectManager::CreateItem(int graphic) {
    CBaseObject* object = CreateObjectOfType(graphic, ObjectForm::kDynamic);
    if (!object) return nullptr;
    CItem* item = object->AsItem();
    if (!item) Discard(object);
    return item;
}

CItem* CObjectManager::CreateContainer(int graphic) {
    CItem* item = CreateItem(graphic);
    if (item && !item->IsContainer()) {
        item->DeleteSelf();
        return nullptr;
    }
    return item;
}

CItem* CObjectManager::CreateWeapon(int graphic) {
    CItem* item = CreateItem(graphic);
    // A weapon comes from the template its graphic names; without one there is no weapon.
    if (item && (!item->IsWeapon() || !static_cast<CWeapon*>(item)->ApplyTemplateFromGraphic())) {
        item->DeleteSelf();
        return nullptr;
    }
    return item;
}

// ---------------------------------------------------------------- searches by place

namespace {

// The serial among a container's contents at any depth, or null.
CItem* FindInContents(u32 serial, CItem* item) {
    const CContainer* container = item->AsContainer();
    return container ? FindInChain(serial, container->GetFirstChild()) : nullptr;
}

// The object itself, something inside it, or for a mobile an item worn on layers 0..25 or
// something inside one.
CItem* FindInOrOn(u32 serial, CItem* item) {
    if (item->GetSerial() == serial) return item;
    if (CItem* found = FindInContents(serial, item)) return found;
    if (const CMobile* mobile = item->AsMobile()) {
        for (int layer = 0; layer <= 25; ++layer) {
            CItem* worn = mobile->GetLayer(layer);
            if (!worn) continue;
            if (worn->GetSerial() == serial) return worn;
            if (CItem* found = FindInContents(serial, worn)) return found;
        }
    }
    return nullptr;
}

}  // namespace

CItem* FindInChain(u32 serial, CItem* first) {
    for (CItem* item = first; item; item = item->GetNextSibling())
        if (CItem* found = FindInOrOn(serial, item)) return found;
    return nullptr;
}

CItem* CObjectManager::FindNear(const CBaseObject& around, u32 serial, int radius) const {
    const Location& at = around.GetLocation();
    int cells[CSectorGrid::kRangeCapacity];
    g_sectorGrid.CellsInRange(at, radius, cells, CSectorGrid::kRangeCapacity);
    for (int i = 0; cells[i] != -1; ++i) {
        const SectorCell* cell = g_sectorGrid.GetCell(cells[i]);
        for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
            const Location& l = item->GetLocation();
            if (std::max(std::abs(l.x - at.x), std::abs(l.y - at.y)) > radius) continue;
            if (CItem* found = FindInOrOn(serial, item)) return found;
        }
    }
    return nullptr;
}

int CObjectManager::SendSpeechTrigger(CItem* speaker, const Location& at, const char* text,
                                      int radius) {
    if (text && text[0] == '@') return 0;
    constexpr int kMaxListeners = 251;
    std::vector<CItem*> heard;
    int cells[CSectorGrid::kRangeCapacity];
    g_sectorGrid.CellsInRange(at, radius, cells, CSectorGrid::kRangeCapacity);
    for (int i = 0; cells[i] != -1 && static_cast<int>(heard.size()) < kMaxListeners; ++i) {
        const SectorCell* cell = g_sectorGrid.GetCell(cells[i]);
        for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
            if (!GetTriggerServices().HasAttachedScript(item)) continue;
            heard.push_back(item);
            if (static_cast<int>(heard.size()) >= kMaxListeners) break;
        }
    }
    auto distance = [&](const CItem* item) {
        const Location& l = item->GetLocation();
        return std::max(std::abs(l.x - at.x), std::abs(l.y - at.y));
    };
    for (size_t i = 0; i < heard.size(); ++i) {
        size_t best = i;
        for (size_t j = i + 1; j < heard.size(); ++j) {
            if (distance(heard[j]) < distance(heard[best])) best = j;
        }
        std::swap(heard[i], heard[best]);
    }
    // Listeners are kept by serial: a handler may delete another listener.
    std::vector<u32> serials;
    for (CItem* item : heard)
        serials.push_back(item->GetSerial());
    TriggerArgs args;
    args.serial = speaker ? speaker->GetSerial() : 0;
    args.text = text;
    for (size_t i = 0; i < heard.size(); ++i) {
        CItem* listener = IsObjectAlive(serials[i], heard[i]);
        if (!listener) continue;
        if (GetTriggerServices().SendTrigger(listener, kTriggerSpeech, args) == 0) return 0;
    }
    return 1;
}

CBaseObject* CObjectManager::FindTopObjectAt(const Location& at) const {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return nullptr;
    CBaseObject* best = nullptr;
    int bestZ = -128;
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        const Location& l = item->GetLocation();
        if (l.x == at.x && l.y == at.y && l.z > bestZ) {
            best = item;
            bestZ = l.z;
        }
    }
    for (CStaticObject* s = cell->statics; s; s = s->next) {
        const Location& l = s->GetLocation();
        if (l.x == at.x && l.y == at.y && l.z > bestZ) {
            best = s;
            bestZ = l.z;
        }
    }
    return best;
}

namespace {

// The first object of the cell holding the place (dynamic objects before statics) whose
// location matches.
template <class Matches>
CBaseObject* FirstObjectInCell(const Location& at, Matches matches) {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return nullptr;
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        if (matches(item->GetLocation())) return item;
    }
    for (CStaticObject* s = cell->statics; s; s = s->next) {
        if (matches(s->GetLocation())) return s;
    }
    return nullptr;
}

}  // namespace

CBaseObject* CObjectManager::FindObjectAtXY(const Location& at) const {
    return FirstObjectInCell(at, [&](const Location& l) { return l.EqualsXY(at); });
}

CBaseObject* CObjectManager::FindObjectAtXYZ(const Location& at) const {
    return FirstObjectInCell(at, [&](const Location& l) { return l == at; });
}

// ---------------------------------------------------------------- tile reads

int CObjectManager::GetItemTileWeight(int graphic) const {
    return GetTileData().Static(graphic).weight;
}
int CObjectManager::GetItemTileHeightByte(int graphic) const {
    return GetTileData().Static(graphic).height;
}
bool CObjectManager::IsItemTileImpassable(int graphic) const {
    return (GetTileData().StaticFlags(graphic) & kTileImpassable) != 0;
}
bool CObjectManager::IsLandTileImpassable(int tile) const {
    return (GetTileData().LandFlags(tile) & kTileImpassable) != 0;
}
