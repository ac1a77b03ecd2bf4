#include "client/world/mobile_draw.h"

#include <algorithm>
#include <optional>

#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "client/render/land_vector.h"
#include "client/world/cell_grid.h"
#include "client/world/client_mobile.h"
#include "client/world/client_object.h"
#include "client/world/client_world.h"

const u8 LayerDrawOrder[8][25] = {
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 20},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2},
    {25, 20, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 20},
    {25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 20},
};

namespace {

constexpr int kStoredDirection[8] = {3, 2, 1, 0, 1, 2, 3, 4};
constexpr int kBaldHeadGraphic = 8270;

bool InList(int body, std::initializer_list<int> list) {
    return std::find(list.begin(), list.end(), body) != list.end();
}
bool InListA(int body) {
    return InList(body, {576, 577, 578, 579, 580, 581, 582, 992, 993});
}
bool InListB(int body) {
    return InList(body, {611, 612, 613, 614, 615, 616, 617, 621, 624, 626, 628, 634, 636, 639, 641,
                         646, 648, 649, 651});
}
bool IsWornAnimationBody(int body) {
    return body >= 400 && body <= 999;
}

bool PlayerIsGhost() {
    const CClientPlayer* p = ThePlayer();
    return p != nullptr && p->IsGhost();
}

// The item a corpse holds in a layer (found in its contents by the serial of the layer).
const CClientItem* CorpseLayerItem(const CClientCorpse& corpse, int layer) {
    if (layer < 0 || layer >= int(std::size(corpse.layerSerials))) return nullptr;
    const u32 serial = corpse.layerSerials[layer];
    if (serial == 0) return nullptr;
    for (const CClientObject* o = corpse.contents; o != nullptr; o = o->allNext) {
        if (!o->IsServerObject()) continue;
        const auto* item = static_cast<const CClientItem*>(o);
        if (item->serial == serial) return item;
    }
    return nullptr;
}

// A worn item; an empty layer of a dying mobile (its serial marked) is filled from the
// corpse it is about to become.
const CClientItem* WornItem(const CClientMobile& m, int layer, bool fromCorpse) {
    if (layer < 0 || layer >= kLayerSlots) return nullptr;
    if (m.layers[layer] != nullptr) return m.layers[layer];
    if (!fromCorpse || !(m.serial & 0x80000000u)) return nullptr;
    const CClientObject* corpse = TheDyingMobiles().FindCorpseOf(m.serial);
    if (corpse == nullptr || !corpse->IsCorpse()) return nullptr;
    return CorpseLayerItem(static_cast<const CClientCorpse&>(*corpse), layer);
}

// What selects a mobile's frames.
struct FigureState {
    int facing = 0;
    bool mirrored = false;
    int counter = 0;
    int explicitFrame = -1;
    int explicitAction = 0;
    bool running = false;
};

FigureState StateOf(const CClientMobile& m) {
    FigureState s;
    // The mirror table has 8 entries: the running bit and the rest are masked off.
    s.facing = m.direction & 7;
    s.mirrored = IsMirroredFacing(s.facing);
    s.counter = m.animCounter;
    s.explicitFrame = m.GetActionFrame();
    s.explicitAction = m.action.id;
    s.running = m.running != 0;
    return s;
}

bool LoadFigureFrame(int body, const FigureState& s, const CClientMobile& m, AnimFrame& frame) {
    int id = 0, index = 0;
    GetAnimationId(body, s.facing, s.counter, s.explicitFrame, s.explicitAction, s.running, &m, id,
                   index);
    return LoadAnimFrame(id, index, frame);
}

// The anchor point of a figure: the feet on screen, before scrolling.
void MobileAnchor(const CClientMobile& m, int& sx, int& sy) {
    const int anchor = m.rowKey * 22 - m.drawnZ * 4 + 20;
    if (m.IsPlayer()) {
        // The walk offsets of the player's step; the walk state is at rest until walking
        // lands.
        sx = m.columnKey * 22 + 1;
        sy = anchor;
    } else {
        sx = m.columnKey * 22 - m.stepOffsetX + 1;
        sy = anchor - m.stepOffsetY;
    }
}

void CorpseAnchor(const CClientCorpse& c, int& sx, int& sy) {
    sx = c.columnKey * 22 + 1;
    sy = c.rowKey * 22 - c.loc.z * 4 + 20;
}

ScreenRect FrameBox(const AnimFrame& f, bool mirrored, int sx, int sy) {
    const int cx = mirrored ? f.width - f.centreX : f.centreX;
    ScreenRect r;
    r.bottom = sy - f.centreY;
    r.left = sx - cx;
    r.top = r.bottom - f.height;
    r.right = r.left + f.width;
    if (f.centreY >= 0) r.bottom = sy;
    return r;
}

void Unite(ScreenRect& a, const ScreenRect& b) {
    a.left = std::min(a.left, b.left);
    a.top = std::min(a.top, b.top);
    a.right = std::max(a.right, b.right);
    a.bottom = std::max(a.bottom, b.bottom);
}

ScreenRect PointBox(int sx, int sy) {
    return ScreenRect{sx, sy, sx, sy};
}

bool IsHiddenObject(const CClientObject& o) {
    return (o.statusFlags & 0x80) != 0;
}

ScreenRect CorpseBox(const CClientCorpse& c) {
    int sx, sy;
    CorpseAnchor(c, sx, sy);
    const int body = c.amount;
    if (body >= 1000 || (IsHiddenObject(c) && !PlayerSeesHidden())) return PointBox(sx, sy);
    const bool mirrored = IsMirroredFacing(c.direction & 7);
    int id = 0, index = 0;
    GetCorpseAnimationId(body, c.direction, id, index);
    AnimFrame frame;
    if (!LoadAnimFrame(id, index, frame)) return PointBox(sx, sy);
    ScreenRect box = FrameBox(frame, mirrored, sx, sy);
    if (body < 400) return box;
    for (int layer = 0; layer <= 24; ++layer) {
        if (layer == 21) continue;
        const CClientItem* item = CorpseLayerItem(c, layer);
        if (item == nullptr || !IsWornAnimationBody(AnimationBodyOf(*item))) continue;
        GetCorpseAnimationId(AnimationBodyOf(*item), c.direction, id, index);
        if (LoadAnimFrame(id, index, frame)) Unite(box, FrameBox(frame, mirrored, sx, sy));
    }
    return box;
}

ScreenRect MobileBox(const CClientMobile& m) {
    int sx, sy;
    MobileAnchor(m, sx, sy);
    if (m.graphic >= 1000) return PointBox(sx, sy);
    if (!m.IsPlayer() && IsHiddenObject(m) && !PlayerSeesHidden()) return PointBox(sx, sy);
    const int body = m.IsGhost() ? m.graphic - 2 : m.graphic;
    const FigureState s = StateOf(m);
    AnimFrame frame;
    if (!LoadFigureFrame(body, s, m, frame)) return PointBox(sx, sy);
    ScreenRect box = FrameBox(frame, s.mirrored, sx, sy);
    if (BodyCastsShadow(body))
        box.right += (frame.height + (frame.centreY >= 0 ? frame.centreY : 0)) / 2;
    if (body < 400) return box;
    for (int layer = 1; layer <= 25; ++layer) {
        if (layer == 21) continue;
        const CClientItem* item = WornItem(m, layer, !m.IsPlayer());
        if (item == nullptr) continue;
        const int animBody = AnimationBodyOf(*item);
        if (!IsWornAnimationBody(animBody) || !LoadFigureFrame(animBody, s, m, frame)) continue;
        ScreenRect part = FrameBox(frame, s.mirrored, sx, sy);
        if (layer == kMountLayer) part.right += frame.width / 2;
        Unite(box, part);
    }
    return box;
}

// The clip of a figure: below its anchor line it is drawn by its bands (sprite slices).
ClipRect FigureClip(const ScreenRect& clip, int anchorLine, bool cut) {
    ClipRect r{clip.left, clip.top, clip.right, clip.bottom};
    if (cut && !DrawingSlice) r.bottom = std::min(r.bottom, anchorLine - ViewScrollY);
    return r;
}

bool IsHighlighted(const CClientMobile& m) {
    const CClientWorld& world = TheClientWorld();
    const CClientPlayer* player = ThePlayer();
    const bool war = player != nullptr && player->warMode;
    if ((world.targeting || war) && m.serial != 0 &&
        m.serial == TheWorldHooks().MarkedMobileSerial())
        return true;
    return m.serial != 0 && m.serial == world.attackTarget;
}

}  // namespace

