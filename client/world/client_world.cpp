#include "client/world/client_world.h"

#include <cstring>
#include <string>

#include "client/data/anim_data.h"
#include "client/data/tile_data.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/journal.h"
#include "client/world/land_objects.h"
#include "client/world/path_search.h"
#include "client/world/roof_hiding.h"
#include "client/world/world_request_link.h"
#include "platform/clock.h"

namespace {

// A new server item of the graphic's kind: a corpse, a map item, a container or a plain item.
CClientItem* NewServerItem(u32 serial, u16 graphic, s8 increment) {
    if (graphic == 8198) return new CClientCorpse(serial, graphic);
    if (IsMapGraphic(graphic)) return new CClientMapItem(serial, graphic, increment, true);
    if (IsContainerGraphic(graphic)) return new CClientContainer(serial, graphic, increment, true);
    return CClientItem::Allocate(serial, graphic, increment);
}

// Whether `object` is `inner` or holds it (as container or wearer, however deep).
bool HoldsOrIs(const CClientObject* object, const CClientObject* inner) {
    // Holder chains are short; the bound only guards against a chain that loops.
    constexpr int kMaxDepth = 1000;
    for (int depth = 0; inner != nullptr && depth < kMaxDepth; ++depth) {
        if (inner == object) return true;
        inner = inner->IsServerObject() ? static_cast<const CClientItem*>(inner)->holder : nullptr;
    }
    return inner != nullptr;
}

// The scroll command's mode for a scroll graphic, -1 for any other graphic.
int ScrollCommandMode(int graphic) {
    static constexpr struct {
        int graphic, mode;
    } kScrolls[] = {{3827, 1}, {3828, 1}, {3829, 0}, {3830, 0},
                    {3831, 2}, {3832, 2}, {3833, 0}, {899, 2}};
    for (const auto& s : kScrolls)
        if (s.graphic == graphic) return s.mode;
    return -1;
}

constexpr u16 kLabelHue = 946;
constexpr u16 kLabelFont = 3;
constexpr u8 kStatusAll = 3;
constexpr u8 kStatusBasic = 0;
constexpr u32 kStatusSerials = 32;

}  // namespace

CClientWorld& TheClientWorld() {
    static CClientWorld world;
    return world;
}

void CClientWorld::AppendAll(CClientObject* o) {
    o->allNext = nullptr;
    o->allPrev = allTail;
    if (allTail)
        allTail->allNext = o;
    else
        allHead = o;
    allTail = o;
}

void CClientWorld::UnlinkAll(CClientObject* o) {
    if (o->allPrev)
        o->allPrev->allNext = o->allNext;
    else if (allHead == o)
        allHead = o->allNext;
    if (o->allNext)
        o->allNext->allPrev = o->allPrev;
    else if (allTail == o)
        allTail = o->allPrev;
    o->allNext = o->allPrev = nullptr;
}

CClientObject* CClientWorld::FindBySerial(u32 serial) const {
    // Serial 0 is every item's while it is being made: it is never indexed.
    if (serial == 0) return FirstOnList(0, nullptr);
    const auto found = bySerial_.find(serial);
    return found != bySerial_.end() ? found->second.newest : nullptr;
}

CClientItem* CClientWorld::FirstOnList(u32 serial, const CClientItem* skip) const {
    for (CClientItem* o = serverHead; o; o = o->serverNext) {
        if (o->serial == serial && o != skip) return o;
    }
    return nullptr;
}

void CClientWorld::IndexSerial(CClientItem* item) {
    if (item->serial == 0) return;
    SerialEntry& e = bySerial_[item->serial];
    e.newest = ++e.count == 1 ? item : FirstOnList(item->serial, nullptr);
}

void CClientWorld::UnindexSerial(CClientItem* item) {
    if (item->serial == 0) return;
    const auto found = bySerial_.find(item->serial);
    if (found == bySerial_.end()) return;
    SerialEntry& e = found->second;
    if (--e.count <= 0) {
        bySerial_.erase(found);
    } else if (e.newest == item) {
        e.newest = FirstOnList(item->serial, item);
    }
}

