#include "client/world/cell_grid.h"

#include <cstdlib>
#include <vector>

#include "client/world/client_mobile.h"

int ViewScrollX = 0;
int ViewScrollY = 0;

namespace {

CellGrid g_grid;
SweepCounts g_sweeps;

// The next object of every walk in progress (walks may nest: a sweep inside a drawing).
std::vector<CDisplayObject**> g_walkCursors;

struct CursorScope {
    explicit CursorScope(CDisplayObject** c) { g_walkCursors.push_back(c); }
    ~CursorScope() { g_walkCursors.pop_back(); }
};

std::array<int, kDiagonalOrderLength> BuildDiagonalOrder() {
    std::vector<int> n(4096);
    int v = 0;
    for (int i = 0; i < 64; ++i) {
        n[size_t(i)] = v;
        n[size_t(4095 - i)] = 4095 - v;
        v += i + 2;
    }
    for (int row = 1; row <= 62; ++row) {
        for (int column = 0; column < 64 && row + column < 64; ++column) {
            n[size_t(row * 64 + column)] = n[size_t((row - 1) * 64 + column)] + column + row;
        }
    }
    for (int row = 62; row >= 1; --row) {
        for (int column = 63; column >= 0; --column) {
            if (row + column < 64) continue;
            n[size_t(row * 64 + column)] =
                n[size_t((row + 1) * 64 + column)] - (63 - column) - (63 - row);
        }
    }
    std::vector<int> order(4096);
    for (int cell = 0; cell < 4096; ++cell)
        order[size_t(n[size_t(cell)])] = cell;
    std::array<int, kDiagonalOrderLength> table{};
    size_t count = 0;
    for (int cell : order) {
        const int column = cell & 63, row = cell >> 6;
        const int d = column - row, s = column + row;
        if (d >= -23 && d <= 23 && s >= 25 && s <= 103 && count < table.size()) {
            table[count++] = cell;
        }
    }
    return table;
}

const std::array<int, kDiagonalOrderLength> g_order = BuildDiagonalOrder();

}  // namespace

CellGrid& TheCellGrid() {
    return g_grid;
}

SweepCounts& TheSweepCounts() {
    return g_sweeps;
}

void InitCellGrid() {
    g_grid = CellGrid{};
}

const std::array<int, kDiagonalOrderLength>& DiagonalOrder() {
    return g_order;
}

void DiagonalCell(int offset, int& column, int& row) {
    column = (g_grid.cornerColumn + (offset & 63)) & 63;
    row = (g_grid.cornerRow + (offset >> 6)) & 63;
}

void NoteLeavingCell(CDisplayObject* object) {
    for (CDisplayObject** cursor : g_walkCursors) {
        if (*cursor == object) *cursor = object->cellNext;
    }
}

void WalkCellsInDrawOrder(const std::function<void(CDisplayObject&)>& visit) {
    for (int offset : g_order) {
        int column, row;
        DiagonalCell(offset, column, row);
        CDisplayObject* next = CellHead(column, row);
        CursorScope scope(&next);
        while (next) {
            CDisplayObject* o = next;
            next = o->cellNext;
            visit(*o);
        }
    }
}

void SweepCell(int column, int row) {
    ++g_sweeps.cells;
    CClientPlayer* player = nullptr;
    CDisplayObject* next = CellHead(column, row);
    CursorScope scope(&next);
    while (next) {
        CDisplayObject* o = next;
        next = o->cellNext;
        // Plain statics and preview parts stay: their owners take them out.
        if (o->IsWorldObject() && !o->IsServerObject() && !o->IsMobile()) continue;
        if (o->IsPlayer()) {
            player = static_cast<CClientPlayer*>(o);
            o->UnlinkFromCell();
            TheWorldHooks().InvalidateWorldView();
            continue;
        }
        o->UnlinkFromCell();
        o->Destroy();
    }
    if (player) player->PlaceInCell();
}

void SweepColumn(int column) {
    for (int row = 0; row < 64; ++row)
        SweepCell(column, row);
}

void SweepRow(int row) {
    for (int column = 0; column < 64; ++column)
        SweepCell(column, row);
}

void SweepAllCells() {
    for (int column = 0; column < 64; ++column)
        SweepColumn(column);
}

void RecentreCellGrid(int centreX, int centreY) {
    const int tx = centreX - 32, ty = centreY - 32;
    if (tx == g_grid.cornerX && ty == g_grid.cornerY) return;
    if (g_grid.cornerX + 32 < 5120) {
        if (g_grid.cornerX >= 5056 && tx < 0) g_grid.cornerX -= 5120;
        if (g_grid.cornerX < 0 && tx > 5056) g_grid.cornerX += 5120;
        if (g_grid.cornerY >= 4032 && ty < 0) g_grid.cornerY -= 4096;
        if (g_grid.cornerY < 0 && ty > 4032) g_grid.cornerY += 4096;
    }
    const int dx = tx - g_grid.cornerX, dy = ty - g_grid.cornerY;
    if (std::abs(dx) >= 64 || std::abs(dy) >= 64) {
        SweepAllCells();
    } else {
        if (dx > 0) {
            for (int c = g_grid.cornerX; c < tx; ++c)
                SweepColumn(c & 63);
        } else {
            for (int c = tx; c < g_grid.cornerX; ++c)
                SweepColumn(c & 63);
        }
        if (dy > 0) {
            for (int r = g_grid.cornerY; r < ty; ++r)
                SweepRow(r & 63);
        } else {
            for (int r = ty; r < g_grid.cornerY; ++r)
                SweepRow(r & 63);
        }
    }
    g_grid.cornerX = tx;
    g_grid.cornerY = ty;
    g_grid.cornerColumn = tx & 63;
    g_grid.cornerRow = ty & 63;
}
