#include "server/world/container.h"

#include "core/random_numbers.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/tile_data.h"

namespace {

constexpr int kMaxContentStones = 400;
constexpr int kMaxContentItems = 125;
constexpr int kMaxCachedWeight = 0xFFFF;
constexpr int kMaxDepth = 1000;  // guards every climb against a damaged chain

struct GumpRange {
    u16 first, last;
    u16 gump;
};

// The client window each container graphic opens.
constexpr GumpRange kGumps[] = {
    {2448, 2448, 65},   {2476, 2476, 65},   {2481, 2481, 65},   {2472, 2472, 75},
    {3712, 3712, 75},   {2473, 2473, 68},   {3644, 3647, 68},   {3710, 3710, 68},
    {2474, 2474, 67},   {3709, 3709, 67},   {2475, 2475, 74},   {3708, 3708, 74},
    {2480, 2480, 60},   {2482, 2482, 60},   {3701, 3701, 60},   {3705, 3705, 60},
    {2604, 2607, 81},   {2612, 2615, 81},   {2620, 2635, 81},   {2608, 2611, 72},
    {2616, 2619, 72},   {2636, 2637, 78},   {2640, 2641, 78},   {2638, 2639, 79},
    {2642, 2643, 79},   {2711, 2718, 77},   {3612, 3612, 2350}, {4013, 4013, 2350},
    {3648, 3649, 66},   {3650, 3651, 73},   {3702, 3702, 61},   {3703, 3704, 62},
    {3707, 3707, 62},   {3711, 3711, 62},   {3715, 3715, 62},   {4011, 4011, 62},
    {4014, 4014, 62},   {4104, 4104, 62},   {5453, 5453, 62},   {6464, 6464, 62},
    {6870, 6871, 62},   {3706, 3706, 63},   {4006, 4006, 2330}, {7774, 7774, 82},
    {11000, 11000, 71}, {15973, 15973, 76}, {16019, 16019, 76}, {16046, 16046, 76},
    {16057, 16057, 76},
};

struct GumpBounds {
    u16 gump;
    s16 minX, maxX, minY, maxY;
};

constexpr GumpBounds kBounds[] = {
    {9, 20, 124, 85, 196},    {60, 44, 186, 65, 159},  {61, 29, 137, 34, 128},
    {62, 33, 142, 36, 148},   {63, 19, 182, 47, 123},  {65, 35, 145, 38, 116},
    {66, 18, 162, 105, 178},  {73, 18, 162, 105, 178}, {74, 18, 162, 105, 178},
    {67, 16, 184, 51, 124},   {75, 16, 184, 51, 124},  {68, 20, 170, 10, 100},
    {71, 16, 148, 10, 138},   {72, 16, 154, 10, 94},   {81, 16, 154, 10, 94},
    {76, 46, 196, 74, 184},   {77, 76, 140, 12, 68},   {78, 24, 196, 96, 152},
    {79, 24, 196, 96, 152},   {82, 0, 110, 0, 62},     {2330, 50, 232, 50, 180},
    {2350, 50, 232, 50, 160},
};

std::vector<CItem*> Children(const CContainer* container) {
    std::vector<CItem*> out;
    for (CItem* c = container->GetFirstChild(); c; c = c->GetNextSibling())
        out.push_back(c);
    return out;
}

}  // namespace

// ---------------------------------------------------------------- CContainer

CContainer::CContainer() : firstChild_(nullptr), contentWeight_(0) {}

CContainer::~CContainer() {
    // Children never outlive their container: each one's destructor unlinks it.
    while (firstChild_) {
        CItem* child = firstChild_;
        child->SetStatus(child->GetStatus() | kStatusNoTriggers);
        delete child;
    }
}

void CContainer::LinkChildAtHead(CItem* item) {
    LinkChildBefore(item, firstChild_);
}