CClientObject* CClientWorld::UpdateObject(u32 serial, u16 graphic, s8 increment, u16 amount, int x,
                                          int y, int z, u8 dir, u16 hue, u8 flags) {
    const CClientMap& map = TheClientMap();
    if (map.centreX < kClientSurfaceWidth) {
        if (map.centreX < 18 && x > 5102) x -= kClientSurfaceWidth;
        if (map.centreX >= 5102 && x <= 18) x += kClientSurfaceWidth;
        if (map.centreY < 18 && y > 4078) y -= kClientSurfaceHeight;
        if (map.centreY >= 4078 && y <= 18) y += kClientSurfaceHeight;
    }
    int multi = -1;
    if (graphic >= 0x4000) {
        multi = graphic - 0x4000;
        graphic = 1;
    }
    CClientObject* o = FindBySerial(serial);
    bool newItem = false;
    if (!o && (serial & 0x40000000)) {
        CClientItem* item = NewServerItem(serial, graphic, increment);
        item->direction = dir;
        item->hue = ClampGraphicId(hue);
        item->amount = amount;
        item->SetStatusFlags(flags);
        o = item;
        newItem = true;
    } else if (!o) {
        auto* m = new CClientMobile(serial, graphic, increment);
        m->direction = dir & 0x7F;
        m->running = (dir & 0x80) ? 1 : 0;
        m->hue = ClampGraphicId(hue);
        m->loc.Set(x, y, z);
        m->drawnZ = z;
        m->PlaceInWorld(m->loc);
        m->SetStatusFlags(flags);
        m->idle = 0;
        o = m;
    } else if (!o->IsMobile()) {
        o->RemoveFromWorld();
    }
    if (o->IsMobile()) {
        auto* m = static_cast<CClientMobile*>(o);
        m->lastActivity = platform::NowMs();
        const QueuedStep next{ClientLocation{s16(x), s16(y), s16(z)}, u16(graphic & 0x3FFF), dir,
                              flags};
        if (m->queuedSteps >= 4) {
            const bool was = m->inCell != 0;
            if (was) m->RemoveFromCell();
            m->stepProgress = 1;
            m->loc.Set(x, y, z);
            m->graphic = u16(graphic & 0x3FFF);
            m->direction = dir & 0x7F;
            m->hue = ClampGraphicId(hue);
            m->queuedSteps = 0;
            m->SetStatusFlags(flags);
            m->idle = 0;
            if (was) m->PlaceInCell();
        } else {
            if (m->idle && m->inCell) {
                m->RemoveFromCell();
                m->idle = 0;
                m->PlaceInCell();
            }
            m->idle = 0;
            bool same;
            if (m->queuedSteps > 0) {
                const QueuedStep& last = m->steps[m->queuedSteps - 1];
                same = last.loc == next.loc && last.direction == next.direction &&
                       last.body == next.body && last.flags == next.flags;
            } else {
                same = m->loc == next.loc && (m->direction | (m->running ? 0x80 : 0)) == dir &&
                       m->graphic == next.body && m->statusFlags == flags;
            }
            if (!same) m->steps[m->queuedSteps++] = next;
        }
        FollowMobile(*m);
        return o;
    }
    o->loc.Set(x, y, z);
    o->increment = increment;
    o->direction = dir;
    o->amount = amount;
    o->SetStatusFlags(flags);
    o->hue = ClampGraphicId(hue);
    if (multi < 0) {
        o->graphic = u16(graphic & 0x3FFF);
        o->PlaceInWorld(o->loc);
    } else {
        // Multis place their components through the multi loader, which is not built yet:
        // the object stands for the multi alone.
        lastMultiNumber = multi;
        o->graphic = u16(graphic & 0x3FFF);
        o->MarkMultiMember();
        o->PlaceInWorld(o->loc);
    }
    if (newItem) RestoreBarks(*o);
    if (!o->IsWithinRange(18) && !o->IsMultiMember()) {
        o->Destroy();
        return nullptr;
    }
    return o;
}

