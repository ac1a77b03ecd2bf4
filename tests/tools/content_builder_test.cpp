// The content builder run as a program: the same bytes on every run, and an archive the
// server reads.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/archive.h"
#include "server/server_config.h"

namespace fs = std::filesystem;

namespace {

class ContentBuilder : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(::testing::TempDir()) /
                ("content_builder_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "empty");
        unsetenv("SERVERNAME");
    }
    void TearDown() override {
        ShutdownDataArchive();
        unsetenv("SERVERNAME");
        g_spawnClient = 1;
        fs::remove_all(root_);
    }

    int Build(const std::string& args) {
        std::string cmd = std::string(CONTENT_BUILDER_EXE) + " " + args + " 2>/dev/null";
        int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string Path(const std::string& name) const { return (root_ / name).string(); }

    // The configuration the server reads from an archive.
    bool ReadConfig(const std::string& archive, ServerConfig& config, std::string* error) {
        if (!InitDataArchive(archive.c_str())) {
            *error = DataArchiveError();
            return false;
        }
        return ReadServerConfig(config, error);
    }

    fs::path root_;
};

TEST_F(ContentBuilder, WritesTheSameBytesOnEveryRun) {
    const std::string content = ZQ_SOURCE_DIR "/content";
    ASSERT_EQ(Build("--content " + content + " --out " + Path("a.dat")), 0);
    ASSERT_EQ(Build("--content " + content + " --out " + Path("b.dat")), 0);
    std::string a = Bytes(Path("a.dat"));
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, Bytes(Path("b.dat")));
    // The build's own archive came from the same sources.
    EXPECT_EQ(a, Bytes(ZQ_RUN_DIR "/zqdemo.dat"));
    EXPECT_FALSE(fs::exists(Path("a.dat.tmp")));

    // The demo's world starts the built-in client.
    ServerConfig config;
    std::string error;
    ASSERT_TRUE(ReadConfig(Path("a.dat"), config, &error)) << error;
    EXPECT_EQ(config.serverName, "ZQGoldDemo");
    EXPECT_EQ(g_spawnClient, 1);
    EXPECT_EQ(config.width, 1024);
    EXPECT_EQ(config.height, 1024);

    // The compiled demo scripts travel in the same archive.
    ArchiveHandle table = ArchiveOpen("../.rundir/scripts/sdb.txt", "r");
    ASSERT_NE(table, nullptr);
    ArchiveClose(table);
}

TEST_F(ContentBuilder, GeneratesTheConfigurationWhenThereIsNoSource) {
    ASSERT_EQ(Build("--content " + Path("empty") + " --out " + Path("gen.dat")), 0);
    ASSERT_EQ(Build("--content " + Path("empty") + " --out " + Path("gen2.dat")), 0);
    EXPECT_EQ(Bytes(Path("gen.dat")), Bytes(Path("gen2.dat")));
    ServerConfig config;
    std::string error;
    ASSERT_TRUE(ReadConfig(Path("gen.dat"), config, &error)) << error;
    EXPECT_EQ(g_spawnClient, 0);
    EXPECT_EQ(config.owner, "Varnok Online Demo");
}

TEST_F(ContentBuilder, AnotherWorldNameAndBadArguments) {
    ASSERT_EQ(Build("--content " + Path("empty") + " --world Isle --out " + Path("isle.dat")), 0);
    setenv("SERVERNAME", "Isle", 1);
    ServerConfig config;
    std::string error;
    EXPECT_TRUE(ReadConfig(Path("isle.dat"), config, &error)) << error;
    ShutdownDataArchive();
    unsetenv("SERVERNAME");
    EXPECT_FALSE(ReadConfig(Path("isle.dat"), config, &error));  // no ZQGoldDemo in it

    EXPECT_EQ(Build("--out " + Path("x.dat")), 2);
    EXPECT_EQ(Build("--content " + Path("empty") + " --out"), 2);
    EXPECT_EQ(Build("--content " + Path("empty") + " --bogus --out " + Path("x.dat")), 2);
    EXPECT_EQ(Build("--content " + Path("empty") + " --out " + Path("no/such/dir/x.dat")), 1);

    // A script that does not compile stops the build.
    fs::create_directories(root_ / "bad" / "scripts");
    std::ofstream(root_ / "bad" / "scripts" / "broken.zqs")
        << "trigger use {\n    noSuchBuiltin();\n}\n";
    EXPECT_EQ(Build("--content " + Path("bad") + " --out " + Path("bad.dat")), 1);
}

// A town placement whose template makes nothing in the world stops the build, naming the line.
TEST_F(ContentBuilder, ATownPlacementThatMakesNothingStopsTheBuild) {
    fs::create_directories(root_ / "town");
    std::ofstream(root_ / "town" / "templatestable.dat")
        << "<5>\n<type item 3701>\n<@@@ END @@@>\n<6>\n<type none 0>\n<@@@ END @@@>\n";
    std::ofstream(root_ / "town" / "town.txt")
        << "A bag, then nothing.\n<place 5 390 575 0>\n<place 6 391 575 0>\n";
    const std::string cmd = std::string(CONTENT_BUILDER_EXE) + " --content " + Path("town") +
                            " --out " + Path("town.dat") + " 2>" + Path("err.txt");
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(Bytes(Path("err.txt")).find("town.txt:3: template 6 made nothing"), std::string::npos)
        << Bytes(Path("err.txt"));
    EXPECT_FALSE(fs::exists(Path("town.dat")));
    // Without the placement that makes nothing the bag is the world's one object.
    std::ofstream(root_ / "town" / "town.txt", std::ios::trunc) << "<place 5 390 575 0>\n";
    ASSERT_EQ(Build("--content " + Path("town") + " --out " + Path("town.dat")), 0);
    ASSERT_TRUE(InitDataArchive(Path("town.dat").c_str())) << DataArchiveError();
    ArchiveHandle data = ArchiveOpen("../.rundir/ZQGoldDemo/dynamic0.mul", "r");
    ASSERT_NE(data, nullptr);
    char buffer[256] = {};
    const size_t got = ArchiveRead(buffer, 1, sizeof buffer - 1, data);
    ArchiveClose(data);
    const std::string record(buffer, got);
    EXPECT_NE(record.find(std::string("type=3701\0template=5\0", 21)), std::string::npos);
    EXPECT_EQ(record.find("type=3701", record.find("type=3701") + 1), std::string::npos);
}

}  // namespace
