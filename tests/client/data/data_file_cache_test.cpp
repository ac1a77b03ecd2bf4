#include "client/data/data_file_cache.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "client/data/anim_data.h"
#include "client/data/data_log.h"
#include "client/data/tile_data.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/data/data_files_fixture.h"

namespace {

// Art records 0-3: two present, one absent, one whose index points past the data file.
std::vector<IndexedRecord> FourArtRecords() {
    return {Record("alpha", 7), Record("bravo!", 8), IndexedRecord{}, Record("charlie", 9)};
}

class DataFileCacheTest : public ::testing::Test {
protected:
    std::string Hd() const { return env_.Dir() + "/hd/"; }
    std::string Cd() const { return env_.Dir() + "/cd/"; }
    void Start(bool onCd, bool useVerData = true, int cacheSize = 1) {
        DataCacheSettings s;
        s.hdDir = Hd();
        s.cdDir = Cd();
        s.cacheSize = cacheSize;
        s.useVerData = useVerData;
        // A fresh install each time; a patch file stays.
        const std::vector<u8> verdata = ReadBytes(Hd() + "verdata.mul");
        std::filesystem::remove_all(Hd());
        std::filesystem::remove_all(Cd());
        std::filesystem::create_directories(Hd());
        if (!verdata.empty()) WriteBytes(Hd() + "verdata.mul", verdata);
        WriteDataFiles(onCd ? Cd() : Hd(), FourArtRecords());
        // Record 3 claims more bytes than the data file holds.
        std::vector<u8> index = ReadBytes((onCd ? Cd() : Hd()) + "artidx.mul");
        index[3 * 12 + 4] = 200;
        WriteBytes((onCd ? Cd() : Hd()) + "artidx.mul", index);
        cache_.Init(s);
    }
    std::string Read(s32 id, s32* length = nullptr, u32* extra = nullptr) {
        s32 l;
        u32 e;
        const u8* p = cache_.GetRecord(kFileArtIndex, kFileArt, id, &l, &e);
        if (length) *length = l;
        if (extra) *extra = e;
        return AsText(p, l);
    }
    ClientTestEnv env_;
    CDHDCache cache_;
};

TEST_F(DataFileCacheTest, RecordsReadTheSameFromDiskAndThroughTheCache) {
    struct Case {
        s32 id;
        std::string bytes;
        s32 length;
        u32 extra;
    } cases[] = {
        {0, "alpha", 5, 7},   {1, "bravo!", 6, 8}, {2, "<null>", 0, 0},  // offset -1: absent
        {3, "<null>", 0, 9},  // runs past the end of the data file
        {4, "<null>", 0, 0},  // past the end of the index
        {-1, "<null>", 0, 0},
    };
    for (bool onCd : {false, true}) {
        Start(onCd);
        EXPECT_EQ(cache_.IsOnHardDisk(kFileArt), !onCd);
        EXPECT_EQ(cache_.HasBlockCache(), true);
        for (int pass = 0; pass < 2; ++pass) {  // the second pass is served by the cache
            for (const Case& c : cases) {
                s32 length;
                u32 extra;
                EXPECT_EQ(Read(c.id, &length, &extra), c.bytes) << onCd << " " << c.id;
                EXPECT_EQ(length, c.length) << onCd << " " << c.id;
                EXPECT_EQ(extra, c.extra) << onCd << " " << c.id;
            }
        }
        EXPECT_EQ(cache_.Cache().CheckConsistency(), "");
        cache_.Shutdown();
    }
}

TEST_F(DataFileCacheTest, ACacheSizeBelowOneCountsAsOne) {
    Start(true, true, 0);
    EXPECT_EQ(std::filesystem::file_size(Hd() + "cache.zq"), 1000000u);
    EXPECT_EQ(cache_.Cache().EntryCount(), 4000);
    EXPECT_EQ(Read(1), "bravo!");
}

TEST_F(DataFileCacheTest, PatchesOverrideHideAndStayInsideTheirFile) {
    std::vector<VerdataPatch> patches = {
        {kFileArt, 0, Bytes("first"), 1},
        {kFileArt, 0, Bytes("second"), 2},  // the later record wins
        {kFileArt, 1, {}, 0},               // length 0 hides the file's record
        {kFileArt, 1024, Bytes("same bucket as 0"), 3},
        {99, 0, Bytes("unknown kind, ignored"), 0},
        {kFileArt, 4, Bytes("outside"), 0},
    };
    std::vector<u8> verdata = WriteVerdataFile(patches);
    // The last record claims more bytes than the file holds: ignored.
    verdata[4 + 5 * 20 + 12] = 0xFF;
    verdata[4 + 5 * 20 + 13] = 0xFF;
    WriteBytes(Hd() + "verdata.mul", verdata);

    for (bool onCd : {false, true}) {
        Start(onCd);
        cache_.LoadPatches();
        u32 extra;
        EXPECT_EQ(Read(0, nullptr, &extra), "second");
        EXPECT_EQ(extra, 2u);
        EXPECT_EQ(Read(1), "<null>");
        EXPECT_EQ(Read(1024), "same bucket as 0");
        EXPECT_EQ(Read(4), "<null>");  // no file record, and the patch lies outside
        cache_.Shutdown();
    }
    // With UseVerData off the files speak for themselves.
    Start(false, false);
    cache_.LoadPatches();
    EXPECT_EQ(Read(0), "alpha");
    EXPECT_EQ(Read(1), "bravo!");
}

TEST_F(DataFileCacheTest, TableAndFontPatchesReachTheirTablesWithinBounds) {
    std::vector<u8> tileBlock(kStaticBlockBytes, 0);
    tileBlock[4] = 0x40;  // first record's flags
    tileBlock[4 + 17] = 'x';
    std::vector<u8> animBlock(kAnimDataBlockBytes, 0);
    animBlock[4 + 65] = 3;  // frame count of the first record
    std::vector<u32> fonts;
    CDHDCache::SetFontPatchHandler([&](u32 font, const u8*, size_t) { fonts.push_back(font); });
    WriteBytes(Hd() + "verdata.mul",
               WriteVerdataFile({{kPatchTileData, 512 + 3, tileBlock},
                                 {kPatchTileData, 1024, tileBlock},  // outside: ignored
                                 {kPatchTileData, 600, Bytes("short")},
                                 {kPatchAnimData, 2, animBlock},
                                 {kPatchAnimData, 2048, animBlock},  // outside: ignored
                                 {kPatchFont, 5, Bytes("glyphs")}}));
    TheClientTileData().LoadTileData("");
    TheAnimData().LoadAnimData("");
    Start(false);
    cache_.LoadPatches();
    CDHDCache::SetFontPatchHandler(nullptr);
    EXPECT_EQ(TheClientTileData().Static(3 * 32).flags, 0x40u);
    EXPECT_STREQ(TheClientTileData().Static(3 * 32).name, "x");
    EXPECT_EQ(TheClientTileData().Static(88 * 32).flags, 0u);
    EXPECT_EQ(TheAnimData().Record(16).frameCount, 3);
    EXPECT_EQ(fonts, std::vector<u32>{5});
    TheClientTileData().LoadTileData("");
    TheAnimData().LoadAnimData("");
}

TEST_F(DataFileCacheTest, IndexBlocksOfACdFileStopAtTheFileEnd) {
    Start(true);
    // Four index entries in a 4096-entry block: the fifth is outside the file.
    EXPECT_NE(cache_.GetIndexEntry(kFileArtIndex, 3), nullptr);
    EXPECT_EQ(cache_.GetIndexEntry(kFileArtIndex, 4), nullptr);
    EXPECT_EQ(cache_.GetIndexEntry(kFileMap, 0), nullptr);  // map0.mul is empty
    EXPECT_EQ(cache_.GetIndexEntry(kDataFileCount, 0), nullptr);
}

std::vector<u8> IndexEntry(const std::string& path, s32 id) {
    const std::vector<u8> index = ReadBytes(path);
    return std::vector<u8>(index.begin() + id * 12, index.begin() + id * 12 + 12);
}

TEST_F(DataFileCacheTest, UpdateRecordWritesOverLongerAtTheEndAndZeroRemoves) {
    struct Case {
        const char* name;
        std::string replacement;
        s32 expectedOffset;  // -1 absent; -2 the old data file's end
    } cases[] = {
        {
            "shorter",
            "bra",
            5,
        },
        {"equal", "BRAVO?", 5},
        {"longer", "bravissimo", -2},
        {"zero", "", -1},
    };
    for (const Case& c : cases) {
        Start(false);
        const size_t oldEnd = std::filesystem::file_size(Hd() + "art.mul");
        ASSERT_EQ(Read(1), "bravo!");
        ASSERT_TRUE(cache_.UpdateRecord(kFileArtIndex, kFileArt, 1, 0x55,
                                        reinterpret_cast<const u8*>(c.replacement.data()),
                                        static_cast<s32>(c.replacement.size())))
            << c.name;
        const std::vector<u8> entry = IndexEntry(Hd() + "artidx.mul", 1);
        const s32 offset =
            static_cast<s32>(entry[0] | entry[1] << 8 | entry[2] << 16 | entry[3] << 24);
        const s32 expected = c.expectedOffset == -2 ? static_cast<s32>(oldEnd) : c.expectedOffset;
        EXPECT_EQ(offset, expected) << c.name;
        EXPECT_EQ(entry[4], c.replacement.size()) << c.name;
        EXPECT_EQ(entry[8], 0x55) << c.name;
        u32 extra;
        EXPECT_EQ(Read(1, nullptr, &extra), c.replacement.empty() ? "<null>" : c.replacement)
            << c.name;
        EXPECT_EQ(extra, 0x55u) << c.name;
        EXPECT_EQ(Read(0), "alpha") << c.name;  // neighbours untouched
        cache_.Shutdown();
    }
}

TEST_F(DataFileCacheTest, UpdateRecordOnACdInstallOnlyForgetsTheCachedCopy) {
    Start(true);
    const std::vector<u8> index = ReadBytes(Cd() + "artidx.mul");
    const std::vector<u8> data = ReadBytes(Cd() + "art.mul");
    ASSERT_EQ(Read(1), "bravo!");
    ASSERT_EQ(cache_.Cache().UsedMostRecentFirst().size(), 2u);  // index block and record
    const std::string replacement = "changed";
    EXPECT_FALSE(cache_.UpdateRecord(kFileArtIndex, kFileArt, 1, 0,
                                     reinterpret_cast<const u8*>(replacement.data()), 7));
    EXPECT_EQ(cache_.Cache().UsedMostRecentFirst().size(), 1u);
    EXPECT_EQ(ReadBytes(Cd() + "artidx.mul"), index);
    EXPECT_EQ(ReadBytes(Cd() + "art.mul"), data);
    EXPECT_FALSE(std::filesystem::exists(Hd() + "art.mul"));
    EXPECT_EQ(Read(1), "bravo!");
}

TEST_F(DataFileCacheTest, ArtRecordsComeFromTheClientsCache) {
    std::filesystem::create_directories(Hd());
    WriteDataFiles(Hd(), FourArtRecords());
    DataCacheSettings s;
    s.hdDir = Hd();
    s.maximumInstall = true;
    TheDataCache().Init(s);
    s32 length = -1;
    const u8* art = GetArtRecord(1, &length);
    EXPECT_EQ(AsText(art, length), "bravo!");
    EXPECT_EQ(GetArtRecord(2, &length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(GetArtRecord(0x4000), nullptr);  // no static art in this install
    TheDataCache().Shutdown();
}

// A data file replaced by a directory, an endless device or a pipe: the start neither waits
// nor fails; the mapping's message names the file and what stands there, and its records
// read as absent.
TEST_F(DataFileCacheTest, ADataFileThatIsNoRegularFileIsNamedAndReadsAsAbsent) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> place;
        const char* reason;
    } cases[] = {
        {"directory", [](const std::string& p) { std::filesystem::create_directory(p); },
         "(Is a directory)"},
        {"endless device",
         [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
         "(not a regular file)"},
        {"pipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         "(not a regular file)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = env_.Backend().Messages().size();
        std::filesystem::remove_all(Hd());
        WriteDataFiles(Hd(), FourArtRecords());
        std::filesystem::remove(Hd() + "art.mul");
        c.place(Hd() + "art.mul");
        DataCacheSettings s;
        s.hdDir = Hd();
        s.maximumInstall = true;
        cache_.Init(s);
        const auto& messages = env_.Backend().Messages();
        ASSERT_EQ(messages.size(), before + 1);
        EXPECT_NE(messages.back().text.find("mmf " + Hd() + "art.mul: Error"), std::string::npos)
            << messages.back().text;
        EXPECT_NE(messages.back().text.find(c.reason), std::string::npos) << messages.back().text;
        EXPECT_EQ(Read(0), "<null>");
        cache_.Shutdown();
    }
}

using DataFileCacheLimitDeathTest = DataFileCacheTest;

// Under a file-size limit below the block cache's size the cache cannot be written: the
// client says so once and reads the CD's records in place instead of dying by SIGXFSZ.
TEST_F(DataFileCacheLimitDeathTest, ACacheFilePastTheFileSizeLimitIsReportedOnceAndLeftOut) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto startUnderTheLimit = [this] {
        const rlimit limit{64 << 10, 64 << 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        Start(true);
        const bool saidOnce = env_.Backend().Messages().size() == 1;
        const bool reads = Read(0) == "alpha" && Read(1) == "bravo!" && Read(2) == "<null>";
        const bool gone = !std::filesystem::exists(Hd() + "cache.zq");
        std::fprintf(stderr, "once %d reads %d cache %d gone %d\n", saidOnce, reads,
                     cache_.HasBlockCache(), gone);
        std::_Exit(0);
    };
    EXPECT_EXIT(startUnderTheLimit(), ::testing::ExitedWithCode(0),
                "Failed to write .*/hd/cache.zq \\(File too large\\); the client goes on "
                "without its disk cache.*once 1 reads 1 cache 0 gone 1");
}

TEST(DataFileCacheDeathTest, AFileFoundNowhereEndsTheClient) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClientTestEnv env;
    DataCacheSettings s;
    s.hdDir = env.Dir() + "/";
    CDHDCache cache;
    EXPECT_EXIT(cache.Init(s), ::testing::ExitedWithCode(1),
                "Unable to open file: Failed to open 'map0.mul' both from CD and HD.");
    s.maximumInstall = true;
    EXPECT_EXIT(cache.Init(s), ::testing::ExitedWithCode(1),
                "Failed to open 'map0.mul' from HD using a maximum install.  Either");
}

}  // namespace
