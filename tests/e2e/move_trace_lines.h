#pragma once
// Reading the movement trace back in tests: its lines, and the last place each side gave.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace e2e {

struct MoveTraceLine {
    std::string side, event;
    int sequence = 0, direction = 0, x = 0, y = 0, z = 0;
    bool SamePlace(const MoveTraceLine& o) const { return x == o.x && y == o.y && z == o.z; }
};

inline std::vector<MoveTraceLine> ReadMoveTrace(const std::string& path) {
    std::vector<MoveTraceLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        char side[16] = {}, event[16] = {};
        MoveTraceLine l;
        if (std::sscanf(text.c_str(), "%15s %15s seq=%d dir=%d at=%d,%d,%d", side, event,
                        &l.sequence, &l.direction, &l.x, &l.y, &l.z) != 7)
            continue;
        l.side = side;
        l.event = event;
        lines.push_back(l);
    }
    return lines;
}

// The last line of `side` whose event is one of `events` (space-separated), or null.
inline const MoveTraceLine* LastMoveTraceLine(const std::vector<MoveTraceLine>& lines,
                                              const std::string& side, const std::string& events) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (it->side == side &&
            (" " + events + " ").find(" " + it->event + " ") != std::string::npos)
            return &*it;
    }
    return nullptr;
}

inline std::string MoveTraceText(const std::vector<MoveTraceLine>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l.side + " " + l.event + " seq=" + std::to_string(l.sequence) +
               " dir=" + std::to_string(l.direction) + " at=" + std::to_string(l.x) + "," +
               std::to_string(l.y) + "," + std::to_string(l.z) + "\n";
    }
    return out;
}

}  // namespace e2e
