#pragma once
// The 64 x 64 grid of cells that holds every shown display object, indexed by world position
// modulo 64, and its window over the world: recentring follows the map centre and sweeps the
// columns and rows that leave it. The diagonal order table lists, in drawing order, the 1857
// cells of the window that the view shows.
#include <array>
#include <functional>

#include "client/world/display_object.h"

constexpr int kGridSize = 64;
constexpr int kDiagonalOrderLength = 1857;

struct CellGrid {
    std::array<CDisplayObject*, kGridSize * kGridSize> heads{};
    // The window's corner, modulo 64 and in world coordinates.
    int cornerColumn = 0, cornerRow = 0;
    int cornerX = -128, cornerY = -128;
};

CellGrid& TheCellGrid();
// The start state: empty cells, corner (-128, -128) so the first recentring sweeps all.
void InitCellGrid();

inline CDisplayObject*& CellHead(int column, int row) {
    return TheCellGrid().heads[size_t((row & 63) * kGridSize + (column & 63))];
}

// Cell offsets (row * 64 + column from the window's corner) in drawing order.
const std::array<int, kDiagonalOrderLength>& DiagonalOrder();
// Grid cell (column, row) of diagonal-order entry `offset` for the current corner.
void DiagonalCell(int offset, int& column, int& row);

// Walks the view's cells in drawing order and each cell's list from its head, calling `visit`
// for every object. The next object is taken before the call, and a call that destroys
// objects of the same cell (a mobile's bands, say) is followed safely: the walk restarts the
// cell after the last object it visited that is still there.
void WalkCellsInDrawOrder(const std::function<void(CDisplayObject&)>& visit);

// Recentring on the map centre, and the sweeps that empty cells.
void RecentreCellGrid(int centreX, int centreY);
void SweepAllCells();
void SweepColumn(int column);
void SweepRow(int row);
void SweepCell(int column, int row);

// Counts of the sweeps run (for tests and the benchmark).
struct SweepCounts {
    int cells = 0;
};
SweepCounts& TheSweepCounts();

// The world view's scroll offsets: the world-screen coordinates of its top-left pixel.
extern int ViewScrollX;
extern int ViewScrollY;

// Called by every unlink: a walk whose next object is leaving its cell moves on past it.
void NoteLeavingCell(CDisplayObject* object);
