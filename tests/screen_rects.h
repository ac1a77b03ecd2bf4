#pragma once
// Rectangles of a screen's controls for layout tests, and which of them lie over another.
#include <string>
#include <vector>

namespace screen_rects {

// Right and bottom are exclusive.
struct Rect {
    int left, top, right, bottom;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Overlaps(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

// One line per pair that overlaps, naming both by their top-left corners; empty when none do.
inline std::string Overlapping(const std::vector<Rect>& rects) {
    std::string out;
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t k = i + 1; k < rects.size(); ++k)
            if (rects[i].Overlaps(rects[k]))
                out += std::to_string(rects[i].left) + "," + std::to_string(rects[i].top) +
                       " and " + std::to_string(rects[k].left) + "," +
                       std::to_string(rects[k].top) + "\n";
    return out;
}

}  // namespace screen_rects
