// The server refuses to start on an archive whose map or tile data cannot hold the world.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/archive_builder.h"
#include "e2e/process_runner.h"
#include "server/server_config.h"
#include "server/world/tile_data.h"

namespace {

struct MissingWorldData {
    const char* name;
    bool tileData;
    int mapBytes;  // -1: no map member
    const char* mentioned;
};

void PrintTo(const MissingWorldData& c, std::ostream* os) {
    *os << c.name;
}

class MissingWorldDataTest : public ::testing::TestWithParam<MissingWorldData> {};

TEST_P(MissingWorldDataTest, EndsWithAMessageNamingTheFileAndExitCodeOne) {
    const MissingWorldData& c = GetParam();
    e2e::TempDir dir;
    ArchiveBuilder builder;
    ASSERT_TRUE(builder.Add(ServerConfigPath("ZQGoldDemo"),
                            std::string_view("<width 64>\n<height 64>\n<@@@ END @@@>\n")));
    if (c.tileData) {
        ASSERT_TRUE(builder.Add("../.rundir/tiledata.mul",
                                std::vector<u8>(static_cast<size_t>(kTileDataFileSize))));
    }
    if (c.mapBytes >= 0) {
        ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/map0.mul",
                                std::vector<u8>(static_cast<size_t>(c.mapBytes))));
    }
    ASSERT_TRUE(builder.Write(dir.Path() + "/zqdemo.dat")) << builder.Error();
    e2e::ChildProcess server(e2e::RunDir() + "/zqdemo", dir.Path());
    ASSERT_TRUE(server.Started());
    EXPECT_EQ(server.WaitForExit(20000), 1) << server.Stderr();
    const std::string& err = server.Stderr();
    EXPECT_NE(err.find("zqdemo: "), std::string::npos) << err;
    EXPECT_NE(err.find(c.mentioned), std::string::npos) << err;
    // Where the file was looked for: the data archive, by its full path.
    const std::string archive =
        "data archive " + std::filesystem::canonical(dir.Path()).string() + "/zqdemo.dat";
    EXPECT_NE(err.find(archive), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Startup, MissingWorldDataTest,
    ::testing::Values(MissingWorldData{"NoTileData", false, 64 * 196, "tiledata.mul"},
                      MissingWorldData{"NoMap", true, -1, "map0.mul"},
                      MissingWorldData{"ShortMap", true, 63 * 196, "map0.mul"}),
    [](const ::testing::TestParamInfo<MissingWorldData>& info) {
        return std::string(info.param.name);
    });

}  // namespace
