#pragma once
// A position in the client's world: tiles and height units, signed 16-bit each.
#include "platform/types.h"

struct ClientLocation {
    s16 x = -1, y = -1, z = 0;
    void Set(int nx, int ny, int nz) {
        x = s16(nx);
        y = s16(ny);
        z = s16(nz);
    }
    bool operator==(const ClientLocation& o) const { return x == o.x && y == o.y && z == o.z; }
};