CClientObject* CClientWorld::AddContainedObject(u32 serial, u16 graphic, s8 increment, u16 amount,
                                                int x, int y, u32 containerSerial, u16 hue) {
    CClientObject* holder = containerSerial == playerSerial && ThePlayer()
                                ? ThePlayer()
                                : FindBySerial(containerSerial);
    if (holder == nullptr || !holder->UsesCellShift()) return nullptr;
    if (CClientObject* old = FindBySerial(serial)) {
        // Destroying the container itself, what holds it or the player would pull the
        // ground from under the new object.
        if (old->IsPlayer() || HoldsOrIs(old, holder)) return nullptr;
        old->Destroy();
    }
    CClientItem* o = (serial & 0x40000000) ? NewServerItem(serial, graphic, increment)
                                           : new CClientMobile(serial, graphic, increment);
    o->hue = ClampGraphicId(hue);
    o->amount = amount;
    o->AddToContainer(static_cast<CClientContainer*>(holder),
                      ClientLocation{s16(x), s16(y), 0});
    return o;
}

void CClientWorld::UseObject(CClientObject* object) {
    if (object == nullptr || !object->IsServerObject()) return;
    const u32 serial = static_cast<CClientItem*>(object)->serial;
    lastUsedObject = serial;
    WorldRequestLink* link = RunningWorldRequestLink();
    if (object->IsMapItem()) {
        if (!TheWorldHooks().RaiseCourseGump(serial) && link) link->SendUseObject(serial);
        return;
    }
    if (const int mode = ScrollCommandMode(object->graphic); mode >= 0) {
        TheWorldHooks().BeginScrollCommand(serial, mode);
        return;
    }
    if (link) link->SendUseObject(serial);
}

void CClientWorld::ShowObjectName(CClientObject* object) {
    if (object == nullptr || object->firstBark != nullptr || object->IsServerObject()) return;
    std::string text = object->GetName();
    if ((object->Tile().flags & kClientTileStackable) && object->amount > 1)
        text = std::to_string(object->amount) + " " + text;
    object->AddBark(text, kLabelHue, kLabelFont, 0);
}

CClientObject* CClientWorld::FindObjectAtZ(int x, int y, int z) const {
    for (CClientObject* o = allTail; o; o = o->allPrev) {
        if (o->IsAt(x, y) && o->loc.z <= z && z < o->loc.z + o->GetHeight()) return o;
    }
    return nullptr;
}

CClientObject* CClientWorld::FindObjectAt(int x, int y, bool serverOnly) const {
    if (!serverOnly) {
        for (CClientObject* o = allTail; o; o = o->allPrev) {
            if (o->IsAt(x, y)) return o;
        }
        return nullptr;
    }
    CClientObject* found = nullptr;
    for (CClientItem* o = serverHead; o; o = o->serverNext) {
        // Held objects keep their place in the holder in `loc`: only objects in the world.
        if (!o->detached && o->holder == nullptr && o->IsAt(x, y) && o->IsMovable()) found = o;
    }
    return found;
}

std::string CClientWorld::GetLandTileName(int x, int y) const {
    const LandTileRecord& r = TheClientTileData().Land(TheClientMap().GetLandTile(x, y));
    return std::string(TileArticle(r.flags)) + std::string(r.name, strnlen(r.name, sizeof r.name));
}

void CClientWorld::RequestAllStatus() {
    WorldRequestLink* link = RunningWorldRequestLink();
    if (link == nullptr) return;
    link->SendStatusRequest(kStatusAll, 0);
    for (u32 serial = 0; serial < kStatusSerials; ++serial)
        link->SendStatusRequest(kStatusBasic, serial);
}

