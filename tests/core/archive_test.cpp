#include "core/archive.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/archive_builder.h"
#include "platform/random.h"
#include "tests/core/archive_fixture.h"

namespace {

std::vector<u8> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<u8>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

const ArchiveEntry* EntryNamed(const std::string& name) {
    DataArchive* a = GetDataArchive();
    for (int i = 0; i < a->EntryCount(); ++i) {
        if (a->Entry(i).name == name) return &a->Entry(i);
    }
    return nullptr;
}

// The deciphered stored bytes of a member, as they lie in the archive file.
std::vector<u8> StoredPlain(const std::string& file, const std::string& name) {
    const ArchiveEntry* e = EntryNamed(name);
    EXPECT_NE(e, nullptr) << name;
    if (e == nullptr) return {};
    std::vector<u8> all = FileBytes(file);
    size_t start = GetDataArchive()->DirectorySize() + e->offset;
    std::vector<u8> stored(all.begin() + start, all.begin() + start + e->size);
    GetDataArchive()->Cipher().Apply(stored.data(), stored.size());
    return stored;
}

// Padding and trailer: every logical length is stored as its bytes, zero padding up to a
// multiple of 4, then the length; reading gives back exactly the bytes, then the end test.
// 4092 and 8188 bytes make stored sizes that are whole pages.
TEST_F(ArchiveTest, StoredLayoutAndReadBackForEveryLength) {
    const size_t lengths[] = {0, 1, 3, 4, 10, 4091, 4092, 4093, 4096, 8188, 8192, 10000};
    ArchiveBuilder b;
    for (size_t n : lengths) {
        ASSERT_TRUE(b.Add("m" + std::to_string(n), Pattern(n, u32(n))));
    }
    Open(b);
    for (size_t n : lengths) {
        SCOPED_TRACE(n);
        std::string name = "m" + std::to_string(n) + ".q";
        std::vector<u8> stored = StoredPlain(path_, name);
        size_t padded = (n + 3) / 4 * 4;
        ASSERT_EQ(stored.size(), padded + 4);
        EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + n, Pattern(n, u32(n)).begin()));
        for (size_t i = n; i < padded; ++i)
            EXPECT_EQ(stored[i], 0);
        u32 trailer;
        std::memcpy(&trailer, &stored[padded], 4);
        EXPECT_EQ(trailer, n);

        for (size_t chunk : {size_t(1), size_t(4096), size_t(20000)}) {
            EXPECT_EQ(ReadAll(("m" + std::to_string(n)).c_str(), chunk), Pattern(n, u32(n)));
        }
    }
}

// Ten logical bytes: 10 content, 2 padding, 4 length; the eleventh read sets the end test.
TEST_F(ArchiveTest, TenByteMemberEndTest) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("ten", std::string_view("0123456789")));
    Open(b);
    EXPECT_EQ(EntryNamed("ten.q")->size, 16u);
    ArchiveHandle h = ArchiveOpen("ten", "r");
    ASSERT_NE(h, nullptr);
    char buf[32];
    EXPECT_EQ(ArchiveRead(buf, 1, 10, h), 10u);
    EXPECT_EQ(ArchiveEof(h), 0);
    EXPECT_EQ(ArchiveTell(h), 10);
    EXPECT_EQ(ArchiveRead(buf, 1, 1, h), 0u);
    EXPECT_NE(ArchiveEof(h), 0);
    EXPECT_EQ(ArchiveClose(h), 0);
}

