#include "core/file_layer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/core/archive_fixture.h"

namespace {

TEST(DataFilePath, Table) {
    struct Case {
        int id;
        bool record;
        const char* path;  // null: none
        int isDirectory;
    };
    const Case cases[] = {
        {1, true, "../.rundir/access.list", 0},
        {2, true, nullptr, 0},
        {5, false, nullptr, 0},
        {24, true, "../.rundir/hues.mul", 0},
        {33, false, nullptr, 0},
        {48, true, "../.rundir/Convo/", 1},
        {49, true, "../.rundir/scripts/", 1},
        {54, true, nullptr, 0},
        {55, true, "../.rundir/loginscr.txt", 0},
        {60, false, nullptr, 0},
        {62, true, "../.rundir/time.mul", 0},
        {65, true, nullptr, 1},
        {0, false, nullptr, 0},
        {70, false, nullptr, 0},
        {-1, false, nullptr, 0},
    };
    for (const Case& c : cases) {
        const DataFileRecord* r = DataFilePath(c.id);
        ASSERT_EQ(r != nullptr, c.record) << c.id;
        if (r == nullptr) continue;
        EXPECT_EQ(r->path == nullptr, c.path == nullptr) << c.id;
        if (r->path != nullptr) {
            EXPECT_STREQ(r->path, c.path) << c.id;
        }
        EXPECT_EQ(r->isDirectory, c.isDirectory) << c.id;
    }
}

TEST_F(ArchiveTest, NetOpenFileById) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("../.rundir/scripts/sdb.txt", std::string_view("strings")));
    ASSERT_TRUE(b.Add("../.rundir/hues.mul", std::string_view("hues")));
    ASSERT_TRUE(b.Add("../.rundir/convo/guard.txt", std::string_view("convo")));
    Open(b);
    struct Case {
        int id;
        const char* name;
        const char* content;  // null: the open fails
    };
    const Case cases[] = {
        {49, "sdb.txt", "strings"}, {24, "anything", "hues"},     {24, nullptr, "hues"},
        {48, "Guard.TXT", "convo"}, {49, "missing.txt", nullptr}, {3, "sdb.txt", nullptr},
        {70, "sdb.txt", nullptr},   {65, "x", nullptr},           {1, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        ArchiveHandle h = net_openfile(c.id, c.name, "r");
        ASSERT_EQ(h != nullptr, c.content != nullptr) << c.id << " " << (c.name ? c.name : "");
        if (h == nullptr) continue;
        char buf[32];
        ArchiveGets(buf, sizeof buf, h);
        EXPECT_STREQ(buf, c.content);
        ArchiveClose(h);
    }
}

// Data files on disk with their ".q" companions, in a directory of the test's own.
class DataFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = TestFilePath("_dir");
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return dir_ + "/" + name; }
    void Make(const char* name, const char* text) const { std::ofstream(Path(name)) << text; }
    bool Exists(const char* name) const { return std::filesystem::exists(Path(name)); }
    std::string Text(const char* name) const {
        std::ifstream in(Path(name));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir_;
};

TEST_F(DataFileOnDisk, RenamingMovesTheCompanionToo) {
    Make("a.mul", "data");
    Make("a.mul.q", "member");
    EXPECT_TRUE(RenameDataFile(Path("a.mul").c_str(), Path("b.mul").c_str()));
    EXPECT_FALSE(Exists("a.mul"));
    EXPECT_FALSE(Exists("a.mul.q"));
    EXPECT_EQ(Text("b.mul"), "data");
    EXPECT_EQ(Text("b.mul.q"), "member");
    // Without a companion the file alone moves.
    Make("c.mul", "alone");
    EXPECT_TRUE(RenameDataFile(Path("c.mul").c_str(), Path("d.mul").c_str()));
    EXPECT_EQ(Text("d.mul"), "alone");
    EXPECT_FALSE(Exists("d.mul.q"));
    // A missing file: nothing moves, not even a companion that is there.
    Make("e.mul.q", "orphan");
    EXPECT_FALSE(RenameDataFile(Path("e.mul").c_str(), Path("f.mul").c_str()));
    EXPECT_TRUE(Exists("e.mul.q"));
    EXPECT_FALSE(Exists("f.mul.q"));
    // A companion that cannot follow (its target is a directory that is not empty) fails.
    Make("g.mul", "g");
    Make("g.mul.q", "gq");
    std::filesystem::create_directories(Path("h.mul.q/inside"));
    EXPECT_FALSE(RenameDataFile(Path("g.mul").c_str(), Path("h.mul").c_str()));
    EXPECT_FALSE(RenameDataFile(nullptr, Path("x").c_str()));
}

TEST_F(DataFileOnDisk, DeletingTakesTheCompanionToo) {
    Make("a.mul", "data");
    Make("a.mul.q", "member");
    EXPECT_TRUE(DeleteDataFile(Path("a.mul").c_str()));
    EXPECT_FALSE(Exists("a.mul"));
    EXPECT_FALSE(Exists("a.mul.q"));
    Make("b.mul", "alone");
    EXPECT_TRUE(DeleteDataFile(Path("b.mul").c_str()));
    EXPECT_FALSE(Exists("b.mul"));
    Make("c.mul.q", "orphan");
    EXPECT_FALSE(DeleteDataFile(Path("c.mul").c_str()));
    EXPECT_TRUE(Exists("c.mul.q"));
    // A companion that cannot go (a directory with contents) fails.
    Make("d.mul", "d");
    std::filesystem::create_directories(Path("d.mul.q/inside"));
    EXPECT_FALSE(DeleteDataFile(Path("d.mul").c_str()));
    EXPECT_FALSE(Exists("d.mul"));
    EXPECT_FALSE(DeleteDataFile(nullptr));
}

}  // namespace
