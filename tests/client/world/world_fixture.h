#pragma once
// A clean client world for one test: recording world hooks, a tile-data table with the
// records the test sets, a player object, and everything emptied again afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "client/data/tile_data.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"
#include "platform/clock.h"
#include "tools/content_builder/map_files.h"

class WorldFixture : public ::testing::Test {
protected:
    WorldFixture() {
        old_ = SetWorldHooks(&hooks);
        clock_.reset(new platform::ManualClock(1000));
        LoadTiles();
    }
    ~WorldFixture() override {
        ResetWorld();
        statics.clear();
        land.clear();
        LoadTiles();
        SetWorldHooks(old_);
    }

    // Static tile records by graphic (applied by LoadTiles).
    std::map<int, StaticTileRecord> statics;
    std::map<int, LandTileRecord> land;

    void SetStatic(int graphic, u32 flags, int height = 0, const char* name = "") {
        StaticTileRecord t;
        t.flags = flags;
        t.height = u8(height);
        std::memcpy(t.name, name, std::min(std::strlen(name), sizeof t.name));
        statics[graphic] = t;
        LoadTiles();
    }
    void LoadTiles() {
        std::vector<u8> image(size_t(kStaticBlocksStart) + 512 * size_t(kStaticBlockBytes));
        for (const auto& [g, t] : statics) {
            WriteStaticTileRecord(
                t, &image[size_t(kStaticBlocksStart) + size_t(g / 32) * kStaticBlockBytes + 4 +
                          size_t(g % 32) * kStaticRecordSize]);
        }
        for (const auto& [g, t] : land) {
            WriteLandTileRecord(
                t, &image[size_t(g / 32) * kLandBlockBytes + 4 + size_t(g % 32) * kLandRecordSize]);
        }
        TheClientTileData().ReadImage(image.data(), image.size());
    }

    CClientPlayer* MakePlayer(u32 serial = 1, int body = 400) {
        auto* p = new CClientPlayer(serial, body, 0);
        TheClientWorld().playerSerial = serial;
        return p;
    }

    // A mobile as the server's object packets bring it, at (x, y, 0).
    CClientMobile* Mobile(u32 serial, int body, int x = 10, int y = 10) {
        return static_cast<CClientMobile*>(
            TheClientWorld().UpdateObject(serial, u16(body), 0, 0, x, y, 0, 0, 0, 0));
    }

    // A player standing at (10, 10) with the map window held still (no data files read).
    CClientPlayer* PlayerInStillWorld() {
        CClientPlayer* p = MakePlayer(1, 400);
        CClientMap& map = TheClientMap();
        map.playerOutOfWorld = true;
        map.centreX = map.centreY = 10;
        p->PlaceInWorld(ClientLocation{10, 10, 0});
        return p;
    }

    // Empties the grid, the lists, the tables and the map window.
    static void ResetWorld() {
        CClientWorld& w = TheClientWorld();
        w.Clear();
        SweepAllCells();
        // Objects made detached by a test and never placed.
        for (bool again = true; again;) {
            again = false;
            for (CClientItem* o = w.serverHead; o; o = o->serverNext) {
                if (o->detached && !o->holder && !o->IsPlayer()) {
                    o->Destroy();
                    again = true;
                    break;
                }
            }
        }
        delete ThePlayer();
        SweepAllCells();
        InitCellGrid();
        TheDyingMobiles().Clear();
        ClearActionSlots();
        TheLevels() = LevelRecord{};
        w.savedBarks.clear();
        w.playerSerial = 0;
        w.dragging = 0;
        w.targeting = false;
        w.listingContents = false;
        w.globalLight = 0;
        CClientMap& map = TheClientMap();
        map = CClientMap();
        ViewScrollX = ViewScrollY = 0;
        TheSweepCounts() = SweepCounts{};
    }

    WorldHooks hooks;
    // The manual clock the fixture installs (it starts at 1000).
    platform::ManualClock& Clock() { return *clock_; }

private:
    WorldHooks* old_ = nullptr;
    std::unique_ptr<platform::ManualClock> clock_;
};