// Reads of every size and after seeks land on the right bytes across page boundaries.
TEST_F(ArchiveTest, PagingReadsAndSeeks) {
    const std::vector<u8> data = Pattern(20000, 7);
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("big.bin", data));
    Open(b);
    for (size_t chunk : {1, 7, 4095, 4096, 4097, 12289}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(ReadAll("big.bin", chunk), data);
    }
    struct Case {
        long offset;
        int whence;
        long expectPos;
    };
    const Case cases[] = {
        {0, 0, 0},      {4095, 0, 4095},   {4096, 0, 4096}, {4097, 0, 4097},
        {-1, 2, 19999}, {-4096, 2, 15904}, {100, 1, 100},   {12288, 0, 12288},
    };
    ArchiveHandle h = ArchiveOpen("big.bin", "r");
    ASSERT_NE(h, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectPos);
        if (c.whence == 1) {
            ASSERT_EQ(ArchiveSeek(h, 0, 0), 0);
        }
        ASSERT_EQ(ArchiveSeek(h, c.offset, c.whence), 0);
        EXPECT_EQ(ArchiveTell(h), c.expectPos);
        u8 got[300];
        size_t want = std::min<size_t>(sizeof got, data.size() - size_t(c.expectPos));
        ASSERT_EQ(ArchiveRead(got, 1, want, h), want);
        EXPECT_EQ(std::memcmp(got, &data[size_t(c.expectPos)], want), 0);
        EXPECT_EQ(ArchiveGetc(h) == -1, c.expectPos + long(want) == 20000);
    }
    EXPECT_NE(ArchiveSeek(h, -1, 0), 0);
    ArchiveClose(h);
}

// Gets and Getc at the end of the data.
TEST_F(ArchiveTest, GetsAndGetcAtTheEnd) {
    struct Case {
        std::string content;
        int size;
        std::vector<std::string> lines;  // buffer after each call
        std::vector<bool> null;          // whether each call answered null
    };
    const Case cases[] = {
        {"ab", 64, {"ab"}, {true}},
        {"ab\n", 64, {"ab\n", ""}, {false, true}},
        {"a\r\nb\n", 64, {"a\r\n", "b\n", ""}, {false, false, true}},
        {"a\xff"
         "b",
         64,
         {"a\xff", "b"},
         {false, true}},
        {"abcdef\n", 4, {"abc", "def", "\n", ""}, {false, false, false, true}},
        {"", 64, {""}, {true}},
    };
    ArchiveBuilder b;
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_TRUE(b.Add("t" + std::to_string(i), std::string_view(cases[i].content)));
    }
    Open(b);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        ArchiveHandle h = ArchiveOpen(("t" + std::to_string(i)).c_str(), "r");
        ASSERT_NE(h, nullptr);
        for (size_t k = 0; k < c.lines.size(); ++k) {
            char buf[64];
            std::memset(buf, 'x', sizeof buf);
            char* r = ArchiveGets(buf, c.size, h);
            EXPECT_EQ(std::string(buf), c.lines[k]) << k;
            EXPECT_EQ(r == nullptr, bool(c.null[k])) << k;
        }
        EXPECT_NE(ArchiveEof(h), 0);
        EXPECT_EQ(ArchiveGetc(h), -1);
        EXPECT_EQ(ArchiveTell(h), long(c.content.size()) + 1);
        ArchiveClose(h);
    }
}

TEST_F(ArchiveTest, GetcReadsEveryByteThenAnswersMinusOne) {
    ArchiveBuilder b;
    const std::string text = "x\xff\n\x01";
    ASSERT_TRUE(b.Add("g", std::string_view(text)));
    Open(b);
    ArchiveHandle h = ArchiveOpen("g", "r");
    ASSERT_NE(h, nullptr);
    for (char c : text) {
        EXPECT_EQ(ArchiveGetc(h), int(u8(c)));
        EXPECT_EQ(ArchiveEof(h), 0);
    }
    EXPECT_EQ(ArchiveGetc(h), -1);
    EXPECT_NE(ArchiveEof(h), 0);
    // Nothing is pushed back into an archive stream.
    EXPECT_EQ(ArchiveUngetc('x', h), 0);
    EXPECT_EQ(ArchiveGetc(h), -1);
    ArchiveClose(h);
}

