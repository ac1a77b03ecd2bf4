#include "client/world/client_object.h"

#include <cstring>

#include "client/data/data_file_cache.h"
#include "client/data/tile_data.h"
#include "client/render/land_draw.h"
#include "client/render/span_blit.h"
#include "client/world/bark_views.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/journal.h"
#include "client/world/land_objects.h"
#include "client/world/roof_hiding.h"
#include "platform/clock.h"

bool g_clientTearDown = false;

namespace {

ObjectPool<CClientObject, 512> g_statics;
ObjectPool<CClientItem, 64> g_items;

bool AddsToContents(const CClientObject* before, const CClientObject* o, int mode) {
    switch (mode) {
        case 11000:
            return before->loc.x >= o->loc.x;
        case 4006:
            return before->loc.y <= o->loc.y;
        default:
            return before->amount >= o->amount;
    }
}

}  // namespace

// The pools' access to the objects' protected initialisers and links.
struct ObjectPools {
    static CClientObject*& StaticLink(CClientObject* o) { return o->allNext; }
    static CClientItem*& ItemLink(CClientItem* o) { return o->serverNext; }
    static CClientObject* TakeStatic() { return g_statics.Take(StaticLink); }
    static void GiveStatic(CClientObject* o) {
        if (!o->detached) o->RemoveFromWorld();
        g_statics.Give(o, StaticLink);
        o->DeleteBarks();
    }
    static CClientItem* TakeItem() { return g_items.Take(ItemLink); }
    static void GiveItem(CClientItem* o) {
        o->ReleaseItem();
        g_items.Give(o, ItemLink);
    }
};

PoolCounts& StaticsPoolCounts() {
    return g_statics.counts;
}
PoolCounts& ItemsPoolCounts() {
    return g_items.counts;
}

u16 ClampGraphicId(u16 value) {
    const int id = value & 0x3FFF;
    if (id == 0) return u16(value & 0x8000);
    if (id >= 3000) return u16((value & 0xC000) | 1);
    return value;
}

const StaticTileRecord& StaticTileOf(int graphic) {
    return TheClientTileData().Static(graphic);
}

bool IsContainerGraphic(int graphic) {
    return (StaticTileOf(graphic & 0xFFFF).flags & kClientTileContainer) != 0;
}
bool IsMapGraphic(int graphic) {
    return (StaticTileOf(graphic & 0xFFFF).flags & kClientTileMapItem) != 0;
}
bool IsAmountArtGraphic(int graphic) {
    return graphic == 654 || graphic == 3821;
}

std::string GetTileName(int graphic, bool plural) {
    const StaticTileRecord& tile = StaticTileOf(graphic);
    std::string out;
    if (!plural) out = TileArticle(tile.flags);
    const size_t n = strnlen(tile.name, sizeof tile.name);
    bool inPart = false, afterSlash = false, hasSlash = false;
    for (size_t i = 0; i < n; ++i) {
        const char c = tile.name[i];
        if (c == '%') {
            inPart = !inPart;
            afterSlash = false;
            if (inPart) {
                const void* end = memchr(tile.name + i + 1, '%', n - i - 1);
                const size_t len =
                    end ? size_t(static_cast<const char*>(end) - (tile.name + i + 1)) : n - i - 1;
                hasSlash = memchr(tile.name + i + 1, '/', len) != nullptr;
            }
            continue;
        }
        if (inPart && c == '/') {
            afterSlash = true;
            continue;
        }
        if (inPart) {
            const bool wanted = hasSlash ? (afterSlash ? !plural : plural) : plural;
            if (!wanted) continue;
        }
        out += c;
    }
    return out;
}

// --- CClientObject ------------------------------------------------------------------------------

CClientObject::CClientObject() {
    if (!g_statics.refilling) ResetObjectFields();
}

