#include "server/world/player.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "core/spatial_grid.h"
#include "platform/clock.h"
#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "script/runtime/trigger_services.h"
#include "server/server_config.h"
#include "server/world/map_queries.h"
#include "server/world/mobile_groups.h"
#include "server/world/mobile_table.h"
#include "server/world/object_manager.h"
#include "server/world/object_texts.h"
#include "server/world/packet_services.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/world_utilities.h"

// ---------------------------------------------------------------- CMobile

CMobile::CMobile() : layers_{}, moveType_(1) {
    for (u32& t : skillTimes_)
        t = kSkillBaseTime;
    // Mobile serials have bit 30 clear: the form the protocol and the save loader use, so a
    // new mobile keeps its serial through a save and a load.
    if (GetSerial() & 0x40000000u) CItem::SetSerial(GetSerial() & ~0x40000000u);
    g_mobileManager.Link(this);
}

CMobile::~CMobile() {
    ClearCombatLists();
    if (leader_) leader_->RemoveFollower(this);
    // A leader hands its followers on: the first leads the others.
    if (firstFollower_) {
        CMobile* heir = firstFollower_;
        RemoveFollower(heir);
        std::vector<CMobile*> rest;
        while (firstFollower_) {
            rest.push_back(firstFollower_);
            RemoveFollower(firstFollower_);
        }
        for (auto it = rest.rbegin(); it != rest.rend(); ++it)
            heir->AddFollower(*it);
    }
    g_mobileGroups.RemoveFromAllGroups(this);
    g_mobileManager.Unlink(this);
    // What the mobile wears goes with it (each destructor clears its own layer).
    for (int i = 0; i < kLayerCount; ++i) {
        while (CItem* worn = layers_[i]) {
            worn->SetStatus(worn->GetStatus() | kStatusNoTriggers);
            delete worn;
            if (layers_[i] == worn) layers_[i] = nullptr;
        }
    }
}

CItem* CMobile::GetLayer(int layer) const {
    return layer >= 0 && layer < kLayerCount ? layers_[layer] : nullptr;
}

int CMobile::CountCarried(int graphic) const {
    long long total = 0;
    for (int layer = 0; layer <= kMountLayer; ++layer) {
        const CItem* worn = layers_[layer];
        if (const CContainer* pack = worn ? worn->AsContainer() : nullptr)
            total += pack->CountAmount(graphic);
    }
    return static_cast<int>(std::min<long long>(total, INT_MAX));
}

void CMobile::SetLayerField(int layer, CItem* item) {
    if (layer >= 0 && layer < kLayerCount) layers_[layer] = item;
}

void CMobile::RemoveFromWorldQuiet() {
    RemoveRangeListeners(this);
    RecordPlacement(WornLayers::kFromLayerOne);
    const int layer = GetEquipLayer();
    if (layer >= 0) {
        container_->AsMobile()->SetLayerField(layer, nullptr);
    } else {
        UnlinkFromChain();
    }
    container_ = nullptr;
    SetDetached(true);
}

int CMobile::GetValue(int useTypeBase, int applyMinimum) {
    const bool valueless = IsValueless();
    s64 value = 0;
    if (!valueless) {
        value = CContainer::GetValue(useTypeBase, 0);
        s32 tame = 50;
        ObjVars::GetInt(attachments_, "petCanTame", tame);
        value += static_cast<s64>(stats_[0] + stats_[1] + stats_[2] + maxHits_ + maxFatigue_ +
                                  maxMana_) /
                 3 * (tame / 10);
        for (u16 skill : skills_)
            value += skill / 10;
        value += naturalArmor_ + naturalWeapon_.Average();
    }
    for (int layer = 0; layer <= 25; ++layer) {
        if (layers_[layer]) value += layers_[layer]->GetValue(useTypeBase, 0);
    }
    value = std::clamp<s64>(value, INT32_MIN, INT32_MAX);
    if (!valueless && applyMinimum && value <= 0) {
        value = GetTileInfo(type_).BaseValue();
        if (value <= 0) value = 1;
    }
    return static_cast<int>(value);
}

int CMobile::GetPowerRating() const {
    int rating = stats_[0] + stats_[1] + stats_[2] + curHits_ / 2 + curMana_ / 2 + curFatigue_ / 2;
    for (u16 skill : skills_)
        rating += skill / 100;
    return rating;
}

bool CMobile::IsPet() const {
    s32 pet = 0;
    return ObjVars::GetInt(attachments_, "isPet", pet) && pet != 0;
}

bool CMobile::IsOwnedPet() const {
    const CScriptList* bosses = ObjVars::GetList(attachments_, "myBoss");
    return bosses && bosses->Count() > 0;
}

bool CMobile::IsPetOf(const CItem* owner) const {
    const CScriptList* bosses = ObjVars::GetList(attachments_, "myBoss");
    if (!bosses || !owner) return false;
    for (const CScriptListNode* n = bosses->Head(); n; n = n->next) {
        if (n->tag == kTypeObject && static_cast<u32>(n->value.i) == owner->GetSerial())
            return true;
    }
    return false;
}

bool CMobile::IsHuman() const {
    const int t = GetTemplateId();
    if (t < 200 || (t >= 1000 && t <= 1199) || (t >= 1580 && t <= 1594) ||
        (t >= 1604 && t <= 1619))
        return true;
    return IsPlayer();
}

int CMobile::GetHeight() const {
    return 16;
}
const char* CMobile::GetRealName() const {
    return saveExtras.name.c_str();
}

u32 CMobile::GetMoveClass(int moveType) const {
    if (g_worldMap.IsSettling() || moveType == kMoveTypeGhost || moveType == kMoveTypeEditing)
        return 0;
    return kMoveBlocking;
}