// Names: stored lower-cased with ".q"; found whatever the case of the path opened.
TEST_F(ArchiveTest, NamesAreLowerCased) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("../.rundir/X/Server.TXT", std::string_view("<id 3>")));
    ASSERT_TRUE(b.Add("../.rundir/hues.mul", std::string_view("h")));
    Open(b);
    EXPECT_NE(EntryNamed("../.rundir/x/server.txt.q"), nullptr);
    EXPECT_NE(EntryNamed("../.rundir/hues.mul.q"), nullptr);
    for (const char* path :
         {"../.rundir/X/Server.TXT", "../.rundir/x/server.txt", "../.RUNDIR/X/SERVER.TXT"}) {
        ArchiveHandle h = ArchiveOpen(path, "r");
        EXPECT_NE(h, nullptr) << path;
        ArchiveClose(h);
    }
    EXPECT_EQ(ArchiveOpen("../.rundir/x/server.txt.q", "r"), nullptr);
    EXPECT_EQ(ArchiveOpen("server.txt", "r"), nullptr);
    EXPECT_EQ(ArchiveMemberName("A/b.C"), "a/b.c.q");
}

// The exact form takes the stored name itself: nothing is appended, only A-Z are folded.
TEST_F(ArchiveTest, OpenExactTakesTheStoredName) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("../.rundir/hues.mul", std::string_view("hues")));
    ASSERT_TRUE(b.Add("ro", std::string_view("fixed"), true));
    Open(b);
    struct Case {
        const char* name;
        const char* mode;
        const char* content;  // null: refused
    };
    const Case cases[] = {
        {"../.rundir/hues.mul.q", "r", "hues"},
        {"../.RUNDIR/Hues.Mul.Q", "r", "hues"},
        {"../.rundir/hues.mul", "r", nullptr},  // the path, not the member's name
        {"../.rundir/hues.mul.q.q", "r", nullptr},
        {"ro.q", "r", "fixed"},
        {"ro.q", "r+", nullptr},  // read-only
        {"missing.q", "r", nullptr},
        {".q", "r", nullptr},
        {"q", "r", nullptr},
        {"", "r", nullptr},
    };
    for (const Case& c : cases) {
        ArchiveHandle h = ArchiveOpenExact(c.name, c.mode);
        ASSERT_EQ(h != nullptr, c.content != nullptr) << c.name << " " << c.mode;
        if (h == nullptr) continue;
        char buf[32] = {};
        ArchiveGets(buf, sizeof buf, h);
        EXPECT_STREQ(buf, c.content) << c.name;
        // One stream per member, whichever way it was opened.
        EXPECT_EQ(ArchiveOpenExact(c.name, c.mode), nullptr) << c.name;
        ArchiveClose(h);
    }
    EXPECT_EQ(ArchiveOpenExact(nullptr, "r"), nullptr);
    EXPECT_EQ(ArchiveOpenExact(std::string(300, 'a').append(".q").c_str(), "r"), nullptr);
}

// Read-only members refuse every write open; a 'w' open of a writable member starts empty.
TEST_F(ArchiveTest, ReadOnlyAndWriteOpens) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("ro", std::string_view("fixed"), true));
    ASSERT_TRUE(b.Add("rw", std::string_view("old contents"), false, 64));
    Open(b);
    struct Case {
        const char* path;
        const char* mode;
        bool opens;
    };
    const Case cases[] = {
        {"ro", "r", true},   {"ro", "rb", true},     {"ro", "w", false}, {"ro", "wb", false},
        {"ro", "r+", false}, {"ro", "a+", false},    {"rw", "r", true},  {"rw", "r+", true},
        {"rw", "w", true},   {"absent", "r", false},
    };
    for (const Case& c : cases) {
        ArchiveHandle h = ArchiveOpen(c.path, c.mode);
        EXPECT_EQ(h != nullptr, c.opens) << c.path << " " << c.mode;
        if (h != nullptr) ArchiveClose(h);
    }
    // The 'w' open above emptied the member.
    EXPECT_TRUE(ReadAll("rw").empty());
    EXPECT_EQ(ReadAll("ro").size(), 5u);
    // Writing to a member opened for reading does nothing.
    ArchiveHandle h = ArchiveOpen("ro", "r");
    EXPECT_EQ(ArchiveWrite("x", 1, 1, h), 0u);
    ArchiveClose(h);
}