void CClientObject::ResetObjectFields() {
    allNext = allPrev = lightNext = lightPrev = animNext = animPrev = seeNext = seePrev = nullptr;
    firstBark = nullptr;
    loc.Set(-1, -1, 0);
    graphic = 0;
    increment = 0;
    amount = 0;
    hue = 0;
    direction = 0;
    multiFlags = 0;
    statusFlags = 0;
    inLightList = 0;
    detached = 1;
}

CClientObject::~CClientObject() {
    if (g_clientTearDown) return;
    if (!detached) CClientObject::RemoveFromWorld();
    DeleteBarks();
}

CClientObject* CClientObject::AllocateStatic(int graphic) {
    CClientObject* o = ObjectPools::TakeStatic();
    o->ResetObjectFields();
    const StaticTileRecord& tile = StaticTileOf(graphic);
    o->graphic = u16(graphic & 0x3FFF);
    o->amount = u16(tile.value);
    o->hue = tile.hue;
    return o;
}

void CClientObject::Destroy() {
    ObjectPools::GiveStatic(this);
}

u32 CClientObject::GetTileFlags() const {
    return Tile().flags;
}

int CClientObject::GetHeight() const {
    return Tile().height;
}

int CClientObject::GetTileWord() const {
    return Tile().light;
}

int CClientObject::GetStandZ() const {
    int h = GetHeight();
    if (GetTileFlags() & 0x400) h /= 2;
    return loc.z + h;
}

int CClientObject::GetArtId() const {
    if (graphic > 0x4000) return 0;
    if (HasAmountArt()) return 0x4000 + graphic + (amount <= 1 ? 0 : amount <= 5 ? 1 : 2);
    const int g = TileGraphic();
    if (g < 0 || g >= kTileCount) return 0;
    return 0x4000 + g;
}

ArtRecord CClientObject::GetArt() const {
    const int id = GetArtId();
    if (!id) return {};
    s32 length = 0;
    const u8* bytes = GetArtRecord(id, &length);
    if (!bytes || length < 8) return {};
    return {reinterpret_cast<const u16*>(bytes), size_t(length) / 2};
}

bool DrawingSeeThrough = false;

namespace {

// The span routine of an object's colour effect: tile flags 0x8 (translucent), 0x20000 and
// 0x40000, plus 2 for a hue.
SpanFn EffectSpan(u32 bits) {
    switch (bits) {
        case 0x2:
        case 0x20002:
            return SpanHue;
        case 0x40002:
        case 0x60002:
            return SpanHueGrey;
        case 0x8:
        case 0x40008:
            return SpanBlendOver;
        case 0x20008:
        case 0x60008:
            return SpanBlendUnder;
        case 0xA:
            return SpanHueBlendOver;
        case 0x4000A:
            return SpanHueGreyBlendOver;
        default:
            return SpanCopy;
    }
}

// Graphics that mark places for the server and are never drawn.
bool IsMarker(int graphic) {
    return graphic == 1 || (graphic >= 8600 && graphic <= 8610);
}

}  // namespace

void CClientObject::Draw(const BlitTarget& target, const ScreenRect& clip) {
    if (IsMarker(graphic)) return;
    const CClientPlayer* player = ThePlayer();
    bool ghost = player != nullptr && player->IsGhost();
    const bool server = IsServerObject();
    if (server && (statusFlags & 0x80)) {
        if (!PlayerSeesHidden()) return;
        ghost = true;
    }
    const u32 flags = GetTileFlags() | (DrawingSeeThrough ? 0x8u : 0u);
    if (flags & 0x10000) return;
    const int x = box.left - ViewScrollX, y = box.top - ViewScrollY;
    const ClipRect rect{clip.left, clip.top, clip.right, clip.bottom};
    const ArtRecord art = GetArt();
    if (art.words == nullptr) {
        if (ghost)
            DrawLandTileGrey(target, 0, x, y, rect);
        else
            DrawLandTile(target, 0, x, y, rect);
        return;
    }
    if (hue > 60000) return;
    const bool doubled = IsDoubled();
    const bool clipped = IsBoxOutside(clip) || doubled;
    const int drawHue = ghost ? 946 : hue;
    const bool marked = server && static_cast<const CClientItem*>(this)->serial ==
                                      TheWorldHooks().MarkedObjectSerial();
    u32 bits = ghost ? 0 : flags & 0x60008;
    if (drawHue != 0 || marked) bits += 2;
    const BlitSpan span(EffectSpan(bits), marked ? 52 : drawHue - 1);
    if (clipped) {
        DrawArtClipped(target, span, art, rect, x, y);
        if (doubled) DrawArtClipped(target, span, art, rect, x + 5, y + 5);
    } else {
        DrawArt(target, span, art, x, y);
    }
}

