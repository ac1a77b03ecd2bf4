// The client's data-file cache: records read in place from mapped files on the hard disk,
// and records served through the CD block cache with about one read in ten a miss.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "client/data/data_file_cache.h"
#include "platform/headless/headless_backend.h"
#include "platform/window_backend.h"
#include "tools/content_builder/client_files.h"

namespace {

constexpr int kRecords = 20000;

std::string MakeInstall(const std::string& name) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("zq_bench_" + name)).string() + "/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& file, const std::vector<u8>& bytes) {
        std::ofstream(dir + file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    };
    for (int f = 0; f < kDataFileCount; ++f)
        write(DataFileTable(f).name, {});
    std::vector<IndexedRecord> records(kRecords);
    for (int i = 0; i < kRecords; ++i)
        records[i] = {true, std::vector<u8>(64 + i % 64, static_cast<u8>(i)), 0};
    std::vector<u8> index, data;
    WriteIndexedRecords(records, index, data);
    write("artidx.mul", index);
    write("art.mul", data);
    return dir;
}

void BM_GetRecordFromMappedFiles(benchmark::State& state) {
    const std::string dir = MakeInstall("hd");
    CDHDCache cache;
    DataCacheSettings s;
    s.hdDir = dir;
    s.maximumInstall = true;
    cache.Init(s);
    u32 id = 0;
    for (auto _ : state) {
        s32 length;
        u32 extra;
        benchmark::DoNotOptimize(
            cache.GetRecord(kFileArtIndex, kFileArt, static_cast<s32>(id), &length, &extra));
        id = (id + 7919) % kRecords;
    }
    state.SetItemsProcessed(state.iterations());
    cache.Shutdown();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_GetRecordFromMappedFiles);

void BM_BlockCacheTenPercentMisses(benchmark::State& state) {
    platform::InstallBackend(std::make_unique<platform::HeadlessBackend>());
    const std::string dir = MakeInstall("cd");
    CDHDCache cache;
    DataCacheSettings s;
    s.hdDir = dir + "hd/";
    std::filesystem::create_directories(s.hdDir);
    s.cdDir = dir;
    s.cacheSize = 1;
    cache.Init(s);
    // Nine reads of a small working set, then one of a record outside it, which evicts an
    // old record once the cache is full.
    u32 step = 0, cold = 0;
    for (auto _ : state) {
        s32 id;
        if (step % 10 == 9) {
            id = static_cast<s32>(1000 + cold % (kRecords - 1000));
            cold += 7919;
        } else {
            id = static_cast<s32>(step % 500);
        }
        ++step;
        s32 length;
        u32 extra;
        benchmark::DoNotOptimize(cache.GetRecord(kFileArtIndex, kFileArt, id, &length, &extra));
    }
    state.SetItemsProcessed(state.iterations());
    cache.Shutdown();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BlockCacheTenPercentMisses);

}  // namespace