// The access modes (O_RDONLY, O_WRONLY, O_RDWR) of this process's open descriptors of `path`.
std::vector<int> OpenModesOf(const std::string& path) {
    std::vector<int> modes;
    std::error_code ec;
    const auto target = std::filesystem::canonical(path, ec);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(fd.path(), linkError) != target || linkError) continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        std::string key;
        while (info >> key) {
            if (key == "flags:") {
                std::string octal;
                info >> octal;
                modes.push_back(static_cast<int>(std::stol(octal, nullptr, 8)) & O_ACCMODE);
                break;
            }
        }
    }
    return modes;
}

// An archive the demo only reads is never opened for writing, so a read-only file serves;
// it is opened for writing only when a member is.
TEST_F(ArchiveTest, TheArchiveFileIsWrittenOnlyWhenAMemberIs) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("config", std::string_view("<width 64>"), true));
    ASSERT_TRUE(b.Add("save", std::string_view("old"), false, 64));
    Open(b);
    EXPECT_EQ(OpenModesOf(path_), std::vector<int>{O_RDONLY});
    EXPECT_EQ(ReadAll("config").size(), 10u);
    EXPECT_EQ(ReadAll("save").size(), 3u);
    EXPECT_EQ(OpenModesOf(path_), std::vector<int>{O_RDONLY});
    // A write open reopens the file for writing; streams open for reading go on.
    ArchiveHandle reader = ArchiveOpen("config", "r");
    ASSERT_NE(reader, nullptr);
    char first[4] = {};
    ASSERT_EQ(ArchiveRead(first, 1, 3, reader), 3u);
    ArchiveHandle writer = ArchiveOpen("save", "w");
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(OpenModesOf(path_), std::vector<int>{O_RDWR});
    EXPECT_EQ(ArchiveWrite("new!", 1, 4, writer), 4u);
    EXPECT_EQ(ArchiveClose(writer), 0);
    char rest[8] = {};
    EXPECT_EQ(ArchiveRead(rest, 1, sizeof rest, reader), 7u);
    EXPECT_EQ(std::string(first) + rest, "<width 64>");
    ArchiveClose(reader);
    Reopen();
    std::vector<u8> saved = ReadAll("save");
    EXPECT_EQ(std::string(saved.begin(), saved.end()), "new!");
}

TEST_F(ArchiveTest, AnArchiveThatMayNotBeWrittenIsReadAndRefusesWriteOpens) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("config", std::string_view("<width 64>"), true));
    ASSERT_TRUE(b.Add("save", std::string_view("old"), false, 64));
    path_ = TestFilePath(".dat");
    ASSERT_TRUE(b.Write(path_)) << b.Error();
    const std::vector<u8> before = FileBytes(path_);
    const std::string moved = path_ + ".moved";
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
        ASSERT_TRUE(InitDataArchive(path_.c_str())) << DataArchiveError();
    } else {
        // Permissions do not bind the superuser: the file is moved away under the open
        // archive and a directory takes its name, which no one can open for writing.
        ASSERT_TRUE(InitDataArchive(path_.c_str())) << DataArchiveError();
        ASSERT_EQ(std::rename(path_.c_str(), moved.c_str()), 0);
        ASSERT_EQ(mkdir(path_.c_str(), 0755), 0);
    }
    EXPECT_EQ(ReadAll("config").size(), 10u);
    EXPECT_EQ(ArchiveOpen("save", "w"), nullptr);
    EXPECT_EQ(ArchiveOpen("save", "r+"), nullptr);
    EXPECT_NE(GetDataArchive()->Error().find("cannot write to the data archive"), std::string::npos)
        << GetDataArchive()->Error();
    // The refused opens changed nothing: the member still reads as it was.
    std::vector<u8> saved = ReadAll("save");
    EXPECT_EQ(std::string(saved.begin(), saved.end()), "old");
    ShutdownDataArchive();
    if (geteuid() == 0) {
        rmdir(path_.c_str());
        std::rename(moved.c_str(), path_.c_str());
    }
    chmod(path_.c_str(), 0644);
    EXPECT_EQ(FileBytes(path_), before);
}