bool CClientObject::IsDoubled() const {
    return (GetTileFlags() & kClientTileStackable) && !HasAmountArt() && amount > 1;
}

void CClientObject::UpdateScreenBox() {
    int w = 0, h = 0;
    if (ArtRecordSize(GetArt(), w, h) && w > 0 && h > 0) {
        if (IsDoubled()) {
            w += 5;
            h += 5;
        }
        box.bottom = rowKey * 22 + 43 - loc.z * 4;
        box.top = box.bottom - h;
        box.left = columnKey * 22 - w / 2;
        box.right = box.left + w;
    } else {
        box.top = rowKey * 22 - loc.z * 4;
        box.bottom = box.top + 44;
        box.left = columnKey * 22;
        box.right = box.left + 44;
    }
}

void CClientObject::PlaceInCell() {
    int depth = loc.z;
    if (GetTileFlags() & 0x1) --depth;
    if (GetHeight() > 0) ++depth;
    SetKeys(depth);
    InsertIntoCell(loc.x, loc.y);
}

bool CClientObject::IsHidden() const {
    if (!inCell || !ThePlayer()) return true;
    const LevelRecord& lv = TheLevels();
    if (lv.cutOn) {
        if (loc.z >= lv.cutLevel) return true;
        for (const CDisplayObject* o = cellPrev; o; o = o->cellPrev) {
            if (o->IsLand() && o->loc.z >= lv.cutLevel) return true;
        }
    }
    const u32 flags = GetTileFlags();
    if (flags & 0x10000000) {
        if (lv.roofLevel != 127) return true;
    } else if (loc.z >= lv.roofLevel) {
        return true;
    }
    if (flags & 0x10000) return true;
    if (!(flags & 0x20000)) return false;
    return SeeThroughHidden(*this);
}

void CClientObject::LinkAnimated() {
    CClientWorld& w = TheClientWorld();
    animPrev = nullptr;
    animNext = w.animHead;
    if (animNext) animNext->animPrev = this;
    w.animHead = this;
}

void CClientObject::PlaceInWorld(const ClientLocation& at) {
    TheClientWorld().AppendAll(this);
    loc = at;
    detached = 0;
    PlaceInCell();
    if (StaticTileOf(graphic).flags & kClientTileAnimated) LinkAnimated();
    const u32 flags = GetTileFlags();
    if (flags & 0x20000) AddToSeeThroughList();
    if (flags & kClientTileLightSource) AddToLightList();
    if (IsPlayer() && lightLevel != 0) {
        TheClientWorld().globalLight += lightLevel;
        TheWorldHooks().RedrawRadar();
        TheWorldHooks().InvalidateWorldView();
    }
}

