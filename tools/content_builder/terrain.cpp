#include "tools/content_builder/terrain.h"

#include <algorithm>
#include <cstdlib>

#include "tools/content_builder/tile_set.h"

namespace {

using namespace demo_tiles;

u32 Hash(int x, int y, u32 seed) {
    u32 h = seed * 0x9E3779B1u;
    h ^= static_cast<u32>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<u32>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Smooth value noise 0..255 with lattice spacing `cell`, in integers only.
int Noise(int x, int y, int cell, u32 seed) {
    const int gx = x / cell;
    const int gy = y / cell;
    const int fx = (x % cell) * 256 / cell;
    const int fy = (y % cell) * 256 / cell;
    auto corner = [&](int cx, int cy) { return static_cast<int>(Hash(cx, cy, seed) & 0xFF); };
    const int top = corner(gx, gy) * (256 - fx) + corner(gx + 1, gy) * fx;
    const int bottom = corner(gx, gy + 1) * (256 - fx) + corner(gx + 1, gy + 1) * fx;
    return (top * (256 - fy) + bottom * fy) >> 16;
}

int ISqrt(s64 v) {
    if (v <= 0) return 0;
    s64 r = 0;
    s64 bit = s64{1} << 62;
    while (bit > v)
        bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<int>(r);
}

struct Hill {
    int x, y, radius, peak;
};

class Builder {
public:
    Builder(int x0, int y0, int width, int height) : w_(width), h_(height) {
        world_.terrain = TerrainGrid(x0, y0, width, height, kWater, -5);
        x0_ = x0;
        y0_ = y0;
        size_ = std::min(width, height);
        cx_ = width / 2;
        cy_ = height / 2;
        radius_ = size_ * 40 / 100;
        hills_[0] = {cx_ + radius_ * 35 / 100, cy_ - radius_ * 40 / 100, radius_ * 30 / 100, 70};
        hills_[1] = {cx_ + radius_ * 62 / 100, cy_ + radius_ * 5 / 100, radius_ * 18 / 100, 30};
        riverTop_ = hills_[0].y + hills_[0].radius;
        town_ = {cx_ - radius_ * 30 / 100, cy_ + radius_ * 15 / 100};
        pathY_ = town_.y;
    }

    DemoWorld Build() {
        Land();
        River();
        Town();
        Paths();
        Bridge();
        Forest();
        Regions();
        return std::move(world_);
    }

private:
    struct Point {
        int x, y;
    };

    TerrainGrid::Cell* Cell(int lx, int ly) {
        if (lx < 0 || ly < 0 || lx >= w_ || ly >= h_) return nullptr;
        return &world_.terrain.At(x0_ + lx, y0_ + ly);
    }
    void SetCell(int lx, int ly, u16 tile, int z) {
        if (TerrainGrid::Cell* c = Cell(lx, ly)) {
            c->tile = tile;
            c->z = static_cast<s8>(std::clamp(z, -128, 127));
        }
    }
    void Put(u16 graphic, int lx, int ly, int z, u16 hue = 0) {
        if (lx < 0 || ly < 0 || lx >= w_ || ly >= h_) return;
        world_.statics.push_back({graphic, x0_ + lx, y0_ + ly, static_cast<s8>(z), hue});
    }
    Location At(int lx, int ly, int z) const { return Location(x0_ + lx, y0_ + ly, z); }
    u16 Variant(u16 first, int lx, int ly) const {
        return static_cast<u16>(first + (Hash(lx, ly, 7) & 3));
    }

    // Distance from the centre and the coast's radius there (0 inside = far from the sea).
    int CoastMargin(int lx, int ly) const {
        const s64 dx = lx - cx_;
        const s64 dy = ly - cy_;
        const int d = ISqrt(dx * dx + dy * dy);
        const int wobble = (Noise(lx + 4096, ly + 4096, 48, 11) - 128) * size_ / 2560;
        return radius_ + wobble - d;
    }
    int HillHeight(int lx, int ly) const {
        int z = 0;
        for (const Hill& hill : hills_) {
            const s64 dx = lx - hill.x;
            const s64 dy = ly - hill.y;
            const s64 d2 = dx * dx + dy * dy;
            const s64 r2 = static_cast<s64>(hill.radius) * hill.radius;
            if (d2 < r2) z += static_cast<int>(hill.peak * (r2 - d2) / r2);
        }
        return z;
    }
    bool InTown(int lx, int ly) const {
        return std::abs(lx - town_.x) <= 26 && std::abs(ly - town_.y) <= 20;
    }
    int RiverX(int ly) const {
        // A gentle triangle-wave meander.
        const int period = 96;
        int phase = (ly + 1000 * period) % period;
        if (phase > period / 2) phase = period - phase;
        return cx_ + radius_ * 12 / 100 + phase / 4 - period / 16;
    }
    bool InRiver(int lx, int ly) const {
        if (ly < riverTop_) return false;
        const int rx = RiverX(ly);
        return lx >= rx - 2 && lx <= rx + 1;
    }

    void Land() {
        for (int ly = 0; ly < h_; ++ly) {
            for (int lx = 0; lx < w_; ++lx) {
                const int margin = CoastMargin(lx, ly);
                if (margin < 0) {
                    SetCell(lx, ly, Variant(kWater, lx, ly), -5);
                } else if (margin < 6) {
                    SetCell(lx, ly, Variant(kSand, lx, ly), margin / 3);
                } else {
                    const int rolling = Noise(lx, ly, 24, 3) / 64;  // 0-3
                    const int z = 2 + rolling + HillHeight(lx, ly);
                    SetCell(lx, ly, z >= 50 ? Variant(kRock, lx, ly) : Variant(kGrass, lx, ly), z);
                }
            }
        }
        world_.places.hillTop = At(hills_[1].x, hills_[1].y, 0);
        world_.places.rockPeak = At(hills_[0].x, hills_[0].y, 0);
        world_.places.sea = At(4, 4, -5);
        // The south shore below the island's centre.
        for (int ly = cy_; ly < h_; ++ly) {
            if (CoastMargin(cx_ - radius_ / 2, ly) < 3) {
                world_.places.beach = At(cx_ - radius_ / 2, ly, 0);
                break;
            }
        }
        for (Location* l :
             {&world_.places.hillTop, &world_.places.rockPeak, &world_.places.beach}) {
            l->z = Cell(l->x - x0_, l->y - y0_)->z;
        }
    }

    void River() {
        for (int ly = riverTop_; ly < h_; ++ly) {
            if (CoastMargin(RiverX(ly), ly) < 0) break;  // reached the sea
            const int rx = RiverX(ly);
            for (int lx = rx - 3; lx <= rx + 2; ++lx) {
                if (InRiver(lx, ly)) {
                    SetCell(lx, ly, Variant(kWater, lx, ly), -5);
                } else {
                    SetCell(lx, ly, Variant(kSand, lx, ly), 0);
                }
            }
        }
        const int ly = pathY_ + 30;
        world_.places.riverWater = At(RiverX(ly), ly, -5);
    }

    void House(int left, int top, bool furnished, bool first) {
        const int right = left + 8;
        const int bottom = top + 6;
        for (int ly = top; ly <= bottom; ++ly) {
            for (int lx = left; lx <= right; ++lx) {
                const bool edge = lx == left || lx == right || ly == top || ly == bottom;
                const int doorX = left + 4;
                if (edge) {
                    if (ly == bottom && lx == doorX) {
                        // The doorway stays open here: its door is an object of the town
                        // (town.txt), which players open and close.
                    } else if ((lx == left || lx == right) && ly == top + 3) {
                        Put(kWindowWall, lx, ly, 0);
                    } else {
                        Put(static_cast<u16>(kStoneWall + ((lx + ly) & 3)), lx, ly, 0);
                    }
                } else {
                    Put(static_cast<u16>(kWoodFloor + ((lx * 3 + ly) & 3)), lx, ly, 0);
                }
                Put(static_cast<u16>(kRoof + (ly - top) % 4), lx, ly, 20);
            }
        }
        if (furnished) {
            Put(kTable, left + 2, top + 2, 0);
            Put(kChair, left + 3, top + 2, 0);
            Put(kChest, right - 2, top + 1, 0);
        }
        if (first) {
            world_.places.houseInside = At(left + 5, top + 4, 0);
            world_.places.houseDoor = At(left + 4, bottom, 0);
            world_.places.houseWall = At(left + 1, top, 0);
            world_.places.houseWindow = At(left, top + 3, 0);
        }
    }

    void Town() {
        for (int ly = town_.y - 20; ly <= town_.y + 20; ++ly) {
            for (int lx = town_.x - 26; lx <= town_.x + 26; ++lx) {
                const bool square = std::abs(lx - town_.x) <= 5 && std::abs(ly - town_.y) <= 5;
                SetCell(lx, ly, square ? Variant(kCobbles, lx, ly) : Variant(kGrass, lx, ly), 0);
            }
        }
        House(town_.x - 20, town_.y - 16, true, true);
        House(town_.x + 8, town_.y - 16, false, false);
        House(town_.x - 20, town_.y + 8, true, false);
        Put(kSignpost, town_.x + 3, town_.y - 3, 0);
        world_.places.townSquare = At(town_.x, town_.y, 0);
    }

    void PathTile(int lx, int ly) {
        TerrainGrid::Cell* c = Cell(lx, ly);
        if (!c || InRiver(lx, ly) || InTown(lx, ly)) return;
        if (CoastMargin(lx, ly) < 0) return;
        c->tile = Variant(kDirt, lx, ly);
        if (c->z >= 50) c->z = 49;  // paths go around the rock
    }

    void Paths() {
        // East from the square, over the river, to the foot of the lower hill.
        for (int lx = town_.x + 27; lx < hills_[1].x - hills_[1].radius / 2; ++lx) {
            for (int d = -1; d <= 1; ++d)
                PathTile(lx, pathY_ + d);
        }
        // North-west from the square into the forest.
        for (int i = 0; i < radius_ * 40 / 100; ++i) {
            for (int d = -1; d <= 1; ++d)
                PathTile(town_.x - 27 - i + d, town_.y - 21 - i);
        }
    }

    void Bridge() {
        const int rx = RiverX(pathY_);
        for (int ly = pathY_ - 1; ly <= pathY_ + 1; ++ly) {
            for (int lx = rx - 3; lx <= rx + 2; ++lx)
                Put(static_cast<u16>(kBridge + (lx & 3)), lx, ly, 0);
        }
        world_.places.bridgeMiddle = At(rx, pathY_, 0);
    }

    void Forest() {
        const Point centre{cx_ - radius_ * 55 / 100, cy_ - radius_ * 30 / 100};
        const int forestRadius = radius_ * 38 / 100;
        bool placedTree = false;
        for (int ly = centre.y - forestRadius; ly <= centre.y + forestRadius; ++ly) {
            for (int lx = centre.x - forestRadius; lx <= centre.x + forestRadius; ++lx) {
                TerrainGrid::Cell* c = Cell(lx, ly);
                if (!c || CoastMargin(lx, ly) < 8 || InTown(lx, ly) || InRiver(lx, ly)) continue;
                const s64 dx = lx - centre.x;
                const s64 dy = ly - centre.y;
                const int wobble = (Noise(lx, ly, 20, 5) - 128) * forestRadius / 512;
                if (ISqrt(dx * dx + dy * dy) > forestRadius + wobble) continue;
                if (c->tile >= kDirt && c->tile < kDirt + 4) continue;  // keep the path
                c->tile = Variant(kForest, lx, ly);
                if (Hash(lx, ly, 23) % 7 != 0) continue;
                Put(static_cast<u16>(kTree + (Hash(lx, ly, 29) & 3)), lx, ly, c->z);
                Put(kLeaves, lx, ly, c->z + 20);
                if (!placedTree && lx > centre.x && ly > centre.y) {
                    world_.places.tree = At(lx, ly, c->z);
                    placedTree = true;
                }
            }
        }
        // A camp fire at the forest's south-east edge, on the path.
        const int fx = town_.x - 30;
        const int fy = town_.y - 24;
        if (TerrainGrid::Cell* c = Cell(fx, fy)) {
            Put(kCampFire, fx, fy, c->z);
            world_.places.campFire = At(fx, fy, c->z);
        }
        forestBox_[0] = centre.x - forestRadius;
        forestBox_[1] = centre.y - forestRadius;
        forestBox_[2] = centre.x + forestRadius + 1;
        forestBox_[3] = centre.y + forestRadius + 1;
    }

    void Regions() {
        world_.resourceRegions.push_back({"forest", x0_ + forestBox_[0], y0_ + forestBox_[1],
                                          x0_ + forestBox_[2], y0_ + forestBox_[3]});
        const Hill& high = hills_[0];
        world_.resourceRegions.push_back(
            {"hills", x0_ + high.x - high.radius, y0_ + high.y - high.radius,
             x0_ + high.x + high.radius + 1, y0_ + high.y + high.radius + 1});
        world_.resourceRegions.push_back({"meadow", x0_ + cx_ - radius_ / 4,
                                          y0_ + cy_ + radius_ / 3, x0_ + cx_ + radius_ / 4,
                                          y0_ + cy_ + radius_ / 2});
    }

    DemoWorld world_;
    int x0_, y0_, w_, h_;
    int size_, cx_, cy_, radius_;
    Hill hills_[2];
    int riverTop_;
    Point town_;
    int pathY_;
    int forestBox_[4] = {};
};

}  // namespace

DemoWorld BuildDemoWorld(int x0, int y0, int width, int height) {
    return Builder(x0, y0, width, height).Build();
}