// A write past a non-zero capacity is cut so that the padding and the trailer still fit,
// and the cut content reads back after a reopen.
TEST_F(ArchiveTest, CapacityCutsWrites) {
    struct Case {
        u32 capacity;
        size_t write;
        size_t accepted;
    };
    const Case cases[] = {
        {64, 10, 10},       {64, 60, 60},       {64, 61, 60}, {64, 1000, 60},
        {8192, 8188, 8188}, {8192, 9000, 8188}, {7, 10, 0},
    };
    ArchiveBuilder b;
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_TRUE(b.Add("c" + std::to_string(i), std::string_view(""), false, cases[i].capacity));
    }
    ASSERT_TRUE(b.Add("after", std::string_view("neighbour")));
    Open(b);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::string name = "c" + std::to_string(i);
        std::vector<u8> data = Pattern(cases[i].write, u32(i));
        ArchiveHandle h = ArchiveOpen(name.c_str(), "w");
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(ArchiveWrite(data.data(), 1, data.size(), h), cases[i].accepted);
        EXPECT_EQ(ArchiveClose(h), 0);
    }
    Reopen();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::vector<u8> data = Pattern(cases[i].write, u32(i));
        data.resize(cases[i].accepted);
        EXPECT_EQ(ReadAll(("c" + std::to_string(i)).c_str()), data);
    }
    std::vector<u8> after = ReadAll("after");
    EXPECT_EQ(std::string(after.begin(), after.end()), "neighbour");
}

// A writable member without a capacity may not grow into the next member's bytes; the last
// member may grow without limit.
TEST_F(ArchiveTest, GrowthStopsAtTheNextMember) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("first", std::string_view("12345678"), false));  // stored 12 bytes
    ASSERT_TRUE(b.Add("second", std::string_view("neighbour")));
    ASSERT_TRUE(b.Add("last", std::string_view(""), false));
    Open(b);
    std::vector<u8> big = Pattern(50000, 3);
    ArchiveHandle h = ArchiveOpen("first", "r+");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(ArchiveSeek(h, 0, 2), 0);
    EXPECT_EQ(ArchiveWrite(big.data(), 1, 100, h), 0u);
    ASSERT_EQ(ArchiveSeek(h, 0, 0), 0);
    EXPECT_EQ(ArchiveWrite("ABCDEFGH", 1, 8, h), 8u);  // in place: fits
    ArchiveClose(h);
    h = ArchiveOpen("last", "w");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ArchiveWrite(big.data(), 1, big.size(), h), big.size());
    ArchiveClose(h);
    Reopen();
    EXPECT_EQ(ReadAll("first"), std::vector<u8>({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));
    std::vector<u8> second = ReadAll("second");
    EXPECT_EQ(std::string(second.begin(), second.end()), "neighbour");
    EXPECT_EQ(ReadAll("last"), big);
}

// Writes of many sizes, in place, appended and past the end, all read back after a reopen.
TEST_F(ArchiveTest, WritesReadBackAfterReopen) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("data", Pattern(10000, 1), false));
    Open(b);
    std::vector<u8> expect = Pattern(10000, 1);

    // Overwrite across a page boundary, then append in uneven pieces through 5 pages.
    ArchiveHandle h = ArchiveOpen("data", "r+");
    ASSERT_NE(h, nullptr);
    std::vector<u8> patch = Pattern(300, 9);
    ASSERT_EQ(ArchiveSeek(h, 4000, 0), 0);
    ASSERT_EQ(ArchiveWrite(patch.data(), 1, patch.size(), h), patch.size());
    std::copy(patch.begin(), patch.end(), expect.begin() + 4000);
    ASSERT_EQ(ArchiveSeek(h, 0, 2), 0);
    std::vector<u8> more = Pattern(21000, 5);
    size_t at = 0;
    for (size_t step = 1; at < more.size(); step = step * 3 + 1) {
        size_t n = std::min(step, more.size() - at);
        ASSERT_EQ(ArchiveWrite(&more[at], 1, n, h), n);
        at += n;
    }
    expect.insert(expect.end(), more.begin(), more.end());
    // Reading back through the same stream, before it is closed.
    ASSERT_EQ(ArchiveSeek(h, 3990, 0), 0);
    u8 got[400];
    ASSERT_EQ(ArchiveRead(got, 1, sizeof got, h), sizeof got);
    EXPECT_EQ(std::memcmp(got, &expect[3990], sizeof got), 0);
    // A write past the end leaves zeros in the gap.
    ASSERT_EQ(ArchiveSeek(h, 5000, 2), 0);
    ASSERT_EQ(ArchiveWrite("end", 1, 3, h), 3u);
    expect.resize(expect.size() + 5000, 0);
    expect.insert(expect.end(), {'e', 'n', 'd'});
    EXPECT_EQ(ArchiveClose(h), 0);

    EXPECT_EQ(ReadAll("data"), expect);
    Reopen();
    EXPECT_EQ(ReadAll("data", 333), expect);
    const ArchiveEntry* e = EntryNamed("data.q");
    EXPECT_EQ(e->size, (expect.size() + 3) / 4 * 4 + 4);
}

