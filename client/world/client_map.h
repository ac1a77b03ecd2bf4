#pragma once
// The client's view of the terrain around the player: the map centre, terrain queries over
// the map file, land objects for the 37 x 37 cells around the centre, the map statics of a
// 6 x 6 window of 8 x 8-cell blocks, the wrap of the surface area and distances.
#include <array>
#include <string>

#include "client/world/client_location.h"
#include "platform/types.h"

constexpr int kClientSurfaceWidth = 5120;
constexpr int kClientSurfaceHeight = 4096;

class CClientMap {
public:
    CClientMap();

    void Reset();
    void SetMapNumber(int n);
    int GetLandTile(int x, int y) const;
    int GetCellZ(int x, int y) const;
    // The four corner heights of the cell (0 for cells off the map); shared, overwritten by
    // the next call.
    const s8* GetCornerHeights(int x, int y);
    bool IsFlatArea(int x, int y, int z) const;
    void Recenter(int x, int y, int z, int mapNumber);
    void Move(int dx, int dy, int z);
    void RefreshView();
    void RefreshStatics();
    bool LineOfSight(const ClientLocation& from, const ClientLocation& to, u32 mask) const;

    int centreX = 0, centreY = 0, centreZ = 0;
    int mapNumber = -1;
    // The name of the area the player is in, as the "where" command reports it (nothing in
    // this client names areas yet, so it stays empty).
    std::string areaName;
    int width = 6144, height = 4096;
    int area[4] = {0, 0, 0, 0};
    int radarBlocks[4] = {0, 0, 0, 0};
    int windowBx = -9999, windowBy = -9999;
    std::array<int, 36> slots;
    // Whether the player is out of the world (no refresh then).
    bool playerOutOfWorld = false;

private:
    void MakeLand(int x, int y);
    void ShiftObjects(int dx, int dy);
    s8 corners_[4] = {};
};

CClientMap& TheClientMap();

// The hue a map static takes from its statics entry: one past the hue table gets none.
u16 StaticsEntryHue(u16 hue);

int ClientDistance(const ClientLocation& a, const ClientLocation& b);
int ClientDistanceTo(const ClientLocation& a, int x, int y);