void CContainer::LinkChildBefore(CItem* item, CItem* before) {
    if (before && before->container_ != this) before = nullptr;
    if (before == firstChild_) {
        item->prevSibling_ = nullptr;
        item->nextSibling_ = firstChild_;
        if (firstChild_) firstChild_->prevSibling_ = item;
        firstChild_ = item;
    } else if (before) {
        item->prevSibling_ = before->prevSibling_;
        item->nextSibling_ = before;
        before->prevSibling_->nextSibling_ = item;
        before->prevSibling_ = item;
    } else {
        CItem* last = firstChild_;
        while (last->nextSibling_)
            last = last->nextSibling_;
        last->nextSibling_ = item;
        item->prevSibling_ = last;
        item->nextSibling_ = nullptr;
    }
    item->container_ = this;
}

void CContainer::UnlinkChild(CItem* item) {
    if (!item || item->container_ != this) return;
    item->UnlinkFromChain();
    item->container_ = nullptr;
}

CItem* CContainer::FindContained(u32 serial) const {
    return FindInChain(serial, firstChild_);
}

bool CContainer::IsSpellbook() const {
    return type_ == 3834 || type_ == 3643;
}

bool CContainer::IsUsableContainer() const {
    s32 locked = 0;
    if (GetObjVarIntChecked("isLocked", locked) && locked > 0) return false;
    if (GetObjVarIntChecked("fakeCont", locked)) return false;
    if (IsSpellbook()) return false;
    switch (type_) {
        case 4113:
        case 5362:
        case 5993:
        case 5994:
        case 5995:
            return false;
        default:
            return true;
    }
}

int CContainer::GetValue(int useTypeBase, int applyMinimum) {
    const bool valueless = IsValueless();
    s64 total = valueless ? 0 : CItem::GetValue(useTypeBase, 0);
    for (CItem* child = firstChild_; child; child = child->GetNextSibling())
        total += child->GetValue(useTypeBase, 0);
    int value = static_cast<int>(total > 0x7FFFFFFF    ? 0x7FFFFFFF
                                 : total < -0x7FFFFFFF ? -0x7FFFFFFF
                                                       : total);
    if (!valueless && applyMinimum) value = ApplyValueMinimum(value);
    return value;
}

void CContainer::DeleteSelf() {
    const u32 serial = serial_;
    if (!DeleteSelfChecked()) return;
    DeleteContents();
    if (IsObjectAlive(serial, this)) delete this;
}

int CContainer::GetContentWeight() const {
    return IsWeightless() ? 0 : contentWeight_;
}

void CContainer::AddContentWeight(int n) {
    CContainer* c = this;
    for (int depth = 0; c && depth < kMaxDepth; ++depth) {
        const int sum = c->contentWeight_ + n;
        c->contentWeight_ = sum > kMaxCachedWeight ? kMaxCachedWeight : sum < 0 ? 0 : sum;
        if (!c->container_ || c->IsWeightless()) break;
        c = c->container_->AsContainer();
    }
}

void CContainer::RemoveContentWeight(int n) {
    CContainer* c = this;
    for (int depth = 0; c && depth < kMaxDepth; ++depth) {
        const int rest = c->contentWeight_ - n;
        c->contentWeight_ = rest < 0 ? 0 : rest > kMaxCachedWeight ? kMaxCachedWeight : rest;
        if (!c->container_ || c->IsWeightless()) break;
        c = c->container_->AsContainer();
    }
}

void CContainer::RecalcContentWeight() {
    // Each child counts as adding it counts: its whole weight (a container's own weight with
    // its contents), nothing when it is weightless.
    s64 sum = 0;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (!child->IsWeightless()) sum += child->GetWeight();
    }
    contentWeight_ = sum > kMaxCachedWeight ? kMaxCachedWeight : static_cast<int>(sum);
}

void CContainer::RecalcTreeContentWeight() {
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (CContainer* c = child->AsContainer()) c->RecalcTreeContentWeight();
    }
    RecalcContentWeight();
}