bool CClientWorld::PickUpObject(CClientObject* object, u16 wanted) {
    if (!object || !object->IsServerObject()) return false;
    auto* item = static_cast<CClientItem*>(object);
    if (!item->IsWithinRange(3)) return false;
    if (CClientPlayer* p = ThePlayer()) {
        ClientLocation eye = p->loc;
        eye.z = s16(eye.z + 12);
        if (!TheClientMap().LineOfSight(item->Outermost()->loc, eye, 0x40)) return false;
    }
    const u32 tileFlags = StaticTileOf(item->TileGraphic()).flags;
    if (wanted == 0 && item->amount > 1 && (tileFlags & kClientTileStackable)) {
        TheWorldHooks().OpenAmountGump(item->serial);
        return false;
    }
    drag = DragRecord{};
    drag.loc = item->loc;
    drag.graphic = item->graphic;
    drag.increment = item->increment;
    drag.serial = item->serial;
    drag.hue = ClampGraphicId(item->hue);
    drag.amount = wanted ? wanted : item->amount;
    drag.flags = item->statusFlags;
    drag.tileFlags = tileFlags;
    if (CClientObject* parent = item->holder) {
        if (parent->IsMobile()) {
            auto* m = static_cast<CClientMobile*>(parent);
            drag.wearerSerial = m->serial;
            for (int l = 1; l < kLayerSlots; ++l) {
                if (m->layers[l] == item) drag.layer = u16(l);
            }
        } else if (parent->UsesCellShift()) {
            drag.containerSerial = static_cast<CClientContainer*>(parent)->serial;
        }
    }
    pickedSerial = item->serial;
    pickedAmount = drag.amount;
    item->Destroy();
    dragging = 1;
    return true;
}

CClientItem* CClientWorld::ReturnDraggedItem() {
    if (!dragging || drag.serial == 0) return nullptr;
    const DragRecord& d = drag;
    CClientObject* holder = nullptr;
    if (d.wearerSerial != 0 || d.containerSerial != 0) {
        const u32 holderSerial = d.wearerSerial != 0 ? d.wearerSerial : d.containerSerial;
        holder = holderSerial == playerSerial && ThePlayer() ? ThePlayer()
                                                            : FindBySerial(holderSerial);
        const bool fits = holder != nullptr &&
                          (d.wearerSerial != 0 ? holder->IsMobile() : holder->UsesCellShift());
        if (!fits || (d.wearerSerial != 0 && d.layer >= kLayerSlots)) return nullptr;
    }
    if (CClientObject* old = FindBySerial(d.serial)) {
        if (old->IsPlayer() || (holder && HoldsOrIs(old, holder))) return nullptr;
        old->Destroy();
    }
    CClientItem* item = NewServerItem(d.serial, d.graphic, d.increment);
    item->loc = d.loc;
    item->hue = ClampGraphicId(d.hue);
    item->amount = d.amount;
    item->SetStatusFlags(d.flags);
    if (d.wearerSerial != 0) {
        auto* wearer = static_cast<CClientMobile*>(holder);
        const bool was = wearer->inCell != 0;
        if (was) wearer->RemoveFromCell();
        if (CClientItem* worn = wearer->layers[d.layer]) worn->Destroy();
        item->EquipOn(wearer, d.layer);
        if (was && !wearer->detached) wearer->PlaceInCell();
    } else if (holder) {
        item->AddToContainer(static_cast<CClientContainer*>(holder), d.loc);
    } else {
        item->PlaceInWorld(d.loc);
    }
    return item;
}

void CClientWorld::SaveBarks(const CClientObject& object) {
    if (!object.IsServerObject()) return;
    const u32 serial = static_cast<const CClientItem&>(object).serial;
    for (const OverheadText* b = object.firstBark; b; b = b->older) {
        savedBarks.push_back({0, serial, b->text, b->hue, b->font, b->created, b->lifetime,
                              b->wideText, b->language, b->unicode, b->label});
    }
}

void CClientWorld::RestoreBarks(CClientObject& object) {
    if (!object.IsServerObject()) return;
    const u32 serial = static_cast<CClientItem&>(object).serial;
    // Oldest first, so the newest saved text ends up the object's newest.
    for (size_t i = savedBarks.size(); i-- > 0;) {
        if (savedBarks[i].serial != serial) continue;
        const SavedBark r = savedBarks[i];
        savedBarks.erase(savedBarks.begin() + long(i));
        // The text entered the journal when it was first shown.
        JournalSuppressScope quiet;
        OverheadText* b = r.unicode ? object.AddUnicodeBark(r.wideText, r.hue, r.font, r.language)
                                    : object.AddBark(r.text, r.hue, r.font, 0);
        if (b == nullptr) continue;
        b->label = r.label;
        b->created = r.created;
        b->lifetime = r.lifetime;
    }
}

