#include "server/world/multi_rotation.h"

#include "platform/types.h"

namespace {
constexpr s64 kCos[kMultiFacings] = {65536, 46340, 0, -46340, -65536, -46340, 0, 46340};
constexpr s64 kSin[kMultiFacings] = {0, 46340, 65536, 46340, 0, -46340, -65536, -46340};
}  // namespace

Location RotateXY(const Location& offset, int n) {
    const int f = ((n % kMultiFacings) + kMultiFacings) % kMultiFacings;
    const s64 x = offset.x, y = offset.y;
    // An arithmetic shift of a negative 64-bit value floors, as the fixed-point turn wants.
    const s64 rx = (x * kCos[f] - y * kSin[f]) >> 16;
    const s64 ry = (x * kSin[f] + y * kCos[f]) >> 16;
    return Location(static_cast<s16>(rx), static_cast<s16>(ry), offset.z);
}

int TurnedMultiType(int type, int direction) {
    return (type - kFirstTurningMultiType) / kMultiFacings * kMultiFacings +
           (direction & (kMultiFacings - 1)) + kFirstTurningMultiType;
}
