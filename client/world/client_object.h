#pragma once
// World objects as the client sees them: map statics (plain `CClientObject`), server items,
// containers, corpses and map items. Mobiles and the player are in client_mobile.h.
//
// An object is in exactly one of four places: detached, in the world (the world's
// all-objects list and a cell), in a container's contents list, or in a layer slot of a
// mobile. Statics and plain items come from pools: `Destroy` hands them back instead of
// deleting them.
#include <string>

#include "client/render/span_blit.h"
#include "client/world/display_object.h"
#include "client/world/object_pool.h"

class CClientMobile;
class CClientContainer;
struct StaticTileRecord;

// A text standing over an object (or a system line); the newest is the chain's first. Its
// bubble (bark_views.h) shows it and sets its lifetime.
struct OverheadText {
    std::string text;
    std::u16string wideText;  // the text of a Unicode speech
    u16 hue = 0;
    u16 font = 0;
    int mode = 0;
    u32 created = 0;
    u32 lifetime = 0;
    u32 language = 0;
    bool unicode = false;
    // A name label ("You see: " in the journal).
    bool label = false;
    OverheadText* older = nullptr;
};

// Graphic value for display: bits 14-15 kept; id 0 leaves bit 15; id 3000 or more becomes 1.
u16 ClampGraphicId(u16 value);
bool IsContainerGraphic(int graphic);
bool IsMapGraphic(int graphic);
bool IsAmountArtGraphic(int graphic);
// The static tile record of a graphic (all zero outside the table).
const StaticTileRecord& StaticTileOf(int graphic);
// The name from tile data, with the article in singular; the `%plural/singular%` parts
// choose by number. Reads at most the 20 bytes of the record's name.
std::string GetTileName(int graphic, bool plural);

class CClientObject : public CDisplayObject {
public:
    CClientObject();
    ~CClientObject() override;

    // A pooled map static of the graphic, its amount and hue from the tile data.
    static CClientObject* AllocateStatic(int graphic);

    void Destroy() override;
    // The object's art with the colour effect its tile flags and hue ask for (grey view for
    // a ghost player), clipped to the rectangle; a stack is drawn twice, 5 pixels apart;
    // an object without art is drawn as the land diamond.
    void Draw(const BlitTarget& target, const ScreenRect& clip) override;
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    bool IsWorldObject() const override { return true; }
    bool IsServerObject() const override { return false; }
    bool IsHidden() const override;
    u32 GetTileFlags() const override;
    int GetStandZ() const override;
    void RemoveFromWorld() override;
    virtual bool IsCorpse() const { return false; }
    virtual bool IsEquipped() const { return false; }
    virtual bool IsMovable() const { return false; }
    virtual bool IsMapItem() const { return false; }
    virtual bool IsSpellbook() const { return false; }
    bool IsMultiMember() const { return (multiFlags & 1) != 0; }
    void MarkMultiMember() { multiFlags |= 1; }
    virtual int GetHeight() const;
    virtual int GetTileWord() const;
    // The art drawn for the object; an empty record for none.
    virtual ArtRecord GetArt() const;
    // The art id drawn (0 for none).
    virtual int GetArtId() const;
    bool IsDoubled() const;
    bool HasAmountArt() const { return IsAmountArtGraphic(graphic); }

    // The record of graphic + increment; graphics outside the table have none (flags 0).
    int TileGraphic() const { return graphic + increment; }
    const StaticTileRecord& Tile() const { return StaticTileOf(TileGraphic()); }

    void PlaceInWorld(const ClientLocation& at);
    void AddToContainer(CClientContainer* container, const ClientLocation& at);
    void EquipOn(CClientMobile* mobile, int layer);
    virtual void SetStatusFlags(u8 flags);
    void SetLightLevel(int level);
    bool IsAt(int x, int y) const { return loc.x == x && loc.y == y; }
    bool IsWithinRange(int range) const;
    std::string GetName() const;

    void AddToLightList();
    void RemoveFromLightList();
    void LinkAnimated();
    void AddToSeeThroughList();
    void RemoveFromSeeThroughList();

    // Overhead texts: at most three stand over an object. Each enters the journal under the
    // current speaker (journal.h) and gets its bubble; null when no bubble can be shown.
    OverheadText* AddBark(const std::string& text, u16 hue, u16 font, int mode);
    OverheadText* ReplaceBarks(const std::string& text, u16 hue, u16 font, int mode);
    OverheadText* AddUnicodeBark(const std::u16string& text, u16 hue, u16 font, u32 language);
    OverheadText* ReplaceUnicodeBarks(const std::u16string& text, u16 hue, u16 font, u32 language);
    void DeleteBarks();
    int BarkCount() const;

