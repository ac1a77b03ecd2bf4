#pragma once
// A rectangle of world tiles cut into square cells of 2^shift tiles, each cell a container of
// pointers to the things lying in it, so that "who is near this point" needs no scan of every
// object. The grid owns the containers, not the things. Callers give the coordinates on every
// insert and removal (a move is Remove at the old place, then Insert at the new one); the
// radius queries ask each entry for its distance: T provides int DistanceTo(int x, int y).
//
// Coordinates come from the world and its data, so every cell access is range-checked: a
// point outside the grid is refused, never written outside the cell array.
#include <algorithm>
#include <climits>
#include <list>
#include <vector>

#include "platform/types.h"

// max(|x1 - x2|, |y1 - y2|) on plain integers (no wrap).
inline int ChebyshevDistanceXY(int x1, int y1, int x2, int y2) {
    const s64 dx = static_cast<s64>(x1) - x2;
    const s64 dy = static_cast<s64>(y1) - y2;
    const s64 d = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    return d > INT_MAX ? INT_MAX : static_cast<int>(d);
}

template <typename T, typename Cell = std::list<T*>>
class SpatialGrid {
public:
    // Largest shift and number of cells a grid accepts; outside them the grid has no cells
    // and refuses every insertion.
    static constexpr int kMaxShift = 20;
    static constexpr s64 kMaxCells = s64{1} << 24;

    // Over the inclusive tile rectangle (x0, y0)-(x1, y1). The upper bounds are rounded up
    // to a cell before the + 1, so a rectangle of whole cells gets a spare column and row.
    SpatialGrid(int x0, int y0, int x1, int y1, int shift) {
        if (shift < 0 || shift > kMaxShift || x1 < x0 || y1 < y0) return;
        const s64 side = s64{1} << shift;
        const s64 firstColumn = static_cast<s64>(x0) >> shift;
        const s64 lastColumn = (static_cast<s64>(x1) + side - 1) >> shift;
        const s64 firstRow = static_cast<s64>(y0) >> shift;
        const s64 lastRow = (static_cast<s64>(y1) + side - 1) >> shift;
        const s64 columns = lastColumn - firstColumn + 1;
        const s64 rows = lastRow - firstRow + 1;
        if (columns * rows > kMaxCells) return;
        shift_ = shift;
        firstColumn_ = static_cast<int>(firstColumn);
        firstRow_ = static_cast<int>(firstRow);
        columns_ = static_cast<int>(columns);
        rows_ = static_cast<int>(rows);
        cells_.resize(static_cast<size_t>(columns * rows));
    }

    int GetColumns() const { return columns_; }
    int GetRows() const { return rows_; }
    int GetShift() const { return shift_; }
    int GetCount() const { return count_; }

    // True when (x, y) falls in one of the grid's cells.
    bool Contains(int x, int y) const { return CellIndex(x, y) >= 0; }

    // Row-major index of the cell of (x, y); -1 outside the grid.
    int CellIndex(int x, int y) const {
        const s64 column = static_cast<s64>(x >> shift_) - firstColumn_;
        const s64 row = static_cast<s64>(y >> shift_) - firstRow_;
        if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return -1;
        return static_cast<int>(row * columns_ + column);
    }

    // The container of a cell, null for an index outside the grid.
    const Cell* GetCell(int index) const {
        return index >= 0 && index < static_cast<int>(cells_.size()) ? &cells_[index] : nullptr;
    }

    // Appends the pointer to the cell of (x, y); false, and nothing stored, outside the grid.
    // The same pointer inserted twice is stored twice.
    bool Insert(T* entry, int x, int y) {
        const int index = CellIndex(x, y);
        if (index < 0) return false;
        cells_[index].push_back(entry);
        ++count_;
        return true;
    }

    // Removes the first copy of the pointer from the cell of (x, y); false when it is not
    // there (another cell's coordinates change nothing).
    bool Remove(T* entry, int x, int y) {
        const int index = CellIndex(x, y);
        if (index < 0) return false;
        Cell& cell = cells_[index];
        auto it = std::find(cell.begin(), cell.end(), entry);
        if (it == cell.end()) return false;
        cell.erase(it);
        --count_;
        return true;
    }

