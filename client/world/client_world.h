#pragma once
// The object half of the client world: the lists of placed objects, light sources,
// see-through pieces, animated statics and server objects (by serial), the mobiles, the drag
// state and the overhead texts kept across a server's re-send. Tile data is
// client/data/tile_data.h.
#include <string>
#include <vector>

#include "client/data/tile_data.h"
#include "client/world/client_mobile.h"

struct SavedBark {
    int age = 0;
    u32 serial = 0;
    std::string text;
    u16 hue = 0, font = 0;
    u32 created = 0, lifetime = 0;
};

// The player's own speech: the hue and font of what it says and of its emotes (the character
// slot and the creation screens choose them).
struct SpeechStyle {
    u16 speechHue = 946, speechFont = 3, emoteHue = 946, emoteFont = 3;
};

struct DragRecord {
    ClientLocation loc;
    u16 graphic = 0;
    u8 flags = 0;
    s8 increment = 0;
    u32 serial = 0;
    u16 hue = 0;
    u16 amount = 0;
    u32 tileFlags = 0;
    CClientContainer* container = nullptr;
    CClientMobile* wearer = nullptr;
    u16 layer = 0;
};

class CClientWorld {
public:
    CClientObject* allHead = nullptr;
    CClientObject* allTail = nullptr;
    CClientObject* lightHead = nullptr;
    CClientObject* seeHead = nullptr;
    CClientObject* animHead = nullptr;
    CClientItem* serverHead = nullptr;
    CClientMobile* mobileHead = nullptr;
    int mobileCount = 0;
    int dragging = 0;
    DragRecord drag;
    std::vector<SavedBark> savedBarks;
    int globalLight = 0;
    // Multi numbers of objects updated as multis (the multi loader is not built yet).
    int lastMultiNumber = -1;

    CClientObject* FindBySerial(u32 serial) const;
    CClientObject* UpdateObject(u32 serial, u16 graphic, s8 increment, u16 amount, int x, int y,
                                int z, u8 direction, u16 hue, u8 flags);
    // Starts dragging: the object leaves the world and its serial and amount are answered
    // through `pickedSerial`/`pickedAmount` for the caller's pick-up packet. False when it
    // cannot be picked up now (out of reach, or the amount must be asked first).
    bool PickUpObject(CClientObject* object, u16 amount);
    void SaveBarks(const CClientObject& object);
    void RestoreBarks(CClientObject& object);
    void AgeSavedBarks();
    // One animation step of the animated objects (the animation data's frame counters): each
    // shown one whose graphic's interval falls on this tick shows its graphic's current frame
    // and is re-sorted in its cell.
    void AnimateItems();
    // The world steps of entering it: the player's serial and body, the reset of the world
    // state and the map window, the player placed and the map recentred on it.
    void EnterWorld(u32 serial, u16 body, int x, int y, int z, u8 direction, int map);
    // Empties the world when the client leaves the game.
    void Clear();
    // Appends / unlinks on the all-objects list.
    void AppendAll(CClientObject* o);
    void UnlinkAll(CClientObject* o);

    SpeechStyle speech;
    // A target cursor is up: the player is choosing an object (the world view highlights the
    // marked mobile meanwhile).
    bool targeting = false;
    // The server's word on fighting: the mobile the player attacks (0xAA, highlighted) and the
    // defender of the last swing (0x2F, which the idle player turns to).
    u32 attackTarget = 0;
    u32 lastSwingTarget = 0;

    u32 playerSerial = 0;
    u32 pickedSerial = 0;
    u16 pickedAmount = 0;
};

CClientWorld& TheClientWorld();

// What a tile-data block update asks of the world: objects of a changed static graphic are
// placed again (re-sorted in their cells), land showing a changed tile is redrawn, and the
// light-source and animated lists are rebuilt when those flags changed.
class WorldTileListener : public TileDataListener {
public:
    void RefreshStaticGraphic(int graphic) override;
    void RefreshLandGraphic(int tile) override;
    void RebuildLightAndAnimatedLists() override;
};
WorldTileListener& TheWorldTileListener();
