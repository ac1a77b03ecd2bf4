#pragma once
// World positions of the server. The main surface is kSurfaceWidth x kSurfaceHeight tiles and
// wraps around at its edges; everything at x >= kSurfaceWidth is a set of separate places
// (jail cells and the like) that never wraps and counts as far away from the surface.
#include "platform/types.h"

constexpr int kSurfaceWidth = 5120;
constexpr int kSurfaceHeight = 4096;
// The distance reported between the main surface and the area beyond it.
constexpr int kFarApart = 9999;

class Location {
public:
    s16 x;
    s16 y;
    s16 z;

    // The unset Location (-1, -1, -1).
    Location() : x(-1), y(-1), z(-1) {}
    // Each value is kept to 16 bits.
    Location(int x, int y, int z) { Set(x, y, z); }
    Location(const Location& other) : Location() { Set(other.x, other.y, other.z); }

    Location& Set(int nx, int ny, int nz) {
        x = static_cast<s16>(nx);
        y = static_cast<s16>(ny);
        z = static_cast<s16>(nz);
        return *this;
    }
    Location& operator=(const Location& other) { return Set(other.x, other.y, other.z); }

    void SetUnset() { Set(-1, -1, -1); }
    void Clear() { Set(0, 0, 0); }

    bool operator==(const Location& other) const {
        return x == other.x && y == other.y && z == other.z;
    }
    bool EqualsXY(const Location& other) const { return x == other.x && y == other.y; }
    bool IsUnset() const { return x == -1 && y == -1 && z == -1; }

    // The sum of both (16 bits each). When this Location is on the main surface the result
    // is brought back onto it by one wrap in x and in y; beyond the surface nothing wraps.
    Location operator+(const Location& other) const;
    Location& operator+=(const Location& other);
    // The wrapped difference this - other: the shortest way around the surface, or
    // (-kFarApart, 0, 0) / (kFarApart, 0, 0) when exactly one of the two is beyond it.
    Location operator-(const Location& other) const;

    // This Location taken as a difference: the larger of |x| and |y|.
    int ChebyshevLength() const;

    // One tile in direction (direction & 7): 0 north, then clockwise to 7 north-west.
    void Step(int direction);
    // One tile along x, wrapping on the main surface.
    void IncX();
    void DecX();
    // One tile along y. These wrap only beyond the main surface (x >= kSurfaceWidth); on
    // the surface y is left to run past the edge. The door code moves doors with these.
    void IncY();
    void DecY();

    // True when x is above kSurfaceWidth (x == kSurfaceWidth itself is not).
    bool IsOffSurface() const { return x > kSurfaceWidth; }
};

static_assert(sizeof(Location) == 6, "Location is three 16-bit values");

// The step of each of the eight directions.
struct DirectionStep {
    s8 dx;
    s8 dy;
};
extern const DirectionStep kDirectionSteps[8];

// Straight-line distance on the surface (truncated), wrapped like Location::operator-.
int Distance2D(int x1, int y1, int x2, int y2);
// As Distance2D with height counted at one eleventh: sqrt(dx^2 + dy^2 + dz^2 / 121).
int Distance3D(int x1, int y1, int z1, int x2, int y2, int z2);
// The larger axis distance of the wrapped difference b - a; kFarApart across the surface edge.
int ChebyshevDistanceWrapped(const Location& a, const Location& b);

// True when a and b share x and y and b.z lies within [a.z - down, a.z + up].
bool LocationsMatchWithinZ(const Location& a, int up, const Location& b, int down);

// One row of the table of named places that game masters send players to.
struct NamedPlace {
    const char* name;
    int x;
    int y;
    int z;
};
// The table, ended by a row with a null name.
const NamedPlace* NamedPlaces();
// Looks the name up ignoring case; on a hit stores the place in out and answers true.
// A null name or an unknown one answers false and leaves out as it was.
bool FindNamedLocation(const char* name, Location& out);