void CClientObject::AddToContainer(CClientContainer* c, const ClientLocation& at) {
    CClientItem* self = static_cast<CClientItem*>(this);
    loc = at;
    int mode = 0;
    if (c->graphic == 11000)
        mode = 11000;
    else if (c->graphic == 4006)
        mode = 4006;
    else if (c->IsSpellbook())
        mode = 1;
    if (mode) {
        CClientObject* before = c->contents;
        CClientObject* last = nullptr;
        while (before && !AddsToContents(before, this, mode)) {
            last = before;
            before = before->allNext;
        }
        allNext = before;
        allPrev = last;
        if (before) before->allPrev = this;
        if (last)
            last->allNext = this;
        else
            c->contents = this;
    } else {
        allPrev = nullptr;
        allNext = c->contents;
        if (allNext) allNext->allPrev = this;
        c->contents = this;
    }
    self->holder = c;
    detached = 0;
    // The container's open gump shows the new content: a container gump redraws its
    // rectangle, a spellbook refreshes, a bulletin board asks the server for the message's
    // header, a vendor's shop updates its list.
    TheWorldHooks().ContainerItemAdded(c->serial, self->serial);
    if (mode == 0 && c->IsCorpse() && !c->holder && c->inCell) {
        c->RemoveFromCell();
        c->PlaceInCell();
    }
}

void CClientObject::EquipOn(CClientMobile* mobile, int layerIndex) {
    auto* self = static_cast<CClientItem*>(this);
    self->layer = u8(layerIndex);
    if (layerIndex >= 0 && layerIndex < kLayerSlots) mobile->layers[layerIndex] = self;
    self->holder = mobile;
    allNext = allPrev = nullptr;
    detached = 0;
    if (layerIndex != 0) {
        if (GetTileFlags() & kClientTileLightSource) AddToLightList();
        TheWorldHooks().RedrawPaperdoll(mobile->serial);
    }
}

void CClientObject::LeaveWorldLists() {
    CClientWorld& w = TheClientWorld();
    if (StaticTileOf(graphic).flags & kClientTileAnimated) {
        if (animPrev)
            animPrev->animNext = animNext;
        else if (w.animHead == this)
            w.animHead = animNext;
        if (animNext) animNext->animPrev = animPrev;
        animNext = animPrev = nullptr;
    }
    RemoveFromLightList();
    if (GetTileFlags() & 0x20000) RemoveFromSeeThroughList();
}

void CClientObject::UnlinkAllObjects() {
    TheClientWorld().UnlinkAll(this);
    detached = 1;
}

void CClientObject::RemoveFromWorld() {
    if (inCell) RemoveFromCell();
    LeaveWorldLists();
    UnlinkAllObjects();
}

void CClientObject::SetStatusFlags(u8 flags) {
    statusFlags = flags;
}

void CClientObject::SetLightLevel(int level) {
    if (!IsPlayer() || level == lightLevel) return;
    if (!detached) {
        TheClientWorld().globalLight += level - lightLevel;
        TheWorldHooks().RedrawRadar();
        TheWorldHooks().InvalidateWorldView();
    }
    lightLevel = level;
}

bool CClientObject::IsWithinRange(int range) const {
    if (IsPlayer()) return true;
    ClientLocation at = loc;
    if (IsMobile()) {
        const auto* m = static_cast<const CClientMobile*>(this);
        if (m->queuedSteps > 0) at = m->steps[m->queuedSteps - 1].loc;
    } else if (IsServerObject()) {
        at = static_cast<const CClientItem*>(this)->Outermost()->loc;
    }
    const CClientMap& map = TheClientMap();
    return std::abs(at.x - map.centreX) <= range && std::abs(at.y - map.centreY) <= range;
}

std::string CClientObject::GetName() const {
    const bool plural = (GetTileFlags() & kClientTileStackable) && amount > 1;
    return GetTileName(TileGraphic(), plural);
}

void CClientObject::AddToLightList() {
    if (inLightList) return;
    CClientWorld& w = TheClientWorld();
    lightPrev = nullptr;
    lightNext = w.lightHead;
    if (lightNext) lightNext->lightPrev = this;
    w.lightHead = this;
    inLightList = 1;
}

void CClientObject::RemoveFromLightList() {
    if (!inLightList) return;
    CClientWorld& w = TheClientWorld();
    if (lightPrev)
        lightPrev->lightNext = lightNext;
    else if (w.lightHead == this)
        w.lightHead = lightNext;
    if (lightNext) lightNext->lightPrev = lightPrev;
    lightNext = lightPrev = nullptr;
    inLightList = 0;
}

