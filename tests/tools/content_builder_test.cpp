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
    int ReadConfig(const std::string& archive, ServerConfig& config, std::string* error) {
        if (InitDataArchive(archive.c_str()) == 0) {
            *error = DataArchiveError();
            return 1;
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
    ASSERT_EQ(ReadConfig(Path("a.dat"), config, &error), 0) << error;
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
    ASSERT_EQ(ReadConfig(Path("gen.dat"), config, &error), 0) << error;
    EXPECT_EQ(g_spawnClient, 0);
    EXPECT_EQ(config.owner, "Varnok Online Demo");
}

TEST_F(ContentBuilder, AnotherWorldNameAndBadArguments) {
    ASSERT_EQ(Build("--content " + Path("empty") + " --world Isle --out " + Path("isle.dat")), 0);
    setenv("SERVERNAME", "Isle", 1);
    ServerConfig config;
    std::string error;
    EXPECT_EQ(ReadConfig(Path("isle.dat"), config, &error), 0) << error;
    ShutdownDataArchive();
    unsetenv("SERVERNAME");
    EXPECT_EQ(ReadConfig(Path("isle.dat"), config, &error), 1);  // no ZQGoldDemo in it

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

}  // namespace