// Random seeks, reads, writes, single bytes and reopens on a growing member, against a
// plain byte vector: every paging path (loads of several pages, growth, pages written out
// ahead of the offset, writes past the end) must agree with it.
TEST_F(ArchiveTest, RandomOperationsMatchAModel) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("before", std::string_view("x")));
    ASSERT_TRUE(b.Add("m", Pattern(5000, 2), false));
    Open(b);
    std::vector<u8> model = Pattern(5000, 2);
    size_t pos = 0;
    platform::SeedRandom(99);
    auto big = [&](size_t n) { return (size_t(platform::Rand()) << 15 | platform::Rand()) % n; };
    ArchiveHandle h = ArchiveOpen("m", "r+");
    ASSERT_NE(h, nullptr);
    for (int op = 0; op < 3000; ++op) {
        SCOPED_TRACE(op);
        switch (platform::Rand() % 6) {
            case 0:
                pos = big(model.size() + 100);
                ASSERT_EQ(ArchiveSeek(h, long(pos), SEEK_SET), 0);
                break;
            case 1: {
                size_t n = big(20000);
                std::vector<u8> got(n);
                size_t k = ArchiveRead(got.data(), 1, n, h);
                size_t expect = pos < model.size() ? std::min(n, model.size() - pos) : 0;
                ASSERT_EQ(k, expect);
                ASSERT_TRUE(std::equal(got.begin(), got.begin() + long(k),
                                       model.begin() + long(std::min(pos, model.size()))));
                pos += k;
                if (k < n) pos = std::max(pos, model.size() + 1);
                break;
            }
            case 2:
            case 3: {
                size_t n = big(platform::Rand() % 4 == 0 ? 40000 : 3000);
                std::vector<u8> data = Pattern(n, u32(op));
                ASSERT_EQ(ArchiveWrite(data.data(), 1, n, h), n);
                if (pos > model.size()) model.resize(pos, 0);
                if (pos + n > model.size()) model.resize(pos + n);
                std::copy(data.begin(), data.end(), model.begin() + long(pos));
                pos += n;
                break;
            }
            case 4: {
                int c = ArchiveGetc(h);
                ASSERT_EQ(c, pos < model.size() ? int(model[pos]) : -1);
                pos = pos < model.size() ? pos + 1 : std::max(pos, model.size() + 1);
                break;
            }
            default:
                if (platform::Rand() % 10 == 0) {
                    ASSERT_EQ(ArchiveClose(h), 0);
                    h = ArchiveOpen("m", "r+");
                    ASSERT_NE(h, nullptr);
                    pos = 0;
                }
                break;
        }
        ASSERT_EQ(ArchiveTell(h), long(pos));
        ASSERT_EQ(ArchiveEof(h) != 0, pos > model.size());
    }
    ASSERT_EQ(ArchiveClose(h), 0);
    Reopen();
    EXPECT_TRUE(ReadAll("m", 7777) == model);
    std::vector<u8> before = ReadAll("before");
    EXPECT_EQ(std::string(before.begin(), before.end()), "x");
}

