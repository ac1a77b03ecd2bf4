#include "core/sector_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/core/archive_fixture.h"

namespace {

constexpr char kIdx[] = "../.rundir/w/staidx0.mul";
constexpr char kDat[] = "../.rundir/w/statics0.mul";

class SectorStoreTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveBuilder b;
        ASSERT_TRUE(b.Add(kIdx, std::string_view(""), false, 4096));
        ASSERT_TRUE(b.Add(kDat, std::string_view(""), false, 65536));
        // A read-only pair with 10 live bytes in 100.
        const u8 roIndex[12] = {0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0};
        ASSERT_TRUE(b.Add("../.rundir/w/ro.idx", roIndex, sizeof roIndex));
        ASSERT_TRUE(b.Add("../.rundir/w/ro.dat", Pattern(100)));
        Open(b);
    }

    struct Entry {
        s32 offset, length, extra;
    };

    static std::vector<Entry> IndexEntries() {
        std::vector<u8> raw = ReadAll(kIdx);
        std::vector<Entry> out(raw.size() / 12);
        std::memcpy(out.data(), raw.data(), out.size() * 12);
        return out;
    }

    static std::string Text(const std::vector<u8>& v) { return std::string(v.begin(), v.end()); }
};

// Sequential mode: entries in call order whatever n says; an empty record keeps its extra.
TEST_F(SectorStoreTest, SequentialWritesInCallOrder) {
    SectorStore store;
    ASSERT_TRUE(store.Open(kIdx, kDat, "wb"));
    EXPECT_TRUE(store.Write(7, "alpha", 5, 10));
    EXPECT_TRUE(store.Write(0, nullptr, 0, 11));
    EXPECT_TRUE(store.Write(99, "gamma!", 6, 12));
    store.Close();

    std::vector<Entry> idx = IndexEntries();
    ASSERT_EQ(idx.size(), 3u);
    const Entry expect[] = {{0, 5, 10}, {-1, -1, 11}, {5, 6, 12}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(idx[i].offset, expect[i].offset) << i;
        EXPECT_EQ(idx[i].length, expect[i].length) << i;
        EXPECT_EQ(idx[i].extra, expect[i].extra) << i;
    }
    ASSERT_TRUE(store.Open(kIdx, kDat, "rb"));
    std::vector<u8> bytes;
    s32 extra = 0;
    const struct {
        s32 n;
        bool read;
        const char* text;
        s32 extra;
    } reads[] = {{0, true, "alpha", 10},
                 {1, true, "", 11},
                 {2, true, "gamma!", 12},
                 {3, false, "", 0},
                 {-1, false, "", 0}};
    for (const auto& r : reads) {
        EXPECT_EQ(store.Read(r.n, bytes, extra), r.read) << r.n;
        EXPECT_EQ(Text(bytes), r.text) << r.n;
        EXPECT_EQ(extra, r.extra) << r.n;
    }
}

// Update mode: a record that shrinks stays where it was, one that grows moves to the end.
TEST_F(SectorStoreTest, UpdateModeReusesOrMoves) {
    SectorStore store;
    ASSERT_TRUE(store.Open(kIdx, kDat, "wb"));
    for (int i = 0; i < 5; ++i)
        store.Write(i, "0123456789", 10, i);
    store.Close();

    ASSERT_TRUE(store.Open(kIdx, kDat, "r+b"));
    EXPECT_TRUE(store.Write(3, "abc", 3, 30));
    EXPECT_TRUE(store.Write(1, "a longer record", 15, 31));
    EXPECT_TRUE(store.Write(4, nullptr, 0, 32));
    EXPECT_TRUE(store.Write(7, "new", 3, 33));  // past the index's end
    store.Close();

    std::vector<Entry> idx = IndexEntries();
    ASSERT_EQ(idx.size(), 8u);
    EXPECT_EQ(idx[3].offset, 30);
    EXPECT_EQ(idx[3].length, 3);
    EXPECT_EQ(idx[1].offset, 50);
    EXPECT_EQ(idx[4].offset, -1);
    EXPECT_EQ(idx[7].offset, 65);
    EXPECT_EQ(idx[5].offset, 0);  // the gap reads as zeros: no record
    EXPECT_EQ(idx[5].length, 0);

    ASSERT_TRUE(store.Open(kIdx, kDat, "rb"));
    std::vector<u8> bytes;
    s32 extra = 0;
    const struct {
        s32 n;
        const char* text;
        s32 extra;
    } reads[] = {{0, "0123456789", 0}, {1, "a longer record", 31},
                 {3, "abc", 30},       {4, "", 32},
                 {5, "", 0},           {7, "new", 33}};
    for (const auto& r : reads) {
        EXPECT_TRUE(store.Read(r.n, bytes, extra)) << r.n;
        EXPECT_EQ(Text(bytes), r.text) << r.n;
        EXPECT_EQ(extra, r.extra) << r.n;
    }
}