u16 GetHighlightHue(const CClientMobile& mobile) {
    const int n = mobile.notoriety;
    return TheHueTable().highlightHues[n >= 0 && n < 8 ? n : 0];
}

bool IsHairOrBeard(const CClientObject& item) {
    const int layer = item.Tile().layer;
    return layer == 11 || layer == 16;
}

bool IsEquipmentLayerHidden(int layer, CClientItem* const* layers) {
    switch (layer) {
        case 3:
        case 4:
            return layers[24] != nullptr;
        case 13:
        case 19:
            return layers[22] != nullptr;
        case 11:
            return layers[22] != nullptr && layers[22]->graphic == kBaldHeadGraphic;
        default:
            return false;
    }
}

int AnimationBodyOf(const CClientObject& item) {
    return item.Tile().animation;
}

int StoredDirection(int facing) {
    return kStoredDirection[facing & 7];
}

bool IsMirroredFacing(int facing) {
    return (facing & 7) <= 2;
}

void GetAnimationId(int body, int facing, int counter, int explicitFrame, int explicitAction,
                    bool running, const CClientMobile* m, int& id, int& frame) {
    int base = 35000, per = 175, index = body - 400;
    if (body < 200) {
        base = 0;
        per = 110;
        index = body;
    } else if (body < 400) {
        base = 22000;
        per = 65;
        index = body - 200;
    }
    const bool standing = m != nullptr && m->idle != 0;
    const bool war = m != nullptr && m->warMode != 0 && !m->IsGhost();
    const bool mounted = m != nullptr && m->IsMounted();
    const CClientItem* held1 = m != nullptr ? m->layers[1] : nullptr;
    const CClientItem* held2 = m != nullptr ? m->layers[2] : nullptr;
    const int anim1 = held1 != nullptr ? AnimationBodyOf(*held1) : -1;
    const int anim2 = held2 != nullptr ? AnimationBodyOf(*held2) : -1;
    const bool inListA = held2 == nullptr || InListA(anim2);
    const bool inListB =
        (held1 != nullptr && InListB(anim1)) || (held2 != nullptr && InListB(anim2));
    const bool lightPart =
        held2 != nullptr && anim2 == body && (held2->GetTileFlags() & kClientTileLightSource);
    int a = 0, n = 1;
    if (body < 150) {
        if (!standing) {
            n = 10;
            a = running && InList(body, {4, 5, 6, 9, 10, 12, 30, 39, 59, 60, 61}) ? 19 : 0;
        } else if (body == 13 || body == 15 || body == 16) {
            a = 8;
            n = 6;
        } else {
            a = 1;
        }
    } else if (body < 400) {
        if (!standing) {
            a = running ? 1 : 0;
            n = body < 200 ? 10 : 5;
        } else {
            a = 2;
        }
    } else if (!standing) {
        if (mounted) {
            a = running ? 24 : 23;
            n = 5;
        } else if (!running) {
            a = war ? 15 : (inListA ? 0 : 1);
            n = 10;
        } else {
            a = inListA ? 2 : 3;
            n = 10;
        }
    } else if (body == 574) {
        a = 0;
        n = 10;
    } else if (mounted) {
        a = lightPart ? 28 : 25;
        n = lightPart ? 7 : 1;
    } else if (!war) {
        a = lightPart ? 0 : 4;
        n = lightPart ? 10 : 1;
    } else {
        a = lightPart ? 2 : (inListB ? 8 : 7);
        n = lightPart ? 10 : 1;
    }
    const int d = StoredDirection(facing);
    if (explicitFrame == -1) {
        id = base + per * index + 5 * a + d;
        frame = n == 1 ? 0 : counter % (n - 1);
        return;
    }
    int action = explicitAction & 0x7F;
    frame = explicitFrame;
    if (action > 34) {
        action = 0;
        frame = 0;
    }
    id = base + per * index + 5 * action + d;
}