u32 CMobile::GetLandMoveClass(int landTile) const {
    return GetLandMoveClassFor(landTile, GetMoveType());
}

u32 CMobile::GetMoveClassDefault(const CBaseObject& other) const {
    // A leader passes through its followers, a guard through every mobile.
    const CItem* item = other.IsDynamic() ? static_cast<const CItem*>(&other) : nullptr;
    const CMobile* mobile = item ? item->AsMobile() : nullptr;
    if (mobile && ((leads_ && mobile->leader_ == this) || IsGuard())) return 0;
    return other.GetMoveClass(GetMoveType());
}

const char* CMobile::GetName(int) const {
    return GetRealName();
}
// A mobile speaks in its own text hue unless told another (EBark always in its own). A
// player's words also reach the scripted objects that listen near it.
void CMobile::Bark(const char* text, int hue, int font, int type) {
    if (!text) return;
    GetPacketServices().SendSpeech(this, text, hue == -1 ? defaultTextHue_ : hue,
                                   font == -1 ? 3 : font, type == -1 ? 0 : type);
    if (IsPlayer()) g_objectManager.SendSpeechTrigger(this, GetWorldLocation(), text, 18);
}
void CMobile::EBark(const char* text, int, int font, int type) {
    Bark(text, defaultTextHue_, font, type == -1 ? 7 : type);
}
void CMobile::BarkTo(CPlayer* player, CBaseObject* subject, const char* text) {
    BarkToHued(player, subject, text, defaultTextHue_);
}

void CMobile::DeleteSelf() {
    const u32 serial = serial_;
    if (!DeleteSelfChecked()) return;
    DeleteContents();
    if (IsObjectAlive(serial, this)) delete this;
}

bool CMobile::EquipOn(CMobile*, int) {
    return false;
}
int CMobile::GetContentWeight() const {
    return contentWeight_;
}
bool CMobile::IsShownAlone() const {
    return CItem::IsShownAlone() && !detached_ && IsObjectAlive(serial_, this);
}
int CMobile::GetLayerByte() const {
    return direction_;
}
void CMobile::RecalcWeight() {
    // Everything worn and carried is taken off and put back so that the ordinary paths
    // recompute every weight; no trigger fires meanwhile.
    CItem* worn[kLayerCount];
    for (int i = 0; i < kLayerCount; ++i)
        worn[i] = layers_[i];
    for (CItem* item : worn) {
        if (!item) continue;
        item->SetStatus(item->GetStatus() | kStatusNoTriggers);
        if (!item->IsDetached()) item->RemoveFromWorld();
        item->RecalcWeight();
    }
    CContainer::RecalcWeight();
    std::vector<CItem*> refused;
    for (int i = 0; i < kLayerCount; ++i) {
        CItem* item = worn[i];
        if (!item) continue;
        const bool wornAgain = item->EquipOn(this, i);
        item->SetStatus(item->GetStatus() & static_cast<u8>(~kStatusNoTriggers));
        if (!wornAgain && item->IsDetached()) refused.push_back(item);
    }
    // An item that can no longer be worn (a weapon whose strength test now fails) is kept:
    // it goes into the pack, else to the mobile's feet.
    for (CItem* item : refused)
        item->PutInPack(this);
}
CItem* CMobile::FindObjVarListHolder(const char* listName, CItem* object) {
    if (CItem* self = CItem::FindObjVarListHolder(listName, object)) return self;
    for (int layer = 0; layer <= 25; ++layer) {
        CItem* worn = layers_[layer];
        if (CItem* holder = worn ? worn->FindObjVarListHolder(listName, object) : nullptr)
            return holder;
    }
    return nullptr;
}
void CMobile::ApplyStatusFlags(u8 packetStatus) {
    statusFlags_ = static_cast<u8>((statusFlags_ & ~1) | (packetStatus & 1));
    CContainer::ApplyStatusFlags(packetStatus);
}
void CMobile::GetStatusFlags(u8& packetStatus) const {
    CContainer::GetStatusFlags(packetStatus);
    packetStatus |= statusFlags_;
}
int CMobile::GetMaxWeight() const {
    return 4 * stats_[kStatStrength] + 30;
}
void CMobile::MarkContentsValueless() {}
void CMobile::DeleteContents() {
    CContainer::DeleteContents();
}
int CMobile::GetMaxHitsForWeight() const {
    return GetMaxHits();
}

bool CMobile::CanHold(CItem* item, int* code) const {
    // The pack (the first usable container worn) decides.
    for (int layer = 0; layer <= 25; ++layer) {
        const CItem* worn = layers_[layer];
        if (worn && worn->IsUsableContainer()) return worn->AsContainer()->CanHold(item, code);
    }
    return false;
}
void CMobile::GetTitledName(CStr& out) const {
    out = GetRealName();
}

// ---------------------------------------------------------------- near a place

namespace {
template <typename Visit>
void ForObjectsNear(const Location& at, int radius, Visit visit) {
    ForObjectsInCellsNear(at, radius, [&](CItem* item) {
        const Location& l = item->GetLocation();
        if (ChebyshevDistanceXY(l.x, l.y, at.x, at.y) <= radius) visit(item);
    });
}
}  // namespace

void CollectPlayersNear(const Location& at, int radius, std::vector<CPlayer*>& out) {
    ForObjectsNear(at, radius, [&](CItem* item) {
        if (CPlayer* player = item->AsPlayer()) out.push_back(player);
    });
}

bool IsCampFireNear(const Location& at) {
    int found = 0;
    ForObjectsNear(at, 8, [&](CItem* item) {
        if (item->GetType() == kCampFireGraphic) found = 1;
    });
    return found;
}
