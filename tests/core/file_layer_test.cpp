#include "core/file_layer.h"

#include <gtest/gtest.h>

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

}  // namespace
