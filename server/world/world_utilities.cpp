#include "server/world/world_utilities.h"

#include "core/location.h"
#include "core/log_sink.h"
#include "core/random_numbers.h"
#include "core/text_utils.h"
#include "server/world/base_object.h"

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
