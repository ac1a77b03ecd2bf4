// The archive tool run as a program: pack, list, extract and cat round trips, keys, errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/archive.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code;
    std::string out;
};

class ZqArchiveTool : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(::testing::TempDir()) /
                ("zqarchive_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "src");
    }
    void TearDown() override {
        ShutdownDataArchive();
        fs::remove_all(root_);
    }

    // Runs the tool; stdout and stderr together in `out`, or stdout alone.
    ToolRun Tool(const std::string& args, bool withStderr = true) {
        std::string cmd = std::string(ZQARCHIVE_EXE) + " " + args + (withStderr ? " 2>&1" : "");
        std::FILE* p = popen(cmd.c_str(), "r");
        ToolRun r{-1, ""};
        if (p == nullptr) return r;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        int status = pclose(p);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }

    void Put(const std::string& rel, const std::string& bytes) {
        fs::path p = root_ / "src" / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }

    static std::string Slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string P(const std::string& rel) const { return (root_ / rel).string(); }

    fs::path root_;
};

std::string Binary(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 131 + i / 7) & 0xFF);
    return s;
}

TEST_F(ZqArchiveTool, PackListExtractCatRoundTrip) {
    Put("server.txt", "<spawnclient 0>\n");
    Put("Scripts/SDB.TXT", "one\ntwo\n");
    Put("empty.bin", "");
    Put("big.mul", Binary(20000));
    Put("time.mul", "1234");

    ToolRun pack =
        Tool("pack --writable time.mul:4096 --writable big.mul " + P("src") + " " + P("a.dat"));
    ASSERT_EQ(pack.code, 0) << pack.out;

    ToolRun list = Tool("list " + P("a.dat"), false);
    ASSERT_EQ(list.code, 0) << list.out;
    const char* expectLines[] = {
        "     20000      20004          0 rw     big.mul.q",
        "         0          4          0 ro     empty.bin.q",
        "         8         12          0 ro     scripts/sdb.txt.q",
        "        16         20          0 ro     server.txt.q",
        "         4          8       4096 rw     time.mul.q",
    };
    for (const char* line : expectLines) {
        EXPECT_NE(list.out.find(line), std::string::npos) << line << "\n" << list.out;
    }

    ASSERT_EQ(Tool("extract " + P("a.dat") + " " + P("out")).code, 0);
    for (const auto& [rel, out] : {std::pair{"server.txt", "server.txt"},
                                   {"Scripts/SDB.TXT", "scripts/sdb.txt"},
                                   {"empty.bin", "empty.bin"},
                                   {"big.mul", "big.mul"},
                                   {"time.mul", "time.mul"}}) {
        EXPECT_TRUE(fs::exists(root_ / "out" / out)) << out;
        EXPECT_TRUE(Slurp(root_ / "out" / out) == Slurp(root_ / "src" / rel)) << out;
    }

    ToolRun cat = Tool("cat " + P("a.dat") + " Scripts/sdb.txt", false);
    EXPECT_EQ(cat.code, 0);
    EXPECT_EQ(cat.out, "one\ntwo\n");
    EXPECT_TRUE(Tool("cat " + P("a.dat") + " big.mul.q", false).out == Binary(20000));

    // Packing the extracted tree again gives the same bytes.
    ASSERT_EQ(
        Tool("pack --writable time.mul:4096 --writable big.mul " + P("out") + " " + P("b.dat"))
            .code,
        0);
    EXPECT_TRUE(Slurp(root_ / "a.dat") == Slurp(root_ / "b.dat"));

    // The flags reached the archive: the read-only member refuses a write open.
    ASSERT_TRUE(InitDataArchive(P("a.dat").c_str()));
    EXPECT_EQ(ArchiveOpen("server.txt", "r+"), nullptr);
    ArchiveHandle h = ArchiveOpen("time.mul", "r+");
    EXPECT_NE(h, nullptr);
    ArchiveClose(h);
}

TEST_F(ZqArchiveTool, PrefixAndUnsafeNames) {
    Put("hues.mul", "hues");
    Put("ZQGoldDemo/server.txt", "<id 1>");
    ASSERT_EQ(Tool("pack --prefix ../.rundir/ " + P("src") + " " + P("a.dat")).code, 0);
    ToolRun list = Tool("list " + P("a.dat"), false);
    EXPECT_NE(list.out.find("../.rundir/zqgolddemo/server.txt.q"), std::string::npos);

    // Without the prefix the members would leave the output directory: refused.
    ToolRun bad = Tool("extract " + P("a.dat") + " " + P("out"));
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("outside"), std::string::npos) << bad.out;
    EXPECT_FALSE(fs::exists(root_ / ".rundir"));

    ASSERT_EQ(Tool("extract --prefix ../.rundir/ " + P("a.dat") + " " + P("out")).code, 0);
    EXPECT_EQ(Slurp(root_ / "out" / "hues.mul"), "hues");
    EXPECT_EQ(Slurp(root_ / "out" / "zqgolddemo" / "server.txt"), "<id 1>");
}

TEST_F(ZqArchiveTool, OtherKeys) {
    Put("a.txt", "secret");
    const std::string key(64, 'a');
    ASSERT_EQ(Tool("--key " + key + " pack " + P("src") + " " + P("k.dat")).code, 0);
    EXPECT_EQ(Tool("--key " + key + " cat " + P("k.dat") + " a.txt", false).out, "secret");
    ToolRun wrong = Tool("list " + P("k.dat"));
    EXPECT_EQ(wrong.code, 1);
    EXPECT_NE(wrong.out.find("corrupt"), std::string::npos) << wrong.out;
    EXPECT_EQ(Tool("--key 1234 list " + P("k.dat")).code, 2);
    EXPECT_EQ(Tool("--key " + std::string(63, 'a') + "g list " + P("k.dat")).code, 2);
}

TEST_F(ZqArchiveTool, ErrorsAreClearAndNonZero) {
    Put("a.txt", "x");
    Put("A.TXT", "y");
    ToolRun clash = Tool("pack " + P("src") + " " + P("a.dat"));
    EXPECT_EQ(clash.code, 1);
    EXPECT_NE(clash.out.find("both make the member a.txt.q"), std::string::npos) << clash.out;
    EXPECT_FALSE(fs::exists(root_ / "a.dat"));
    fs::remove(root_ / "src" / "A.TXT");
    struct Case {
        std::string args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"list " + P("missing.dat"), 1, "cannot open the data archive"},
        {"pack " + P("nodir") + " " + P("a.dat"), 1, "is not a directory"},
        {"pack --writable nothing " + P("src") + " " + P("a.dat"), 1, "names no file"},
        {"pack --writable a.txt:x " + P("src") + " " + P("a.dat"), 2, "PATH:CAPACITY"},
        {"frobnicate", 2, "usage"},
        {"", 2, "usage"},
    };
    for (const Case& c : cases) {
        ToolRun r = Tool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
    }
    ASSERT_EQ(Tool("pack " + P("src") + " " + P("a.dat")).code, 0);
    ToolRun absent = Tool("cat " + P("a.dat") + " b.txt");
    EXPECT_EQ(absent.code, 1);
    EXPECT_NE(absent.out.find("no readable member b.txt"), std::string::npos);
}

}  // namespace