void GetCorpseAnimationId(int body, int direction, int& id, int& frame) {
    const int d = StoredDirection(direction & 7);
    const bool second = (direction & 0x80) != 0;
    frame = body < 150 ? 3 : 5;
    if (body < 150)
        id = body * 110 + d + 5 * (second ? 3 : 2);
    else if (body < 200)
        id = body * 110 + d + 40;
    else if (body < 400)
        id = 22000 + (body - 200) * 65 + d + 5 * (second ? 12 : 8);
    else
        id = 35000 + (body - 400) * 175 + d + 5 * (second ? 22 : 21);
}

bool FigureScreenBox(const CClientContainer& figure, ScreenRect& box) {
    if (figure.IsMobile())
        box = MobileBox(static_cast<const CClientMobile&>(figure));
    else if (figure.IsCorpse())
        box = CorpseBox(static_cast<const CClientCorpse&>(figure));
    else
        return false;
    return true;
}

bool FigureCoversPoint(const CClientMobile& m, int sx, int sy) {
    if (m.graphic >= 1000) return false;
    int x0, y0;
    MobileAnchor(m, x0, y0);
    const int body = m.IsGhost() ? m.graphic - 2 : m.graphic;
    const FigureState s = StateOf(m);
    AnimFrame frame;
    if (LoadFigureFrame(body, s, m, frame) && FrameContainsPoint(sx, sy, s.mirrored, x0, y0, frame))
        return true;
    if (body < 400) return false;
    for (u8 layer : LayerDrawOrder[s.facing]) {
        if (layer == 21 || IsEquipmentLayerHidden(layer, m.layers)) continue;
        const CClientItem* item = m.layers[layer];
        if (item == nullptr) continue;
        const int animBody = AnimationBodyOf(*item);
        if (!IsWornAnimationBody(animBody) || !LoadFigureFrame(animBody, s, m, frame)) continue;
        if (FrameContainsPoint(sx, sy, s.mirrored, x0, y0, frame)) return true;
    }
    return false;
}