// One stream per member; a closed handle is refused rather than treated as a FILE*.
TEST_F(ArchiveTest, HandlesAreCheckedOnEveryCall) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("one", std::string_view("1")));
    Open(b);
    ArchiveHandle h = ArchiveOpen("one", "r");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ArchiveOpen("one", "r"), nullptr);
    EXPECT_EQ(ArchiveClose(h), 0);
    EXPECT_EQ(ArchiveClose(h), EOF);
    EXPECT_EQ(ArchiveGetc(h), EOF);
    EXPECT_EQ(ArchiveClose(nullptr), EOF);
    h = ArchiveOpen("one", "r");
    EXPECT_NE(h, nullptr);
    ArchiveClose(h);
}

// The API also works over a plain runtime file.
TEST_F(ArchiveTest, PlainFilesPassThrough) {
    std::string plain = TestFilePath(".txt");
    WriteFileBytes(plain, {'a', 'b', '\n', 'c'});
    std::FILE* f = std::fopen(plain.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buf[16];
    EXPECT_EQ(ArchiveGets(buf, sizeof buf, f), buf);
    EXPECT_STREQ(buf, "ab\n");
    EXPECT_EQ(ArchiveGetc(f), 'c');
    EXPECT_EQ(ArchiveUngetc('c', f), 'c');
    EXPECT_EQ(ArchiveGetc(f), 'c');
    EXPECT_EQ(ArchiveGetc(f), EOF);
    EXPECT_NE(ArchiveEof(f), 0);
    EXPECT_EQ(ArchiveClose(f), 0);
    std::remove(plain.c_str());
}

TEST_F(ArchiveTest, BuilderIsDeterministicAndChecksItsInput) {
    auto make = [](ArchiveBuilder& b) {
        EXPECT_TRUE(b.Add("a.txt", std::string_view("alpha")));
        EXPECT_TRUE(b.Add("B.bin", Pattern(5000), false, 8192));
    };
    ArchiveBuilder x, y;
    make(x);
    make(y);
    EXPECT_EQ(x.Build(), y.Build());
    EXPECT_EQ(x.Build().size(), 3u * 280 + 12 + 8192);

    ArchiveBuilder c;
    EXPECT_TRUE(c.Add("dup", std::string_view("1")));
    EXPECT_FALSE(c.Add("DUP", std::string_view("2")));
    EXPECT_FALSE(c.Add("small", std::string_view("12345"), false, 8));  // needs 12
    EXPECT_TRUE(c.Add("fits", std::string_view("12345678"), false, 12));
    EXPECT_FALSE(c.Add(std::string(258, 'n'), std::string_view("")));
    EXPECT_TRUE(c.Add(std::string(257, 'n'), std::string_view("")));
    EXPECT_FALSE(c.Add("", std::string_view("")));
}

// --- A malformed archive file -----------------------------------------------------------

class ArchiveFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        ShutdownDataArchive();
        std::remove(path_.c_str());
    }
    std::string path_ = TestFilePath(".dat");
};

std::vector<u8> EncipheredEntry(const std::string& name, u32 offset = 0, u32 size = 0) {
    ArchiveEntry e;
    e.name = name;
    e.offset = offset;
    e.size = size;
    std::vector<u8> raw(kArchiveEntrySize);
    EncodeArchiveEntry(e, raw.data());
    GostCipher cipher(kArchiveKey);
    GostCounterMode(cipher, kArchiveInitialCounter).Apply(raw.data(), raw.size());
    return raw;
}

