// Fuzz target: the data archive's directory loader and member streams.
//
// The input is an archive in plain text: directory entries and member pages as they are
// before enciphering. The target enciphers it the way the builder does (so that mutations
// reach the parser instead of dying in the cipher), opens it as the process's archive and
// reads, seeks, writes and rereads every member, checking that what was written reads
// back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "platform/random.h"

namespace {

struct PlainEntry {
    u32 offset;
    u32 size;
};

// Applies the archive's counter mode to a plain (or enciphered) view: directory entries
// up to the end entry, then each member's stored bytes. `toCipher` says which way, which
// decides whether names are looked at before or after the XOR.
std::vector<u8> Transform(const u8* data, size_t size, bool toCipher) {
    static const GostCipher cipher(kArchiveKey);
    static const GostCounterMode counter(cipher, kArchiveInitialCounter);
    std::vector<u8> out(data, data + size);
    std::vector<PlainEntry> entries;
    size_t at = 0;
    for (int i = 0; i <= kArchiveMaxEntries && at + kArchiveEntrySize <= out.size(); ++i) {
        u8 plain[kArchiveEntrySize];
        std::memcpy(plain, &out[at], sizeof plain);
        if (!toCipher) counter.Apply(plain, sizeof plain);
        counter.Apply(&out[at], kArchiveEntrySize);
        at += kArchiveEntrySize;
        ArchiveEntry e;
        if (!DecodeArchiveEntry(plain, e)) break;
        if (e.name == kArchiveEndName) {
            for (const PlainEntry& m : entries) {
                if (u64(at) + m.offset + m.size <= out.size()) {
                    counter.Apply(&out[at + m.offset], m.size);
                }
            }
            break;
        }
        entries.push_back({e.offset, e.size});
    }
    return out;
}

u32 Hash(const u8* data, size_t size) {
    u32 h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

int Pick(int n) {
    return n <= 0 ? 0 : platform::Rand() % n;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "archive_fuzz: %s\n", what);
        std::abort();
    }
}

// Reads a member every way there is, bounded.
void ExerciseReads(const std::string& path) {
    ArchiveHandle h = ArchiveOpen(path.c_str(), "r");
    if (h == nullptr) return;
    char line[300];
    for (int i = 0; i < 2000 && !ArchiveEof(h); ++i) {
        int n = 1 + Pick(int(sizeof line));
        if (ArchiveGets(line, n, h) != nullptr) Check(std::strlen(line) < size_t(n), "Gets");
    }
    ArchiveSeek(h, 0, SEEK_SET);
    long length = 0;
    while (ArchiveGetc(h) >= 0 && length < 200000)
        ++length;
    for (int i = 0; i < 20; ++i) {
        long target = Pick(int(length) + 10);
        int rc = ArchiveSeek(h, target, SEEK_SET);
        if (rc == 0) Check(ArchiveTell(h) == target, "Tell after Seek");
        u8 buf[5000];
        size_t want = size_t(Pick(int(sizeof buf)));
        size_t got = ArchiveRead(buf, 1, want, h);
        Check(got <= want, "Read count");
        ArchiveUngetc('x', h);
    }
    ArchiveClose(h);
}

// Writes at a random place and checks the bytes read back, in the same stream and after
// closing and reopening.
void ExerciseWrites(const std::string& path) {
    const char* mode = Pick(3) == 0 ? "w" : "r+";
    ArchiveHandle h = ArchiveOpen(path.c_str(), mode);
    if (h == nullptr) return;
    ArchiveSeek(h, 0, SEEK_END);
    long length = ArchiveTell(h);
    long at = Pick(int(length) + 64);
    std::vector<u8> bytes(size_t(Pick(9000)));
    for (u8& b : bytes)
        b = u8(platform::Rand());
    if (ArchiveSeek(h, at, SEEK_SET) != 0) {
        ArchiveClose(h);
        return;
    }
    size_t put = ArchiveWrite(bytes.data(), 1, bytes.size(), h);
    Check(put <= bytes.size(), "Write count");
    std::vector<u8> back(put);
    Check(ArchiveSeek(h, at, SEEK_SET) == 0, "Seek back");
    Check(ArchiveRead(back.data(), 1, put, h) == put, "Read back count");
    Check(put == 0 || std::memcmp(back.data(), bytes.data(), put) == 0, "Read back in the stream");
    if (ArchiveClose(h) != 0) return;  // the file could not take the bytes

    h = ArchiveOpen(path.c_str(), "r");
    Check(h != nullptr, "Reopen after a write");
    Check(ArchiveSeek(h, at, SEEK_SET) == 0, "Seek after reopen");
    std::fill(back.begin(), back.end(), 0);
    Check(ArchiveRead(back.data(), 1, put, h) == put, "Read after reopen count");
    Check(put == 0 || std::memcmp(back.data(), bytes.data(), put) == 0, "Read after reopen");
    ArchiveClose(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<u8> file = Transform(data, size, true);
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return 0;
    if (!file.empty() && std::fwrite(file.data(), 1, file.size(), f) != file.size()) {
        std::fclose(f);
        return 0;
    }
    std::fflush(f);
    if (!InitDataArchiveFromFile(f, "fuzz input")) {
        Check(!DataArchiveError().empty(), "a failed open says why");
        ShutdownDataArchive();
        return 0;
    }
    platform::SeedRandom(Hash(data, size));
    std::vector<std::string> paths;
    DataArchive* a = GetDataArchive();
    for (int i = 0; i < a->EntryCount() && i < 64; ++i) {
        const std::string& name = a->Entry(i).name;
        if (name.size() > 2 && name.compare(name.size() - 2, 2, ".q") == 0) {
            paths.push_back(name.substr(0, name.size() - 2));
        }
    }
    for (const std::string& p : paths) {
        ExerciseReads(p);
        ExerciseWrites(p);
        ExerciseReads(p);
    }
    ShutdownDataArchive();
    return 0;
}

// Valid inputs for the smoke driver and the fuzzer's starting corpus: small archives from
// the builder, in plain text.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    auto plain = [&](ArchiveBuilder& b) {
        std::vector<u8> bytes = b.Build();
        std::vector<u8> p = Transform(bytes.data(), bytes.size(), false);
        emit(p.data(), p.size());
    };
    {
        ArchiveBuilder b;
        b.Add("../.rundir/zqgolddemo/server.txt", std::string_view("<spawnclient 0>\n<id 1>\n"));
        plain(b);
    }
    {
        ArchiveBuilder b;
        b.Add("a", std::string_view("line one\r\nline two\n\xff tail"));
        b.Add("b", std::string_view(""), false, 256);
        std::vector<u8> big(9000);
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = u8(i * 7);
        b.Add("c", big, false, 16384);
        b.Add("d", std::string_view("0123456789"), false);
        plain(b);
    }
    {
        ArchiveBuilder b;
        b.Add("page", std::vector<u8>(4092, 'p'), false);  // stored size a whole page
        plain(b);
    }
}