bool CorpseCoversPoint(const CClientCorpse& c, int sx, int sy) {
    if (c.amount > 999) return false;
    int x0, y0;
    CorpseAnchor(c, x0, y0);
    int id = 0, index = 0;
    GetCorpseAnimationId(c.amount, c.direction, id, index);
    AnimFrame frame;
    return LoadAnimFrame(id, index, frame) &&
           FrameContainsPoint(sx, sy, IsMirroredFacing(c.direction & 7), x0, y0, frame);
}

// --- the figures' drawing ------------------------------------------------------------------------

void CClientCorpse::Draw(const BlitTarget& target, const ScreenRect& clip) {
    const int body = amount;
    if (body >= 1000 || TheDyingMobiles().IsPending(serial, serial)) return;
    const bool hidden = IsHiddenObject(*this);
    if (hidden && !PlayerSeesHidden()) return;
    const bool grey = hidden || PlayerIsGhost();
    int sx, sy;
    CorpseAnchor(*this, sx, sy);
    const ClipRect rect = FigureClip(clip, bandStart, true);
    const int facing = direction & 7;
    const bool mirrored = IsMirroredFacing(facing);
    int id = 0, index = 0;
    GetCorpseAnimationId(body, direction, id, index);
    AnimFrame frame;
    if (!LoadAnimFrame(id, index, frame)) return;
    DrawAnimationFrame(target, mirrored, grey ? kGhostHue : hue, sx - ViewScrollX, sy - ViewScrollY,
                       rect, frame);
    if (body < 400) return;
    for (u8 layer : LayerDrawOrder[facing]) {
        if (layer == 21 || layer == kMountLayer) continue;
        const CClientItem* item = CorpseLayerItem(*this, layer);
        if (item == nullptr) continue;
        const int animBody = AnimationBodyOf(*item);
        if (!IsWornAnimationBody(animBody)) continue;
        GetCorpseAnimationId(animBody, direction, id, index);
        if (!LoadAnimFrame(id, index, frame)) continue;
        u16 itemHue = item->hue;
        if (grey)
            itemHue = kGhostHue;
        else if (item->GetTileFlags() & kClientTilePartialHue)
            itemHue |= 0x8000;
        DrawAnimationFrame(target, mirrored, itemHue, sx - ViewScrollX, sy - ViewScrollY, rect,
                           frame);
    }
}

