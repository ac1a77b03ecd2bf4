// Fuzz target: the data-file cache's reads of index entries, records and patches. The input
// is an art index, a `verdata.mul` and an art data file; reads go once through an install on
// the hard disk (with the patches) and once through the CD block cache.
#include <cstdint>

#include "client/data/data_file_cache.h"
#include "fuzz/client_fuzz_support.h"
#include "tools/content_builder/client_files.h"

namespace {

void WriteInstall(const std::string& dir, const std::vector<std::vector<u8>>& parts) {
    std::filesystem::create_directories(dir);
    for (int f = 0; f < kDataFileCount; ++f)
        FuzzWriteFile(dir + DataFileTable(f).name, nullptr, 0);
    FuzzWriteFile(dir + "artidx.mul", parts[0].data(), parts[0].size());
    FuzzWriteFile(dir + "art.mul", parts[2].data(), parts[2].size());
}

void ReadAll(CDHDCache& cache, size_t indexBytes) {
    const s32 last = static_cast<s32>(indexBytes / 12) + 2;
    for (s32 id = -1; id <= last; ++id) {
        s32 length;
        u32 extra;
        const u8* r = cache.GetRecord(kFileArtIndex, kFileArt, id, &length, &extra);
        volatile u32 sum = 0;
        for (s32 i = 0; r && i < length; ++i)
            sum = sum + r[i];
        const u8* entry = cache.GetIndexEntry(kFileArtIndex, id);
        if (entry) sum = sum + entry[11];
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& scratch = FuzzScratchDir();
    const auto parts = FuzzSplit(data, size, 3);

    // The hard-disk install with patches.
    const std::string hd = scratch + "hd/";
    WriteInstall(hd, parts);
    FuzzWriteFile(hd + "verdata.mul", parts[1].data(), parts[1].size());
    {
        CDHDCache cache;
        DataCacheSettings s;
        s.hdDir = hd;
        s.maximumInstall = true;
        cache.Init(s);
        cache.LoadPatches();
        ReadAll(cache, parts[0].size());
    }

    // The CD install through one block cache kept across inputs (made once: 1 MB).
    static CDHDCache* cd = [&] {
        WriteInstall(scratch + "cd/", parts);
        auto* cache = new CDHDCache;
        DataCacheSettings s;
        s.hdDir = scratch + "cdhd/";
        std::filesystem::create_directories(s.hdDir);
        s.cdDir = scratch + "cd/";
        s.useVerData = false;
        cache->Init(s);
        return cache;
    }();
    WriteInstall(scratch + "cd/", parts);
    cd->Cache().DropFile(kFileArtIndex);
    cd->Cache().DropFile(kFileArt);
    cd->CloseFile(kFileArtIndex);
    cd->CloseFile(kFileArt);
    cd->ReopenFile(kFileArtIndex);
    cd->ReopenFile(kFileArt);
    ReadAll(*cd, parts[0].size());
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<IndexedRecord> records = {
        {true, {1, 2, 3, 4}, 7}, {}, {true, std::vector<u8>(40, 9), 0x00100010}};
    std::vector<u8> index, art;
    WriteIndexedRecords(records, index, art);
    std::vector<u8> tileBlock(4 + 32 * 37, 1), animBlock(4 + 8 * 68, 2);
    const std::vector<u8> verdata = WriteVerdataFile({{4, 0, {5, 6}, 1},
                                                      {4, 2, {}, 0},
                                                      {30, 513, tileBlock, 0},
                                                      {31, 3, animBlock, 0},
                                                      {3, 1, std::vector<u8>(12, 0), 0}});
    const std::vector<u8> seed = FuzzJoin({index, verdata, art});
    emit(seed.data(), seed.size());
}
