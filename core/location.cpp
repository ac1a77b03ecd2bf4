#include "core/location.h"

#include <cmath>
#include <cstdlib>

#include "core/cstr.h"

const DirectionStep kDirectionSteps[8] = {
    {0, -1}, {+1, -1}, {+1, 0}, {+1, +1}, {0, +1}, {-1, +1}, {-1, 0}, {-1, -1},
};

namespace {

bool BeyondSurface(int x) {
    return x >= kSurfaceWidth;
}

// Truncated square root of a non-negative value, exact for every 64-bit input we can meet.
int IntSqrt(s64 v) {
    if (v <= 0) return 0;
    s64 r = static_cast<s64>(std::sqrt(static_cast<double>(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return static_cast<int>(r);
}

// Jail cells beyond the surface, then the towns and places of the demo world, each under a
// full name and a short one.
const NamedPlace kNamedPlaceTable[] = {
    {"jail1", 5275, 1164, 0},    {"jail2", 5285, 1164, 0},     {"jail3", 5295, 1164, 0},
    {"jail4", 5305, 1164, 0},    {"jail5", 5275, 1174, 0},     {"jail6", 5285, 1174, 0},
    {"jail7", 5295, 1174, 0},    {"jail8", 5305, 1174, 0},     {"jail9", 5275, 1185, 0},
    {"jail10", 5295, 1185, 0},   {"wyndale", 512, 512, 0},     {"wyn", 512, 512, 0},
    {"eldermere", 300, 210, 0},  {"mere", 300, 210, 0},        {"brackenhold", 120, 640, 0},
    {"bracken", 120, 640, 0},    {"corrowmarsh", 820, 760, 0}, {"marsh", 820, 760, 0},
    {"sablecross", 640, 300, 0}, {"cross", 640, 300, 0},       {"tallowbrook", 240, 880, 0},
    {"tallow", 240, 880, 0},     {"oakenreach", 900, 140, 0},  {"oaken", 900, 140, 0},
    {"mirrowdeep", 60, 80, 0},   {"mine", 60, 80, 0},          {"heronisle", 980, 980, 0},
    {"isle", 980, 980, 0},       {"duskhollow", 400, 700, 0},  {"hollow", 400, 700, 0},
    {"saltreach", 1000, 420, 0}, {"port", 1000, 420, 0},       {"cairnstead", 700, 540, 0},
    {"cairn", 700, 540, 0},      {"lanternvale", 180, 400, 0}, {"vale", 180, 400, 0},
    {"ironmoot", 560, 930, 0},   {"moot", 560, 930, 0},        {nullptr, 0, 0, 0},
};

}  // namespace

Location Location::operator+(const Location& other) const {
    Location sum(x + other.x, y + other.y, z + other.z);
    if (!BeyondSurface(x)) {
        if (sum.x >= kSurfaceWidth) {
            sum.x = static_cast<s16>(sum.x - kSurfaceWidth);
        } else if (sum.x < 0) {
            sum.x = static_cast<s16>(sum.x + kSurfaceWidth);
        }
        if (sum.y >= kSurfaceHeight) {
            sum.y = static_cast<s16>(sum.y - kSurfaceHeight);
        } else if (sum.y < 0) {
            sum.y = static_cast<s16>(sum.y + kSurfaceHeight);
        }
    }
    return sum;
}

Location& Location::operator+=(const Location& other) {
    return *this = *this + other;
}

Location Location::operator-(const Location& other) const {
    if (BeyondSurface(x) != BeyondSurface(other.x)) {
        return Location(x <= other.x ? -kFarApart : kFarApart, 0, 0);
    }
    Location d(x - other.x, y - other.y, z - other.z);
    if (d.x < kSurfaceWidth) {
        if (d.x > kSurfaceWidth / 2) {
            d.x = static_cast<s16>(d.x - kSurfaceWidth);
        } else if (d.x < -kSurfaceWidth / 2) {
            d.x = static_cast<s16>(d.x + kSurfaceWidth);
        }
        if (d.y > kSurfaceHeight / 2) {
            d.y = static_cast<s16>(d.y - kSurfaceHeight);
        } else if (d.y < -kSurfaceHeight / 2) {
            d.y = static_cast<s16>(d.y + kSurfaceHeight);
        }
    }
    return d;
}

int Location::ChebyshevLength() const {
    int ax = std::abs(static_cast<int>(x));
    int ay = std::abs(static_cast<int>(y));
    return ax > ay ? ax : ay;
}

void Location::Step(int direction) {
    const DirectionStep& s = kDirectionSteps[direction & 7];
    bool onSurface = !BeyondSurface(x);
    x = static_cast<s16>(x + s.dx);
    y = static_cast<s16>(y + s.dy);
    if (!onSurface) return;
    if (x == kSurfaceWidth) {
        x = 0;
    } else if (x == -1) {
        x = kSurfaceWidth - 1;
    }
    if (y == kSurfaceHeight) {
        y = 0;
    } else if (y == -1) {
        y = kSurfaceHeight - 1;
    }
}

void Location::IncX() {
    bool onSurface = !BeyondSurface(x);
    x = static_cast<s16>(x + 1);
    if (onSurface && x == kSurfaceWidth) x = 0;
}

void Location::DecX() {
    bool onSurface = !BeyondSurface(x);
    x = static_cast<s16>(x - 1);
    if (onSurface && x == -1) x = kSurfaceWidth - 1;
}

void Location::IncY() {
    y = static_cast<s16>(y + 1);
    if (BeyondSurface(x) && y == kSurfaceHeight) y = 0;
}

void Location::DecY() {
    y = static_cast<s16>(y - 1);
    if (BeyondSurface(x) && y == -1) y = kSurfaceHeight - 1;
}

int Distance2D(int x1, int y1, int x2, int y2) {
    Location d = Location(x1, y1, 0) - Location(x2, y2, 0);
    s64 dx = d.x, dy = d.y;
    return IntSqrt(dx * dx + dy * dy);
}

int Distance3D(int x1, int y1, int z1, int x2, int y2, int z2) {
    Location d = Location(x1, y1, z1) - Location(x2, y2, z2);
    s64 dx = d.x, dy = d.y, dz = d.z;
    return IntSqrt(dx * dx + dy * dy + dz * dz / 121);
}

int ChebyshevDistanceWrapped(const Location& a, const Location& b) {
    return (b - a).ChebyshevLength();
}

bool LocationsMatchWithinZ(const Location& a, int up, const Location& b, int down) {
    if (!a.EqualsXY(b)) return false;
    s64 z = b.z;
    return z >= static_cast<s64>(a.z) - down && z <= static_cast<s64>(a.z) + up;
}

const NamedPlace* NamedPlaces() {
    return kNamedPlaceTable;
}

bool FindNamedLocation(const char* name, Location& out) {
    if (name == nullptr) return false;
    for (const NamedPlace* p = kNamedPlaceTable; p->name != nullptr; ++p) {
        if (StrCompareNoCase(p->name, name) == 0) {
            out.Set(p->x, p->y, p->z);
            return true;
        }
    }
    return false;
}
