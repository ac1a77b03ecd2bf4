#pragma once
// The root of everything the world view draws, and the 44-pixel bands of tall sprites.
//
// A display object carries its screen box (world-view pixels before scrolling), its links in
// one cell of the cell grid, its location and three sort keys: column key x - y + 6144, row
// key x + y and a depth key by class. The cell grid (cell_grid.h) keeps each cell's list
// ordered by the depth key; the renderer walks the cells in diagonal order and each list
// from its head.
#include "client/render/span_blit.h"
#include "client/world/client_location.h"
#include "client/world/world_hooks.h"
#include "platform/types.h"

// The view's column constant: the client map's width in cells; keeps the column key positive.
constexpr int kViewColumnConstant = 6144;

class CDisplayObject {
public:
    CDisplayObject() = default;
    virtual ~CDisplayObject();
    CDisplayObject(const CDisplayObject&) = delete;
    CDisplayObject& operator=(const CDisplayObject&) = delete;

    // Ends the object's life: pooled classes return to their pool, others delete themselves.
    virtual void Destroy() { delete this; }
    // Draws the object clipped to a window rectangle (the renderer fills these in).
    virtual void Draw(const BlitTarget& target, const ScreenRect& clip);
    virtual void UpdateScreenBox() = 0;
    virtual void PlaceInCell();
    virtual void RemoveFromCell();
    virtual bool IsWorldObject() const { return false; }
    virtual bool IsLand() const { return false; }
    virtual bool IsTexturedLand() const { return false; }
    virtual bool IsMobile() const { return false; }
    virtual bool IsPlayer() const { return false; }
    virtual bool IsServerObject() const { return true; }
    virtual bool UsesCellShift() const { return false; }
    virtual bool IsEffect() const { return false; }
    virtual bool IsSpriteSlice() const { return false; }
    virtual bool IsHidden() const { return !inCell; }
    virtual u32 GetTileFlags() const { return 0; }
    virtual int GetStandZ() const { return loc.z; }
    virtual int GetLowZ() const { return loc.z; }
    virtual int GetEdgeZ(int /*direction*/) const { return loc.z; }
    virtual void RemoveFromWorld() {}

    // False when the screen box, less the scroll offsets, lies wholly inside the rectangle.
    bool IsBoxOutside(const ScreenRect& rect) const;
    // Adds the screen box, less the scroll offsets, to the dirty rectangles while in a cell.
    void Invalidate() const;
    // The sorted insertion into cell (column, row), with the cell shift for objects that use
    // it; sets the in-cell flag, computes the box (unless `boxFirst` did already) and
    // invalidates it when shown.
    void InsertIntoCell(int column, int row, bool boxFirst = false);
    // Unlinks from the cell the object was entered in.
    void UnlinkFromCell();
    // The cell the object is entered in (valid while in a cell).
    int CellColumn() const { return cellColumn; }
    int CellRow() const { return cellRow; }
    void SetKeys(int depth) {
        columnKey = loc.x - loc.y + kViewColumnConstant;
        rowKey = loc.x + loc.y;
        depthKey = depth;
    }

    ScreenRect box;
    CDisplayObject* cellNext = nullptr;
    CDisplayObject* cellPrev = nullptr;
    int inCell = 0;
    ClientLocation loc;
    int columnKey = 0, rowKey = 0, depthKey = 0;
    // The cell the object was linked into (kept so removal finds its head exactly).
    int cellColumn = 0, cellRow = 0;
};

class CClientContainer;

// One 44-pixel band of a tall sprite, entered one diagonal cell further down the screen per
// band; when its cell comes up the owner draws itself clipped to the band.
class CSpriteSlice : public CDisplayObject {
public:
    // Builds the slice for cell (x, y) and links it at the head of the owner's chain.
    CSpriteSlice(int x, int y, int bandTop, int bandBottom, CClientContainer* owner);
    ~CSpriteSlice() override;

    void Draw(const BlitTarget& target, const ScreenRect& clip) override;
    void UpdateScreenBox() override {}
    bool IsSpriteSlice() const override { return true; }
    bool IsHidden() const override;

    int bandTop, bandBottom;
    CClientContainer* owner;
    CSpriteSlice* nextSlice = nullptr;
    CSpriteSlice* prevSlice = nullptr;
};

// Set only while a slice has its owner draw.
extern bool DrawingSlice;

// Strict overlap on all four sides.
bool RectsOverlapStrictly(const ScreenRect& a, const ScreenRect& b);
