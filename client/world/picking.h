#pragma once
// What lies under a point of the world view: the front-most object whose visible pixels
// cover it, tested against its real picture (the opaque pixels of static art, the runs of
// animation frames, the diamond of a land tile), so a see-through pixel lets the point fall
// through to what is drawn below. Also the land tile nearest a point and the top object of a
// cell.
class CDisplayObject;

// The object under window point (x, y), or null; land is never answered with `skipLand`.
CDisplayObject* PickObjectAt(int x, int y, bool skipLand);
// The land tile whose box holds the window point and whose box centre is nearest to it (the
// first found wins a tie), or null.
CDisplayObject* NearestLandTile(int x, int y);
// The last object (the one drawn last) of the cell of world position (x, y), or null.
CDisplayObject* CellTopObject(int x, int y);
// From the cell's last object back, the first one shown that is not the player, not a
// sprite slice and not land above the roof cut; null when none.
CDisplayObject* CellTopShownObject(int x, int y);
// Whether a point (px, py) of a land tile's 44 x 44 box lies on its diamond.
bool IsOnLandDiamond(int px, int py);