void CClientObject::AddToSeeThroughList() {
    CClientWorld& w = TheClientWorld();
    if (w.seeHead == this || seePrev) return;
    seePrev = nullptr;
    seeNext = w.seeHead;
    if (seeNext) seeNext->seePrev = this;
    w.seeHead = this;
}

void CClientObject::RemoveFromSeeThroughList() {
    CClientWorld& w = TheClientWorld();
    if (seePrev)
        seePrev->seeNext = seeNext;
    else if (w.seeHead == this)
        w.seeHead = seeNext;
    else
        return;
    if (seeNext) seeNext->seePrev = seePrev;
    seeNext = seePrev = nullptr;
}

int CClientObject::BarkCount() const {
    int n = 0;
    for (const OverheadText* b = firstBark; b; b = b->older)
        ++n;
    return n;
}

void CClientObject::PushBark(OverheadText* bark) {
    while (BarkCount() > 2) {
        OverheadText* oldest = firstBark;
        while (oldest->older)
            oldest = oldest->older;
        TheBarkViews().Forget(*oldest);
        DropBark(this, oldest);
    }
    bark->created = platform::NowMs();
    bark->older = firstBark;
    firstBark = bark;
}

OverheadText* CClientObject::ShowBark(OverheadText* bark) {
    if (TheBarkViews().Show(this, *bark)) return bark;
    DropBark(this, bark);
    return nullptr;
}

OverheadText* CClientObject::AddBark(const std::string& text, u16 barkHue, u16 font, int mode) {
    auto* b = new OverheadText;
    b->text = text;
    b->hue = barkHue;
    b->font = font;
    b->mode = mode;
    b->label = TheBarkSpeaker().mode == BarkSpeaker::kLabel;
    PushBark(b);
    // The text enters the journal as the bubble showing it would enter it.
    TheJournal().AddLine(TakeSpeakerLine(text), barkHue);
    TheWorldHooks().BarkAdded(IsServerObject() ? static_cast<CClientItem*>(this)->serial : 0, text);
    return ShowBark(b);
}

OverheadText* CClientObject::ReplaceBarks(const std::string& text, u16 barkHue, u16 font,
                                          int mode) {
    DeleteBarks();
    return AddBark(text, barkHue, font, mode);
}

OverheadText* CClientObject::AddUnicodeBark(const std::u16string& text, u16 barkHue, u16 font,
                                            u32 language) {
    auto* b = new OverheadText;
    b->wideText = text;
    b->unicode = true;
    b->hue = barkHue;
    b->font = font;
    b->language = language;
    b->label = TheBarkSpeaker().mode == BarkSpeaker::kLabel;
    PushBark(b);
    TheJournal().AddUnicodeLine(TakeUnicodeSpeakerLine(text), barkHue);
    return ShowBark(b);
}

OverheadText* CClientObject::ReplaceUnicodeBarks(const std::u16string& text, u16 barkHue, u16 font,
                                                 u32 language) {
    DeleteBarks();
    return AddUnicodeBark(text, barkHue, font, language);
}

void CClientObject::DeleteBarks() {
    while (firstBark) {
        OverheadText* b = firstBark;
        TheBarkViews().Forget(*b);
        firstBark = b->older;
        delete b;
    }
}

// --- CClientItem --------------------------------------------------------------------------------

CClientItem::CClientItem() {
    if (!g_items.refilling) InitItemFields();
}

void CClientItem::InitItemFields() {
    CClientWorld& w = TheClientWorld();
    serverPrev = nullptr;
    serverNext = w.serverHead;
    if (serverNext) serverNext->serverPrev = this;
    w.serverHead = this;
    serial = 0;
    holder = nullptr;
    statusFlags = 0;
    lightLevel = 0;
    shopPrice = 0;
    shopName.clear();
}

