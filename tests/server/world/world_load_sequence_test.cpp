// The world load sequence: its progress values, the quit flag skipping the big reads, and
// where the saved objects come from (the safe save before the archive's pair; a damaged
// save ends the load naming it).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/byte_order.h"
#include "core/loop_state.h"
#include "server/world/player_registry.h"
#include "server/world/world_init.h"
#include "server/world/world_save.h"
#include "tools/content_builder/map_files.h"
#include "world_test_support.h"

namespace {

class WorldLoadSequenceTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        TileSet tiles;
        files["../.rundir/tiledata.mul"] = WriteTileDataFile(tiles);
        TerrainGrid terrain(0, 0, 64, 64, kGrass, 3);
        files["../.rundir/Demo/map0.mul"] = WriteMapFile(terrain);
        dir_ = std::filesystem::temp_directory_path() /
               ("zq_load_sequence_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        SetWorldSavePaths((dir_ / "w.sav").string(), (dir_ / "w.sta").string());
        context.read = [this](const std::string& path, std::vector<u8>& out) {
            reads.push_back(path);
            auto it = files.find(path);
            if (it == files.end()) return false;
            out = it->second;
            return true;
        };
        context.world = "Demo";
        context.progress = [this](int v) { progress.push_back(v); };
    }
    void TearDown() override {
        g_quitFlag.store(0);
        SetWorldSavePaths("", "");
        std::filesystem::remove_all(dir_);
        DestroyWorldObjects();
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            while (CStaticObject* s = g_sectorGrid.GetCell(n)->statics)
                s->Release();
        }
        WorldTest::TearDown();
    }
    // A dynamic pair with one record in the first cell.
    static SectorPair Pair(const std::string& record) {
        SectorPair pair;
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            u8 entry[12] = {};
            StoreLe32(entry, n == 0 ? 0 : 0xFFFFFFFFu);
            StoreLe32(entry + 4, n == 0 ? static_cast<u32>(record.size()) : 0);
            pair.index.insert(pair.index.end(), entry, entry + 12);
        }
        pair.data.assign(record.begin(), record.end());
        return pair;
    }
    std::map<std::string, std::vector<u8>> files;
    std::vector<std::string> reads;
    std::vector<int> progress;
    WorldLoadContext context;
    std::filesystem::path dir_;
};

TEST_F(WorldLoadSequenceTest, ProgressRunsFromZeroTo95ThenHides) {
    WorldDataResult result;
    std::string error;
    ASSERT_EQ(RunWorldLoadSequence(context, &result, &error), 0) << error;
    EXPECT_EQ(progress,
              (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 35, 40, 50, 60, 70, 80, 90, 95, -1}));
}

TEST_F(WorldLoadSequenceTest, TheQuitFlagSkipsTheBigReads) {
    const std::string nameBefore = GetTileData().Static(kPlainItem).name;
    g_quitFlag.store(1);
    ASSERT_EQ(RunWorldLoadSequence(context, nullptr, nullptr), 0);
    // The tile data and the terrain were not taken in; the sequence still ran to its end.
    EXPECT_EQ(GetTileData().Static(kPlainItem).name, nameBefore);
    EXPECT_EQ(g_sectorGrid.GetCell(0)->terrain[0][0].tile, 0);
    EXPECT_EQ(progress.back(), -1);
    g_quitFlag.store(0);
    ASSERT_EQ(RunWorldLoadSequence(context, nullptr, nullptr), 0);
    EXPECT_EQ(g_sectorGrid.GetCell(0)->terrain[0][0].tile, kGrass);
}

TEST_F(WorldLoadSequenceTest, TheSaveComesBeforeTheArchivesPair) {
    const std::string fromArchive("@=D\0id=1073741900\0loc=1 1 0\0\0end\0", 34);
    const SectorPair archive = Pair(fromArchive);
    files["../.rundir/Demo/dynidx0.mul"] = archive.index;
    files["../.rundir/Demo/dynamic0.mul"] = archive.data;
    WorldDataResult result;
    ASSERT_EQ(RunWorldLoadSequence(context, &result, nullptr), 0);
    EXPECT_EQ(result.dynamicLoaded, 1);
    EXPECT_NE(g_objectManager.FindBySerial(1073741900), nullptr);
    DestroyWorldObjects();

    // With a save, the archive's pair is not read at all.
    const std::string fromSave("@=D\0id=1073741950\0loc=2 2 0\0\0end\0", 34);
    const std::vector<u8> bytes =
        EncodeSaveFile(kWorldSaveTag, RunningWorldIdentity(), Pair(fromSave));
    std::ofstream(WorldSavePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    reads.clear();
    ASSERT_EQ(RunWorldLoadSequence(context, &result, nullptr), 0);
    EXPECT_NE(g_objectManager.FindBySerial(1073741950), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(1073741900), nullptr);
    EXPECT_EQ(std::count(reads.begin(), reads.end(), "../.rundir/Demo/dynamic0.mul"), 0);
    DestroyWorldObjects();

    // A damaged save is an error naming it, never an empty world or the archive's.
    std::vector<u8> damaged = bytes;
    damaged[30] ^= 4;
    std::ofstream(WorldSavePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(damaged.data()),
               static_cast<std::streamsize>(damaged.size()));
    std::string error;
    EXPECT_EQ(RunWorldLoadSequence(context, &result, &error), 2);
    EXPECT_NE(error.find(WorldSavePath()), std::string::npos) << error;
    EXPECT_EQ(g_objectManager.FindBySerial(1073741900), nullptr);
}

}  // namespace