// An entry that points outside the data file is refused, not read.
TEST_F(SectorStoreTest, EntriesPointingOutsideTheDataAreRefused) {
    SectorStore store;
    ASSERT_TRUE(store.Open(kIdx, kDat, "wb"));
    store.Write(0, "data", 4, 1);
    store.Close();
    ArchiveHandle h = ArchiveOpen(kIdx, "r+");
    const s32 bad[][3] = {{0, 0x7FFFFFF0, 5}, {-7, 4, 5}, {2, 4, 5}};
    for (const auto& b : bad)
        ArchiveWrite(b, 4, 3, h);
    ArchiveClose(h);
    ASSERT_TRUE(store.Open(kIdx, kDat, "rb"));
    std::vector<u8> bytes;
    s32 extra = 0;
    for (s32 n = 1; n <= 3; ++n) {
        EXPECT_FALSE(store.Read(n, bytes, extra)) << n;
        EXPECT_TRUE(bytes.empty());
    }
}

TEST_F(SectorStoreTest, CompactOnlyWhenWorthIt) {
    SectorStore store;
    ASSERT_TRUE(store.Open(kIdx, kDat, "wb"));
    for (int i = 0; i < 4; ++i)
        store.Write(i, "0123456789", 10, i);
    store.Close();
    // 40 live bytes in 40: left alone.
    EXPECT_EQ(store.Compact(kIdx, kDat), SectorStore::CompactResult::kUnchanged);
    // Grow record 0 and record 2 twice: 60 live bytes in a data file of 100.
    ASSERT_TRUE(store.Open(kIdx, kDat, "r+b"));
    store.Write(0, "0123456789ABCDEFGHIJ", 20, 100);
    store.Write(2, "0123456789abcdefghij", 20, 102);
    store.Write(3, nullptr, 0, 103);
    store.Close();
    std::vector<u8> before = ReadAll(kDat);
    ASSERT_EQ(before.size(), 80u);
    // 50 live bytes, 80 stored: 75 < 80, compacted.
    EXPECT_EQ(store.Compact(kIdx, kDat), SectorStore::CompactResult::kCompacted);
    std::vector<Entry> idx = IndexEntries();
    ASSERT_EQ(idx.size(), 4u);
    EXPECT_EQ(ReadAll(kDat).size(), 50u);
    const s32 offsets[] = {0, 20, 30, -1};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(idx[i].offset, offsets[i]) << i;
    ASSERT_TRUE(store.Open(kIdx, kDat, "rb"));
    std::vector<u8> bytes;
    s32 extra = 0;
    EXPECT_TRUE(store.Read(0, bytes, extra));
    EXPECT_EQ(Text(bytes), "0123456789ABCDEFGHIJ");
    EXPECT_EQ(extra, 100);
    EXPECT_TRUE(store.Read(3, bytes, extra));
    EXPECT_EQ(extra, 103);
    store.Close();
    // A read-only pair cannot be compacted and is left alone.
    EXPECT_EQ(store.Compact("../.rundir/w/ro.idx", "../.rundir/w/ro.dat"),
              SectorStore::CompactResult::kFailed);
    EXPECT_EQ(ReadAll("../.rundir/w/ro.dat"), Pattern(100));
    EXPECT_EQ(ReadAll("../.rundir/w/ro.idx").size(), 12u);
}

TEST_F(SectorStoreTest, OpenNeedsBothFiles) {
    SectorStore store;
    EXPECT_FALSE(store.Open(kIdx, "../.rundir/w/absent.mul", "rb"));
    EXPECT_FALSE(store.IsOpen());
    // The index was not left open by the failed attempt.
    ArchiveHandle h = ArchiveOpen(kIdx, "r");
    EXPECT_NE(h, nullptr);
    ArchiveClose(h);
    EXPECT_FALSE(store.Write(0, "x", 1, 0));
}

}  // namespace
