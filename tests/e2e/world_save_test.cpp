// The world outlives the process: an orderly shutdown writes it beside the archive, the next
// start loads it, and a damaged save stops the start naming the file.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/archive_builder.h"
#include "core/byte_order.h"
#include "e2e/process_runner.h"
#include "server/server_config.h"
#include "server/world/tile_data.h"
#include "server/world/world_save.h"

namespace {

const std::string kRunning = "Status: Running";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A 64 x 64 world whose archive holds two objects in its first cell: a bag and an item in it.
void BuildArchive(const std::string& dir) {
    const std::string record = std::string("@=C\0id=1073741900\0type=3701\0loc=1 1 0\0\0", 39) +
                               std::string(
                                   "@=D\0id=1073741901\0type=3702\0loc=2 2 0\0"
                                   "cont=1073741900\0\0end\0",
                                   59);
    SectorPair pair;
    for (int n = 0; n < 64; ++n) {
        u8 entry[12] = {};
        StoreLe32(entry, n == 0 ? 0 : 0xFFFFFFFFu);
        StoreLe32(entry + 4, n == 0 ? static_cast<u32>(record.size()) : 0);
        pair.index.insert(pair.index.end(), entry, entry + 12);
    }
    ArchiveBuilder builder;
    ASSERT_TRUE(builder.Add(ServerConfigPath("ZQGoldDemo"),
                            std::string_view("<width 64>\n<height 64>\n<@@@ END @@@>\n")));
    ASSERT_TRUE(builder.Add("../.rundir/tiledata.mul",
                            std::vector<u8>(static_cast<size_t>(kTileDataFileSize))));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/map0.mul", std::vector<u8>(64 * 196)));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/dynidx0.mul", pair.index));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/dynamic0.mul", std::string_view(record)));
    ASSERT_TRUE(builder.Write(dir + "/zqdemo.dat")) << builder.Error();
}

// Starts the server, lets it run and ends it with SIGTERM; its exit code.
int RunOnce(const std::string& dir, std::string* err = nullptr) {
    e2e::ChildProcess server(e2e::RunDir() + "/zqdemo", dir);
    if (!server.Started()) return -2;
    if (!server.WaitForStderr(kRunning, 20000)) {
        const int code = server.WaitForExit(20000);
        if (err) *err = server.Stderr();
        return code;
    }
    server.Signal(SIGTERM);
    const int code = server.WaitForExit(20000);
    if (err) *err = server.Stderr();
    return code;
}

// A world started once from its archive and shut down: its first save is there.
class WorldSaveE2E : public ::testing::Test {
protected:
    void SetUp() override {
        dir.LinkClientInstall();
        BuildArchive(dir.Path());
        ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
        first = ReadFile(save);
    }
    e2e::TempDir dir;
    const std::string save = dir.Path() + "/zqdemo.sav";
    std::string err;
    std::string first;
};

TEST_F(WorldSaveE2E, ShutdownSavesAndTheNextStartLoadsTheSameWorld) {
    // Both objects, the item still inside the bag.
    EXPECT_NE(first.find(std::string("id=1073741900\0", 14)), std::string::npos);
    EXPECT_NE(first.find(std::string("cont=1073741900\0", 16)), std::string::npos);

    // A save interrupted before its rename leaves its temporary file: the next start loads
    // the last whole save and clears the leftover.
    WriteFile(save + ".tmp", first.substr(0, first.size() / 2));
    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    EXPECT_EQ(ReadFile(save), first);
    EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
}

TEST_F(WorldSaveE2E, ADamagedSaveEndsTheStartNamingIt) {
    const std::string& good = first;
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x01;
    for (const std::string& bad : {good.substr(0, good.size() - 3), flipped}) {
        WriteFile(save, bad);
        EXPECT_EQ(RunOnce(dir.Path(), &err), 1) << err;
        EXPECT_NE(err.find("zqdemo.sav"), std::string::npos) << err;
        // The damaged save stays for whoever looks into it.
        EXPECT_EQ(ReadFile(save), bad);
    }
}

}  // namespace