int ContainerTreeWeight(const CItem* item) {
    s64 weight = item->GetWeight() - item->GetContentWeight();
    if (const CContainer* c = item->AsContainer()) {
        for (CItem* child = c->GetFirstChild(); child; child = child->GetNextSibling()) {
            if (child->IsContainer()) {
                weight += ContainerTreeWeight(child);
            } else if (child->GetType() != 3821) {
                weight += child->GetWeight();
            }
        }
    }
    return weight > 0x7FFFFFFF ? 0x7FFFFFFF : weight < 0 ? 0 : static_cast<int>(weight);
}

bool CContainer::CanHold(CItem* item, int* code) const {
    if (!item) return false;
    // The check is made on the outermost container below the carrier.
    const CContainer* outer = this;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const CItem* up = outer->container_;
        if (!up || up->IsMobile() || !up->IsContainer()) break;
        outer = up->AsContainer();
    }
    if (outer != this) return outer->CanHold(item, code);
    s64 weight;
    if (IsInBankBox()) {
        weight = item->GetType() == 3821 ? 0
                 : item->IsContainer()   ? ContainerTreeWeight(item)
                                         : item->GetWeight();
    } else {
        weight = item->GetWeight();
    }
    if (contentWeight_ + weight > kMaxContentStones) {
        if (code) *code = 1;
        return false;
    }
    int count = 1;
    if (const CContainer* c = item->AsContainer()) count += c->CountItems(true);
    if (CountItems(true) + count > kMaxContentItems) {
        if (code) *code = 2;
        return false;
    }
    return true;
}

int CContainer::CountItems(bool nested) const {
    if (IsWeightless()) return 0;
    int n = 0;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        ++n;
        const CContainer* c = nested ? child->AsContainer() : nullptr;
        if (c && !c->IsWeightless()) n += c->CountItems(true);
    }
    return n;
}

bool CContainer::Contains(const CItem* object, bool nested) const {
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (child == object) return true;
        const CContainer* c = nested ? child->AsContainer() : nullptr;
        if (c && c->Contains(object, true)) return true;
    }
    return false;
}

int CContainer::CountAmount(int graphic) const {
    s64 n = 0;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (child->IsUsableContainer()) {
            n += child->AsContainer()->CountAmount(graphic);
        } else if (child->GetType() == graphic) {
            n += child->GetQuantity();
        }
    }
    return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

CItem* CContainer::TakeAmount(int graphic, int amount, CItem* target) {
    std::vector<u32> serials;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (child->IsUsableContainer() || child->GetType() == graphic)
            serials.push_back(child->GetSerial());
    }
    for (u32 serial : serials) {
        CItem* child = g_objectManager.FindBySerial(serial);
        if (!child || child->GetContainer() != this) continue;
        if (child->IsUsableContainer()) {
            target = child->AsContainer()->TakeAmount(graphic, amount, target);
        } else {
            if (!target) {
                target = g_objectManager.CreateItem(graphic);
                if (!target) return nullptr;
            }
            const u32 targetSerial = target->GetSerial();
            const bool targetPlaced = !target->IsDetached();
            if (targetPlaced) target->RemoveFromWorldQuiet();
            const int need = amount - target->CountResourceUnits();
            const int have = child->CountResourceUnits();
            // The child leaves its container while its units move, so that the weights above
            // it are taken off and put back whole.
            child->RemoveFromWorld();
            if (IsObjectAlive(serial, child) &&
                child->TransferResourceUnits(target, have < need ? have : need)) {
                child->ReturnToLastPlace();
            }
            if (!IsObjectAlive(targetSerial, target)) return nullptr;
            if (targetPlaced) target->ReturnToLastPlace();
        }
        if (target && target->CountResourceUnits() == amount) return target;
    }
    return target;
}

int CContainer::GetGumpId() const {
    for (const GumpRange& r : kGumps) {
        if (type_ >= r.first && type_ <= r.last) return r.gump;
    }
    return 9;
}