    u16 graphic = 0;
    s8 increment = 0;
    u16 amount = 0;
    u16 hue = 0;
    CClientObject* allNext = nullptr;
    CClientObject* allPrev = nullptr;
    CClientObject* lightNext = nullptr;
    CClientObject* lightPrev = nullptr;
    CClientObject* animNext = nullptr;
    CClientObject* animPrev = nullptr;
    CClientObject* seeNext = nullptr;
    CClientObject* seePrev = nullptr;
    OverheadText* firstBark = nullptr;
    u8 detached = 1;
    u8 inLightList = 0;
    u8 direction = 0;
    u8 multiFlags = 0;
    u8 statusFlags = 0;  // server objects only; 0 for statics
    int lightLevel = 0;  // the player's personal light
    // A see-through piece's last answer (set while the roof levels are recomputed).
    mutable u8 seeThroughHidden = 0;

protected:
    void ResetObjectFields();
    // Makes room for a new text (at most two older stay) and links the record in front.
    void PushBark(OverheadText* bark);
    // Shows the new record; drops it when no bubble can be shown.
    OverheadText* ShowBark(OverheadText* bark);
    // Steps 2 and 3 of the detaching: the animated, light and see-through lists.
    void LeaveWorldLists();
    void UnlinkAllObjects();

    friend struct ObjectPools;
};

// Set while the world walk draws a hidden see-through piece: it is drawn translucent.
extern bool DrawingSeeThrough;

class CClientItem : public CClientObject {
public:
    CClientItem();
    ~CClientItem() override;

    // A pooled plain item; its object fields are as the pool last left them.
    static CClientItem* Allocate(u32 serial, int graphic, int increment);

    void Destroy() override;
    bool IsServerObject() const override { return true; }
    void RemoveFromWorld() override;
    bool IsEquipped() const override;
    bool IsMovable() const override;

    // The outermost holder (the item itself when in the world).
    const CClientObject* Outermost() const;
    // Gives the item its serial and keeps the world's serial index in step (never assign
    // `serial` directly).
    void SetSerial(u32 value);

    u32 serial = 0;
    CClientObject* holder = nullptr;
    CClientItem* serverNext = nullptr;
    CClientItem* serverPrev = nullptr;
    u8 layer = 0;
    // A vendor's price and name for the item while it lies in a shop container (0x74).
    u32 shopPrice = 0;
    std::string shopName;

protected:
    void InitItemFields();
    void UnlinkServerList();
    // The item form's teardown shared by the destructor and the pool's release.
    void ReleaseItem();
    friend struct ObjectPools;
};

class CClientContainer : public CClientItem {
public:
    CClientContainer();
    CClientContainer(u32 serial, int graphic, int increment, bool keepInServerList);
    ~CClientContainer() override;

    void Destroy() override { delete this; }
    bool UsesCellShift() const override { return true; }
    bool IsSpellbook() const override { return graphic == 3834 || graphic == 3643; }
    void PlaceInCell() override;
    void RemoveFromCell() override;
    void DeleteContents();
    void DestroySlices();

    CClientObject* contents = nullptr;
    CSpriteSlice* firstSlice = nullptr;
    int bandStart = 0;
    int cellShift = 0;

protected:
    // The figure's box, cell shift and band start (corpses, mobiles, the player).
    void UpdateFigureBox(int anchorOffsetX, int h);
    // Insert at the start cell (already shifted for a step) with the shift, then the bands.
    void InsertFigure(int column, int row, bool bands);
};

class CClientCorpse : public CClientContainer {
public:
    CClientCorpse() { direction = 0; }
    CClientCorpse(u32 serial, int graphic) : CClientContainer(serial, graphic, 0, true) {
        direction = 0;
    }
    bool IsCorpse() const override { return true; }
    u32 GetTileFlags() const override { return 0; }
    int GetHeight() const override { return 6; }
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    // The death pose and the worn items in it (client/render/mobile_draw.cpp).
    void Draw(const BlitTarget& target, const ScreenRect& clip) override;

    u32 layerSerials[27] = {};  // slots 1-26 in use
};

struct CoursePin {
    ClientLocation loc;
    CoursePin* next = nullptr;
};

class CClientMapItem : public CClientContainer {
public:
    CClientMapItem() = default;
    CClientMapItem(u32 serial, int graphic, int increment, bool keep)
        : CClientContainer(serial, graphic, increment, keep) {}
    ~CClientMapItem() override;
    bool IsMapItem() const override { return true; }
    bool IsSpellbook() const override { return false; }
    // Course pins: 1 append, 2 insert before index, 3 move, 4 remove, 5 clear. An index out
    // of range is refused (false).
    bool EditPins(int operation, int index, int x, int y);

    CoursePin* firstPin = nullptr;
    int pinCount = 0;
};

PoolCounts& StaticsPoolCounts();
PoolCounts& ItemsPoolCounts();

// Set while a window or the shell deletes many objects at once (destructors skip unlinking).
extern bool g_clientTearDown;