TEST_F(ArchiveFileTest, MalformedDirectoriesAreErrorsNotCrashes) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("a", std::string_view("aaaa")));
    ASSERT_TRUE(b.Add("b", std::string_view("bbbb")));
    std::vector<u8> good = b.Build();

    std::vector<u8> noEnd;
    for (int i = 0; i <= kArchiveMaxEntries; ++i) {
        std::vector<u8> e = EncipheredEntry("m" + std::to_string(i) + ".q");
        noEnd.insert(noEnd.end(), e.begin(), e.end());
    }
    std::vector<u8> atLimit;
    for (int i = 0; i < kArchiveMaxEntries; ++i) {
        std::vector<u8> e = EncipheredEntry("m" + std::to_string(i) + ".q", u32(i));
        atLimit.insert(atLimit.end(), e.begin(), e.end());
    }
    std::vector<u8> end = EncipheredEntry(kArchiveEndName);
    atLimit.insert(atLimit.end(), end.begin(), end.end());
    atLimit.resize(atLimit.size() + kArchiveMaxEntries, 0);

    std::vector<u8> unterminated = good;
    {
        std::vector<u8> raw(kArchiveEntrySize, 'z');
        GostCipher cipher(kArchiveKey);
        GostCounterMode(cipher, kArchiveInitialCounter).Apply(raw.data(), raw.size());
        std::copy(raw.begin(), raw.end(), unterminated.begin());
    }
    std::vector<u8> overlap = EncipheredEntry("x.q", 0, 8);
    for (const std::vector<u8>& e : {EncipheredEntry("y.q", 4, 4), end}) {
        overlap.insert(overlap.end(), e.begin(), e.end());
    }
    overlap.resize(overlap.size() + 8, 0);
    std::vector<u8> pastEnd = EncipheredEntry("x.q", 0, 100);
    pastEnd.insert(pastEnd.end(), end.begin(), end.end());

    struct Case {
        const char* what;
        std::vector<u8> bytes;
        const char* message;  // empty: opens
    };
    const Case cases[] = {
        {"good", good, ""},
        {"empty file", {}, "cut short after 0 entries"},
        {"cut in the first entry", std::vector<u8>(good.begin(), good.begin() + 100),
         "cut short after 0 entries"},
        {"cut before the end entry", std::vector<u8>(good.begin(), good.begin() + 2 * 280),
         "cut short after 2 entries"},
        {"no end entry within 3000", noEnd, "no end entry within 3000 entries"},
        {"3000 members and the end entry", atLimit, ""},
        {"unterminated name", unterminated, "entry 0 has an unterminated name"},
        {"member past the end of the file", pastEnd, "member x.q runs past the end"},
        {"members sharing bytes", overlap, "members x.q and y.q overlap"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(path_, c.bytes);
        const bool ok = InitDataArchive(path_.c_str());
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(ok) << DataArchiveError();
        } else {
            EXPECT_FALSE(ok);
            EXPECT_NE(DataArchiveError().find(c.message), std::string::npos) << DataArchiveError();
            EXPECT_NE(DataArchiveError().find(path_), std::string::npos);
            EXPECT_EQ(ArchiveOpen("a", "r"), nullptr);
        }
    }
    EXPECT_EQ(GetDataArchive()->EntryCount(), 0);
    ShutdownDataArchive();
    std::remove(path_.c_str());
    EXPECT_FALSE(InitDataArchive(path_.c_str()));
    EXPECT_NE(DataArchiveError().find("cannot open the data archive"), std::string::npos);
    EXPECT_EQ(ArchiveOpen("a", "r"), nullptr);
}

// A trailer that disagrees with the stored size makes the member unreadable, not garbage.
TEST_F(ArchiveFileTest, CorruptTrailerRefusesTheOpen) {
    ArchiveBuilder b;
    ASSERT_TRUE(b.Add("a", std::string_view("0123456789")));
    ASSERT_TRUE(b.Add("b", std::string_view("ok")));
    std::vector<u8> bytes = b.Build();
    // Flip a bit in the last byte of a's trailer (stored bytes 12..15).
    bytes[3 * 280 + 15] ^= 0x40;
    WriteFileBytes(path_, bytes);
    ASSERT_TRUE(InitDataArchive(path_.c_str()));
    EXPECT_EQ(ArchiveOpen("a", "r"), nullptr);
    ArchiveHandle h = ArchiveOpen("b", "r");
    EXPECT_NE(h, nullptr);
    ArchiveClose(h);
}

}  // namespace