    int CountInRadius(int x, int y, int radius) const {
        int found = 0;
        Scan(x, y, radius, [&](T* entry) {
            if (entry->DistanceTo(x, y) <= radius) ++found;
        });
        return found;
    }

    void CollectInRadius(std::vector<T*>& out, int x, int y, int radius) const {
        Scan(x, y, radius, [&](T* entry) {
            if (entry->DistanceTo(x, y) <= radius) out.push_back(entry);
        });
    }

    void CollectInRadiusExcept(std::vector<T*>& out, int x, int y, int radius,
                               const T* except) const {
        Scan(x, y, radius, [&](T* entry) {
            if (entry != except && entry->DistanceTo(x, y) <= radius) out.push_back(entry);
        });
    }

    // For a move from (x1, y1) to (x2, y2): the entries within radius of both points, of the
    // first only, and of the second only.
    void PartitionAround(std::vector<T*>& both, std::vector<T*>& firstOnly,
                         std::vector<T*>& secondOnly, int x1, int y1, int x2, int y2,
                         int radius) const {
        PartitionAroundExcept(both, firstOnly, secondOnly, x1, y1, x2, y2, radius, nullptr);
    }

    void PartitionAroundExcept(std::vector<T*>& both, std::vector<T*>& firstOnly,
                               std::vector<T*>& secondOnly, int x1, int y1, int x2, int y2,
                               int radius, const T* except) const {
        const s64 half = static_cast<s64>(radius) + ChebyshevDistanceXY(x1, y1, x2, y2);
        Scan(x1, y1, half, [&](T* entry) {
            if (except != nullptr && entry == except) return;
            const bool nearFirst = entry->DistanceTo(x1, y1) <= radius;
            const bool nearSecond = entry->DistanceTo(x2, y2) <= radius;
            if (nearFirst) {
                (nearSecond ? both : firstOnly).push_back(entry);
            } else if (nearSecond) {
                secondOnly.push_back(entry);
            }
        });
    }

    // Appends the item to every cell covering the rectangle (rows outer, columns inner),
    // clamped to the grid.
    void AddToCellsInRect(T* item, int x1, int y1, int x2, int y2) {
        const Range range = Clamped(static_cast<s64>(x1) >> shift_, static_cast<s64>(x2) >> shift_,
                                    static_cast<s64>(y1) >> shift_, static_cast<s64>(y2) >> shift_);
        for (int row = range.rowLow; row <= range.rowHigh; ++row) {
            for (int column = range.columnLow; column <= range.columnHigh; ++column) {
                cells_[row * columns_ + column].push_back(item);
            }
        }
    }

private:
    struct Range {
        int columnLow, columnHigh, rowLow, rowHigh;
    };

    // Cell ranges from absolute cell numbers: the low ends raised to 0 and the high ends
    // lowered to the last cell; a range wholly outside the grid comes out empty.
    Range Clamped(s64 columnLow, s64 columnHigh, s64 rowLow, s64 rowHigh) const {
        columnLow = std::max<s64>(columnLow - firstColumn_, 0);
        columnHigh = std::min<s64>(columnHigh - firstColumn_, columns_ - 1);
        rowLow = std::max<s64>(rowLow - firstRow_, 0);
        rowHigh = std::min<s64>(rowHigh - firstRow_, rows_ - 1);
        // Keep empty ranges empty after narrowing to int.
        if (columnLow > columnHigh || rowLow > rowHigh) return Range{0, -1, 0, -1};
        return Range{static_cast<int>(columnLow), static_cast<int>(columnHigh),
                     static_cast<int>(rowLow), static_cast<int>(rowHigh)};
    }

    // Visits the entries of every cell touching the square of half size `half` around
    // (x, y): rows outer, columns inner, then container (insertion) order.
    template <typename Visit>
    void Scan(int x, int y, s64 half, Visit visit) const {
        const Range range = Clamped((x - half) >> shift_, (x + half) >> shift_,
                                    (y - half) >> shift_, (y + half) >> shift_);
        for (int row = range.rowLow; row <= range.rowHigh; ++row) {
            for (int column = range.columnLow; column <= range.columnHigh; ++column) {
                for (T* entry : cells_[row * columns_ + column])
                    visit(entry);
            }
        }
    }

    int shift_ = 0;
    int firstColumn_ = 0;
    int firstRow_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<Cell> cells_;
    int count_ = 0;
};