void CContainer::GetGumpBounds(int& minX, int& maxX, int& minY, int& maxY) const {
    const int gump = GetGumpId();
    for (const GumpBounds& b : kBounds) {
        if (b.gump == gump) {
            minX = b.minX;
            maxX = b.maxX;
            minY = b.minY;
            maxY = b.maxY;
            return;
        }
    }
    minX = kBounds[0].minX;
    maxX = kBounds[0].maxX;
    minY = kBounds[0].minY;
    maxY = kBounds[0].maxY;
}

void CContainer::DropContentsAt(const Location& at) {
    for (CItem* child : Children(this)) {
        const u32 serial = child->GetSerial();
        child->RemoveFromWorld();
        if (IsObjectAlive(serial, child)) child->PlaceInWorld(at);
    }
}

void CContainer::DropContentsOrSendHome(const Location& at) {
    for (CItem* child : Children(this)) {
        const u32 serial = child->GetSerial();
        if (!IsObjectAlive(serial, child)) continue;
        if (child->HasHome()) {
            child->SendHome();
            continue;
        }
        child->RemoveFromWorld();
        if (IsObjectAlive(serial, child)) child->PlaceInWorld(at);
    }
}

void CContainer::DeleteContentsOrSendHome() {
    if (!IsRegistered(this)) return;
    std::vector<u32> serials;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling())
        serials.push_back(child->GetSerial());
    for (u32 serial : serials) {
        CItem* child = g_objectManager.FindBySerial(serial);
        if (!child || !IsRegistered(child)) continue;
        if (child->HasHome()) {
            child->SendHome();
        } else {
            child->DeleteContentsOrSendHome();
            if (CItem* still = g_objectManager.FindBySerial(serial)) still->DeleteSelf();
        }
    }
}

void CContainer::RecalcWeight() {
    // Everything is taken out and put back, so that the ordinary paths recompute every weight;
    // no trigger fires meanwhile.
    std::vector<CItem*> children;
    // (Components of a multi stay where they are; multis are not built, so none is one.)
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (!child->GetMultiLink()) children.push_back(child);
    }
    for (CItem* child : children) {
        child->SetStatus(child->GetStatus() | kStatusNoTriggers);
        if (!child->IsDetached()) child->RemoveFromWorld();
        child->RecalcWeight();
    }
    contentWeight_ = 0;
    for (CItem* child : children) {
        child->ReturnToLastPlace();
        child->SetStatus(child->GetStatus() & static_cast<u8>(~kStatusNoTriggers));
    }
}

void CContainer::CheckRegistration() {
    CItem::CheckRegistration();
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        child->CheckRegistration();
    }
}
CItem* CContainer::FindObjVarListHolder(const char* listName, CItem* object) {
    if (CItem* self = CItem::FindObjVarListHolder(listName, object)) return self;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        if (CItem* holder = child->FindObjVarListHolder(listName, object)) return holder;
    }
    return nullptr;
}
int CContainer::GetMaxWeight() const {
    return static_cast<int>(GetTileData().Static(type_).value);
}
void CContainer::MarkContentsValueless() {}

void CContainer::DeleteContents() {
    // Scripts run by a child's deletion may delete other children: walk by serial.
    std::vector<u32> serials;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        serials.push_back(child->GetSerial());
    }
    for (u32 serial : serials) {
        CItem* child = g_objectManager.FindBySerial(serial);
        if (child && child->GetContainer() == this) child->DeleteSelf();
    }
}

bool CContainer::CancelTrade() {
    return false;
}

// ---------------------------------------------------------------- CCorpse

CCorpse::CCorpse() : worn{}, corpseType_(0), facing_(0) {}

CCorpse::~CCorpse() {
    status_ |= kStatusNoTriggers;
    if (!detached_) CItem::RemoveFromWorld();
}

int CCorpse::GetValue(int useTypeBase, int applyMinimum) {
    if (IsValueless()) return 0;
    int value = CContainer::GetValue(useTypeBase, 0);
    if (applyMinimum && value <= 0) value = 1;
    return value;
}