void CClientWorld::AgeSavedBarks() {
    for (size_t i = 0; i < savedBarks.size();) {
        if (++savedBarks[i].age >= 5) {
            savedBarks.erase(savedBarks.begin() + long(i));
        } else {
            ++i;
        }
    }
}

namespace {
// An object of the animated list as the animation step sees it: the record of its graphic,
// the frame offset shown as its graphic increment.
class AnimatedWorldObject : public AnimatedObject {
public:
    explicit AnimatedWorldObject(CClientObject& object) : object_(object) {}
    bool IsShown() const override { return !object_.IsHidden(); }
    int AnimationGraphic() const override { return object_.graphic; }
    void RemoveFromCell() override { object_.RemoveFromCell(); }
    void SetAnimationOffset(s8 offset) override { object_.increment = offset; }
    void PlaceInCell() override { object_.PlaceInCell(); }

private:
    CClientObject& object_;
};
}  // namespace

void CClientWorld::AnimateItems() {
    TheAnimData().AnimateItems([this](const std::function<void(AnimatedObject&)>& visit) {
        for (CClientObject* o = animHead; o; o = o->animNext) {
            AnimatedWorldObject animated(*o);
            visit(animated);
        }
    });
}

void CClientWorld::Clear() {
    if (CClientPlayer* p = ThePlayer()) {
        if (!p->detached) p->RemoveFromWorld();
        for (int l = 0; l <= kMountLayer; ++l) {
            if (p->layers[l]) p->layers[l]->Destroy();
        }
    }
    CClientObject* o = allHead;
    while (o) {
        if (o->IsPlayer()) {
            o = o->allNext;
            continue;
        }
        o->Destroy();
        o = allHead;
        while (o && o->IsPlayer())
            o = o->allNext;
    }
}

void CClientWorld::EnterWorld(u32 serial, u16 body, int x, int y, int z, u8 dir, int map) {
    playerSerial = serial;
    CClientPlayer* player = ThePlayer();
    if (!player) return;
    player->SetSerial(serial);
    player->graphic = u16(body & 0x3FFF);
    globalLight = 0;
    player->lightLevel = 0;
    dragging = 0;
    TheWorldHooks().ResetWalkQueue();
    if (!player->detached) player->RemoveFromWorld();
    TheClientMap().Reset();
    player->direction = dir;
    player->PlaceInWorld(ClientLocation{s16(x), s16(y), s16(z)});
    TheClientMap().Recenter(x, y, z, map);
    UpdateRoofLevel();
}

WorldTileListener& TheWorldTileListener() {
    static WorldTileListener listener;
    return listener;
}

void WorldTileListener::RefreshStaticGraphic(int graphic) {
    for (CClientObject* o = TheClientWorld().allHead; o; o = o->allNext) {
        if (o->TileGraphic() != graphic || !o->inCell) continue;
        o->RemoveFromCell();
        o->PlaceInCell();
    }
}

void WorldTileListener::RefreshLandGraphic(int tile) {
    for (CDisplayObject* head : TheCellGrid().heads) {
        for (CDisplayObject* o = head; o; o = o->cellNext) {
            if (!o->IsLand()) continue;
            const int shown = o->IsTexturedLand() ? static_cast<TexturedLandTile*>(o)->landGraphic
                                                  : static_cast<LandTile*>(o)->landGraphic;
            if (shown == tile) o->Invalidate();
        }
    }
}

void WorldTileListener::RebuildLightAndAnimatedLists() {
    CClientWorld& w = TheClientWorld();
    while (w.lightHead)
        w.lightHead->RemoveFromLightList();
    while (CClientObject* o = w.animHead) {
        w.animHead = o->animNext;
        o->animNext = o->animPrev = nullptr;
    }
    for (CClientObject* o = w.allHead; o; o = o->allNext) {
        if (StaticTileOf(o->graphic).flags & kClientTileAnimated) o->LinkAnimated();
        if (o->GetTileFlags() & kClientTileLightSource) o->AddToLightList();
    }
    TheWorldHooks().AnimatedStaticsChanged();
}
