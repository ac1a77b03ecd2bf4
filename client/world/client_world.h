#pragma once
// The object half of the client world: the lists of placed objects, light sources,
// see-through pieces, animated statics and server objects (by serial), the mobiles, the drag
// state and the overhead texts kept across a server's re-send. Tile data is
// client/data/tile_data.h.
#include <string>
#include <unordered_map>
#include <vector>

#include "client/data/tile_data.h"
#include "client/world/client_mobile.h"

struct SavedBark {
    int age = 0;
    u32 serial = 0;
    std::string text;
    u16 hue = 0, font = 0;
    u32 created = 0, lifetime = 0;
    // A Unicode speech keeps its 16-bit text and language; a name label stays one.
    std::u16string wideText;
    u32 language = 0;
    bool unicode = false;
    bool label = false;
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
    // Where it came from, by serial (either may have left the world meanwhile): the
    // container, or the wearer and layer; neither for the ground.
    u32 containerSerial = 0;
    u32 wearerSerial = 0;
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
    // Set while a container's whole contents are being applied (0x3C): its window redraws
    // once at the end instead of once per item.
    bool listingContents = false;
    std::vector<SavedBark> savedBarks;
    int globalLight = 0;
    // Multi numbers of objects updated as multis (the multi loader is not built yet).
    int lastMultiNumber = -1;

    // The server object of a serial: the newest on the server list when several share it.
    CClientObject* FindBySerial(u32 serial) const;
    // The serial index follows the server list: an item is entered once it is linked and has
    // its serial (CClientItem::SetSerial), and taken out before it is unlinked.
    void IndexSerial(CClientItem* item);
    void UnindexSerial(CClientItem* item);
    CClientObject* UpdateObject(u32 serial, u16 graphic, s8 increment, u16 amount, int x, int y,
                                int z, u8 direction, u16 hue, u8 flags);
    // An object inside a container (packets 0x25 and 0x3C), at (x, y) of the container's
    // picture. The container is the player for the player's serial, else the object of that
    // serial; nothing is made (null) unless it is a container, corpse or mobile, or when the
    // serial names the container itself or an object holding it. An object known by the
    // serial before is destroyed first.
    CClientObject* AddContainedObject(u32 serial, u16 graphic, s8 increment, u16 amount, int x,
                                      int y, u32 containerSerial, u16 hue);
    // The double-click action on an object: a server object becomes the last used object and
    // is used (0x06); a map item raises its open course gump instead, a scroll starts the
    // scroll command. Map statics are never used.
    void UseObject(CClientObject* object);
    // The single-click label of a map static (its name; a stack's amount before it) over it,
    // unless it already shows a text. Server objects are named by the server (0x09, sent by
    // the callers).
    void ShowObjectName(CClientObject* object);
    // The newest placed object at (x, y) whose height range holds z (z <= it < z + height),
    // or null.
    CClientObject* FindObjectAtZ(int x, int y, int z) const;
    // With `serverOnly` false, the newest placed object at (x, y); otherwise the last server
    // object lying in the world at (x, y) that can be moved. Null when there is none.
    CClientObject* FindObjectAt(int x, int y, bool serverOnly) const;
    // The land tile at (x, y) named with its article ("a ", "an ", "the " or none).
    std::string GetLandTileName(int x, int y) const;
    // Asks the server for every status: type 3 about serial 0, then type 0 about serials
    // 0 to 31.
    void RequestAllStatus();
    // Whether the ground at (x, y) takes a dropped object: it always does; reach and line of
    // sight are the drop's own tests.
    bool CanDropAt(int, int) const { return true; }
    // Starts dragging: the object leaves the world and its serial and amount are answered
    // through `pickedSerial`/`pickedAmount` for the caller's pick-up packet. False when it
    // cannot be picked up now (out of reach, or the amount must be asked first).
    bool PickUpObject(CClientObject* object, u16 amount);
    // A refused pick-up: the dragged item is made again from the drag record and goes back on
    // its wearer, into its container or onto the ground it came from. Nothing while nothing
    // is dragged, or when its wearer or container has left the world (the item went with it);
    // an object known by the serial meanwhile is replaced. Answers the item, or null.
    CClientItem* ReturnDraggedItem();
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
    // The object used last (the macro action "LastObject" uses it again).
    u32 lastUsedObject = 0;
    u32 pickedSerial = 0;
    u16 pickedAmount = 0;

private:
    struct SerialEntry {
        CClientItem* newest = nullptr;
        int count = 0;
    };
    // The first item of a serial on the server list (a walk: only for shared serials).
    CClientItem* FirstOnList(u32 serial, const CClientItem* skip) const;
    std::unordered_map<u32, SerialEntry> bySerial_;
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
