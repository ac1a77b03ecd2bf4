// Sequential read throughput of one large archive member (deciphering included), in MB/s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_builder.h"

namespace {

constexpr size_t kMemberBytes = 64u << 20;

// Builds a temporary archive with one large member once, and removes it at exit.
class LargeArchive {
public:
    LargeArchive() {
        path_ = (std::filesystem::temp_directory_path() /
                 ("zq_bench_archive_" + std::to_string(getpid()) + ".dat"))
                    .string();
        std::vector<u8> bytes(kMemberBytes);
        u32 x = 12345;
        for (u8& b : bytes) {
            x = x * 1103515245u + 12345u;
            b = u8(x >> 16);
        }
        ArchiveBuilder builder;
        builder.Add("../.rundir/zqgolddemo/map0.mul", bytes);
        ok_ = builder.Write(path_) && InitDataArchive(path_.c_str());
    }
    ~LargeArchive() {
        ShutdownDataArchive();
        std::remove(path_.c_str());
    }
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

void ReadLargeMember(benchmark::State& state, size_t chunk) {
    static LargeArchive archive;
    if (!archive.ok()) {
        state.SkipWithError("cannot build the archive");
        return;
    }
    std::vector<u8> buf(chunk);
    size_t total = 0;
    for (auto _ : state) {
        ArchiveHandle h = ArchiveOpen("../.rundir/zqgolddemo/map0.mul", "rb");
        size_t n;
        while ((n = ArchiveRead(buf.data(), 1, buf.size(), h)) > 0)
            total += n;
        ArchiveClose(h);
        benchmark::DoNotOptimize(buf.data());
    }
    state.counters["MB/s"] = benchmark::Counter(double(total) / 1e6, benchmark::Counter::kIsRate);
}

void BM_ArchiveSequentialRead(benchmark::State& state) {
    ReadLargeMember(state, 65536);
}

}  // namespace

BENCHMARK(BM_ArchiveSequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
