#include "server/world/world_utilities.h"

#include "core/location.h"
#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "core/text_utils.h"
#include "server/world/base_object.h"
#include "server/world/mobile.h"

namespace {
int Sign(int v) {
    return (v > 0) - (v < 0);
}

// The direction of a step of signs (sx, sy); -1 for (0, 0).
int DirectionOfStep(int sx, int sy) {
    for (int d = 0; d < 8; ++d) {
        if (kDirectionSteps[d].dx == sx && kDirectionSteps[d].dy == sy) return d;
    }
    return -1;
}
}  // namespace

int DirectionTo(const CBaseObject& from, const CBaseObject& to) {
    const Location delta = to.GetWorldLocation() - from.GetWorldLocation();
    const int d = DirectionOfStep(Sign(delta.x), Sign(delta.y));
    return d >= 0 ? d : RandomRange(0, 7);
}

int DirectionBetween(u32 a, u32 b) {
    const int dx = static_cast<int>(b & 0xFFFF) - static_cast<int>(a & 0xFFFF);
    const int dy = static_cast<int>(b >> 16) - static_cast<int>(a >> 16);
    return DirectionOfStep(Sign(dx), Sign(dy));
}

int DirectionBetween(const Location& from, const Location& to) {
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    if (from.x < kSurfaceWidth) {
        if (kSurfaceWidth - dx < dx) dx = kSurfaceWidth - dx;
        if (kSurfaceHeight - dy < dy) dy = kSurfaceHeight - dy;
    }
    const int ax = dx < 0 ? -dx : dx;
    const int ay = dy < 0 ? -dy : dy;
    if (ay >= 2 * ax) return dy > 0 ? 4 : 0;
    if (ax < 2 * ay) {
        if (dy > 0) return dx < 0 ? 5 : 3;
        return dx < 0 ? 7 : 1;
    }
    return dx < 0 ? 6 : 2;
}

bool IsFacing(const CMobile& a, const CBaseObject& b) {
    const Location from = a.GetWorldLocation();
    const Location to = b.GetWorldLocation();
    if (from.x == to.x && from.y == to.y) return true;
    const int toward = DirectionBetween(from, to);
    const int facing = a.GetDirection() & 7;
    return toward == facing || toward == ((facing + 1) & 7) || toward == ((facing + 7) & 7);
}

bool IsPointInRect(int x, int y, int x0, int y0, int x1, int y1) {
    return x0 <= x && x <= x1 && y0 <= y && y <= y1;
}

bool IsOutsideDiamond(int x, int y, int x0, int y0, int x1, int y1) {
    const long long cx = (static_cast<long long>(x0) + x1) >> 1;
    const long long cy = (static_cast<long long>(y0) + y1) >> 1;
    const long long dx = x - cx;
    const long long dy = y - cy;
    return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) >= static_cast<long long>(x1) - x0;
}

int ReverseDirection(int direction) {
    return (direction + 4) & 7;
}

int TurnTwoSteps(int direction) {
    return (direction + 2) & 7;
}

bool AnyWordOccurs(const char* text, const char* const* words) {
    if (!text || !words) return false;
    for (; *words; ++words) {
        if (BoyerMooreSearch(*words, text) >= 0) return true;
    }
    return false;
}

void LogNotBuiltOnce(bool& logged, const char* channel, const char* what) {
    if (logged) return;
    logged = true;
    GetLogSink().Log(0, 0, 0, "", channel, "error", what);
}