void CClientItem::SetSerial(u32 value) {
    CClientWorld& w = TheClientWorld();
    const bool linked = serverPrev != nullptr || w.serverHead == this;
    if (linked) w.UnindexSerial(this);
    serial = value;
    if (linked) w.IndexSerial(this);
}

void CClientItem::UnlinkServerList() {
    CClientWorld& w = TheClientWorld();
    if (serverPrev == nullptr && w.serverHead != this) return;
    w.UnindexSerial(this);
    if (serverPrev)
        serverPrev->serverNext = serverNext;
    else
        w.serverHead = serverNext;
    if (serverNext) serverNext->serverPrev = serverPrev;
    serverNext = serverPrev = nullptr;
}

void CClientItem::ReleaseItem() {
    if (!detached) RemoveFromWorld();
    UnlinkServerList();
    DeleteBarks();
    shopName = std::string();
}

CClientItem::~CClientItem() {
    if (g_clientTearDown) return;
    ReleaseItem();
}

CClientItem* CClientItem::Allocate(u32 serial, int graphic, int increment) {
    CClientItem* o = ObjectPools::TakeItem();
    o->InitItemFields();
    // Other fields carry over from the pooled object's last life, but standing for a multi
    // must not: a stale mark would keep an item the update puts out of range for ever.
    o->multiFlags = 0;
    o->SetSerial(serial);
    o->graphic = u16(graphic & 0x3FFF);
    o->increment = s8(increment);
    return o;
}

void CClientItem::Destroy() {
    ObjectPools::GiveItem(this);
}

const CClientObject* CClientItem::Outermost() const {
    const CClientObject* o = this;
    for (int guard = 0; guard < 64; ++guard) {
        if (!o->IsServerObject()) break;
        const CClientObject* up = static_cast<const CClientItem*>(o)->holder;
        if (!up) break;
        o = up;
    }
    return o;
}

bool CClientItem::IsEquipped() const {
    if (!holder || !holder->IsMobile()) return false;
    const auto* m = static_cast<const CClientMobile*>(holder);
    for (CClientItem* slot : m->layers) {
        if (slot == this) return true;
    }
    return false;
}

bool CClientItem::IsMovable() const {
    return (statusFlags & 0x20) || Tile().weight <= 90;
}

void CClientItem::RemoveFromWorld() {
    WorldHooks& hooks = TheWorldHooks();
    CClientObject* old = holder;
    if (old) {
        if (old->IsMobile())
            old->Invalidate();
        else if (inCell)
            RemoveFromCell();
    } else if (inCell) {
        RemoveFromCell();
    }
    LeaveWorldLists();
    if (old) {
        if (old->IsCorpse()) old->Invalidate();
        if (IsEquipped()) {
            auto* m = static_cast<CClientMobile*>(old);
            for (CClientItem*& slot : m->layers) {
                if (slot == this) slot = nullptr;
            }
            hooks.RedrawPaperdoll(m->serial);
        } else if (old->UsesCellShift()) {
            auto* c = static_cast<CClientContainer*>(old);
            if (allPrev)
                allPrev->allNext = allNext;
            else if (c->contents == this)
                c->contents = allNext;
            if (allNext) allNext->allPrev = allPrev;
        }
        holder = nullptr;
        allNext = allPrev = nullptr;
        detached = 1;
        hooks.RedrawContainerRect(static_cast<CClientItem*>(old)->serial,
                                  ScreenRect{loc.x, loc.y, loc.x, loc.y});
    } else {
        if (lightLevel != 0) {
            TheClientWorld().globalLight -= lightLevel;
            hooks.RedrawRadar();
            hooks.InvalidateWorldView();
        }
        UnlinkAllObjects();
    }
}

// --- containers, corpses, map items ------------------------------------------------------------

CClientContainer::CClientContainer() = default;

CClientContainer::CClientContainer(u32 s, int g, int inc, bool keep) {
    SetSerial(s);
    graphic = u16(g & 0x3FFF);
    increment = s8(inc);
    if (!keep) UnlinkServerList();
}

