#pragma once
// Mobiles, the player and corpses drawn from animation frames: which animation and frame a
// body shows (from its facing, movement, war mode, mount, what it holds and the action that
// runs), the screen box a figure covers, and the painting of shadow, mount, body and worn
// items in the layer order of the facing, with the highlight, hidden and ghost hues.
//
// Facings 0, 1 and 2 are drawn mirrored from the stored directions 3, 2 and 1; a corpse's
// direction byte selects its second death pose with 0x80. The box and the drawing themselves
// are the figure classes' (CClientCorpse::Draw, CClientMobile::Draw, defined in
// mobile_draw.cpp); the world model asks for the box through `FigureScreenBox`.
#include "client/render/animation_frame.h"
#include "client/world/world_hooks.h"
#include "platform/types.h"

class CClientContainer;
class CClientCorpse;
class CClientItem;
class CClientMobile;
class CClientObject;

// Layers painted, by facing; entry 0 is the mount (drawn before the body), layer 21 is never
// drawn.
extern const u8 LayerDrawOrder[8][25];
// The grey of the ghost's view and of hidden objects.
constexpr u16 kGhostHue = 946;

// The hue table's highlight hue of the mobile's notoriety (entry 0 past 7).
u16 GetHighlightHue(const CClientMobile& mobile);
// The item's tile layer is hair (11) or a beard (16).
bool IsHairOrBeard(const CClientObject& item);
// Layers covered by another worn item: 3 and 4 under layer 24, 13 and 19 under layer 22,
// hair under the layer-22 item of graphic 8270. `layers` holds the mobile's 30 slots.
bool IsEquipmentLayerHidden(int layer, CClientItem* const* layers);
// The animation body of a worn item (its tile record's animation number).
int AnimationBodyOf(const CClientObject& item);
// The stored direction (0-4) of a facing, and whether the facing is drawn mirrored.
int StoredDirection(int facing);
bool IsMirroredFacing(int facing);

// The animation and frame a body shows. `body` is the animation body of the part drawn (the
// mobile's body, its mount's or a worn item's); `mobile` gives standing, war mode, the mount
// and the held items (null: none). With `explicitFrame` -1 the movement action is chosen and
// the frame cycles with `counter` (never showing the cycle's last frame); otherwise the
// running action (its low 7 bits; above 34 it becomes action 0, frame 0) at that frame.
void GetAnimationId(int body, int facing, int counter, int explicitFrame, int explicitAction,
                    bool running, const CClientMobile* mobile, int& id, int& frame);
// A corpse's death pose: frame 3 (bodies below 150) or 5 of its death action.
void GetCorpseAnimationId(int body, int direction, int& id, int& frame);

// The screen box (world-view pixels before scrolling) of a corpse, mobile or player: the
// union of its frames (and the shadow's reach), or the point of its anchor when nothing of
// it is drawn. Always answers true.
bool FigureScreenBox(const CClientContainer& figure, ScreenRect& box);
// Whether a mobile's (or the player's) body or worn items cover the world-screen point.
bool FigureCoversPoint(const CClientMobile& mobile, int sx, int sy);
// Whether a corpse's body covers the world-screen point (its items are not tested).
bool CorpseCoversPoint(const CClientCorpse& corpse, int sx, int sy);