void CClientMobile::Draw(const BlitTarget& target, const ScreenRect& clip) {
    if (graphic >= 1000) return;
    // Seated figures are composed by the seated drawing, which is not built yet: a mobile on
    // a seat is drawn standing.
    const bool player = IsPlayer();
    const bool hidden = IsHiddenObject(*this);
    // A hue that replaces the figure's own ones: the hidden grey, or the highlight.
    std::optional<u16> forced;
    if (player) {
        if (hidden) forced = kGhostHue;
    } else if (hidden) {
        if (!PlayerSeesHidden()) return;
        forced = kGhostHue;
    } else if (IsHighlighted(*this)) {
        forced = GetHighlightHue(*this);
    }
    // While the player is a ghost, everyone else is seen in grey.
    const bool ghostView = !player && PlayerIsGhost();
    const bool shadows = !(player && (hidden || IsGhost()));
    const int body = IsGhost() ? graphic - 2 : graphic;
    int sx, sy;
    MobileAnchor(*this, sx, sy);
    const ClipRect rect = FigureClip(clip, bandStart, body < 400);
    const FigureState s = StateOf(*this);
    AnimFrame frame;
    if (!LoadFigureFrame(body, s, *this, frame)) return;
    // The running action plays over the frames the drawn group really has.
    action.frameCount = u16(frame.frameCount);
    const bool castsShadow = BodyCastsShadow(body);
    if (castsShadow && shadows)
        DrawFrameShadow(target, s.mirrored, sx - ViewScrollX, sy - ViewScrollY, rect, frame);
    if (IsMounted()) {
        const CClientItem* mount = layers[kMountLayer];
        AnimFrame mountFrame;
        if (LoadFigureFrame(AnimationBodyOf(*mount), s, *this, mountFrame)) {
            if (shadows)
                DrawFrameShadow(target, s.mirrored, sx - ViewScrollX, sy - ViewScrollY, rect,
                                mountFrame);
            const u16 mountHue = ghostView || (hidden && forced) ? kGhostHue : u16(mount->hue);
            DrawAnimationFrame(target, s.mirrored, mountHue, sx - ViewScrollX, sy - ViewScrollY,
                               rect, mountFrame);
        }
        // The mount's record may have replaced the body's in the cache.
        if (!LoadFigureFrame(body, s, *this, frame)) return;
    }
    const u16 bodyHue = ghostView ? kGhostHue : forced ? *forced : hue;
    DrawAnimationFrame(target, s.mirrored, bodyHue, sx - ViewScrollX, sy - ViewScrollY, rect,
                       frame);
    if (body < 400) return;
    const CClientItem* headCover = layers[22];
    const bool bald = headCover != nullptr && headCover->graphic == kBaldHeadGraphic;
    for (int e = 1; e <= 24; ++e) {
        const int layer = LayerDrawOrder[s.facing][e];
        if (layer == 21) continue;
        const CClientItem* item = WornItem(*this, layer, !player);
        if (item == nullptr || IsEquipmentLayerHidden(layer, layers)) continue;
        if (bald && IsHairOrBeard(*item)) continue;
        const int animBody = AnimationBodyOf(*item);
        if (!IsWornAnimationBody(animBody) || !LoadFigureFrame(animBody, s, *this, frame)) continue;
        u16 itemHue = item->hue;
        if (ghostView)
            itemHue = kGhostHue;
        else if (forced)
            itemHue = *forced;
        else if (item->GetTileFlags() & kClientTilePartialHue)
            itemHue |= 0x8000;
        DrawAnimationFrame(target, s.mirrored, itemHue, sx - ViewScrollX, sy - ViewScrollY, rect,
                           frame);
    }
}