CClientContainer::~CClientContainer() {
    if (g_clientTearDown) return;
    if (!detached) RemoveFromWorld();
    DestroySlices();
    TheWorldHooks().DeleteGumpsOf(serial);
    DeleteContents();
}

void CClientContainer::DeleteContents() {
    while (contents) {
        CClientObject* first = contents;
        first->Destroy();
        // A contained object always unlinks itself; guard against one that did not.
        if (contents == first) contents = first->allNext;
    }
}

void CClientContainer::DestroySlices() {
    while (firstSlice)
        delete firstSlice;
}

void CClientContainer::PlaceInCell() {
    CClientObject::PlaceInCell();
}

void CClientContainer::RemoveFromCell() {
    DestroySlices();
    CDisplayObject::RemoveFromCell();
}

void CClientContainer::UpdateFigureBox(int anchorOffsetX, int h) {
    ScreenRect figure;
    if (TheWorldHooks().FigureBox(*this, figure)) {
        box = figure;
    } else {
        // The tile under the figure.
        box.top = rowKey * 22 - loc.z * 4;
        box.bottom = box.top + 44;
        box.left = columnKey * 22 - 22;
        box.right = box.left + 44;
    }
    const int anchor = columnKey * 22 + 1 + anchorOffsetX;
    const int w = box.right - anchor + 22;
    cellShift = w > 44 ? w / 44 : 0;
    bandStart = rowKey * 22 + 20 - 4 * h;
}

void CClientContainer::InsertFigure(int column, int row, bool bands) {
    InsertIntoCell(column, row, true);
    if (!bands || box.bottom <= bandStart) return;
    const int c = column + cellShift, r = row - cellShift;
    int i = 1;
    for (int t = bandStart; t < box.bottom; t += 44, ++i) {
        const int b = t + 44 < box.bottom ? t + 44 : box.bottom;
        auto* slice = new CSpriteSlice(c + i, r + i, t, b, this);
        slice->InsertIntoCell(c + i, r + i);
    }
}

void CClientCorpse::UpdateScreenBox() {
    UpdateFigureBox(0, loc.z);
}

void CClientCorpse::PlaceInCell() {
    SetKeys(loc.z + 1);
    UpdateScreenBox();
    InsertFigure(loc.x, loc.y, true);
}

CClientMapItem::~CClientMapItem() {
    if (g_clientTearDown) return;
    if (!detached) RemoveFromWorld();
    EditPins(5, 0, 0, 0);
}

bool CClientMapItem::EditPins(int operation, int index, int x, int y) {
    operation &= 0xFF;
    index &= 0xFF;
    CoursePin** at = &firstPin;
    auto seek = [&](int limit) {
        if (index > limit) return false;
        at = &firstPin;
        for (int i = 0; i < index; ++i)
            at = &(*at)->next;
        return true;
    };
    switch (operation) {
        case 1: {
            index = pinCount;
            seek(pinCount);
            auto* pin = new CoursePin;
            pin->loc.Set(x, y, 0);
            *at = pin;
            ++pinCount;
            return true;
        }
        case 2: {
            if (!seek(pinCount)) return false;
            auto* pin = new CoursePin;
            pin->loc.Set(x, y, 0);
            pin->next = *at;
            *at = pin;
            ++pinCount;
            return true;
        }
        case 3:
            if (!seek(pinCount - 1)) return false;
            (*at)->loc.Set(x, y, 0);
            return true;
        case 4: {
            if (!seek(pinCount - 1)) return false;
            CoursePin* gone = *at;
            *at = gone->next;
            delete gone;
            --pinCount;
            return true;
        }
        case 5:
            while (firstPin) {
                CoursePin* gone = firstPin;
                firstPin = gone->next;
                delete gone;
            }
            pinCount = 0;
            return true;
        default:
            return false;
    }
}
