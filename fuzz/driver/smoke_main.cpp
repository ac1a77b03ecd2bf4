// Runs a fuzz target without libFuzzer: a fixed number of deterministic inputs, half of
// them random bytes and half mutations of the target's valid seeds (ZqFuzzSeeds, when the
// target defines it). With --write-seeds DIR it writes the seeds as a starting corpus.
// Seeds that no longer reach the code behind them would leave the fuzzer starting from
// nothing without a word: a target with seeds must give at least one, and one that can tell
// (ZqFuzzSeedParses) has every seed checked; either failure ends the run with exit 1.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/random.h"
#include "platform/types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size));
// A target may say what the run reached (one line, printed after the run).
extern "C" __attribute__((weak)) const char* ZqFuzzSummary();
extern "C" __attribute__((weak)) bool ZqFuzzSeedParses(const u8* data, size_t size);

namespace {

std::vector<std::vector<u8>> g_seeds;

void CollectSeed(const u8* data, size_t size) {
    g_seeds.emplace_back(data, data + size);
}

size_t Below(size_t n) {
    if (n == 0) return 0;
    size_t r = (size_t(platform::Rand()) << 15) | size_t(platform::Rand());
    return r % n;
}

std::vector<u8> RandomInput() {
    std::vector<u8> v(Below(4096));
    for (u8& b : v)
        b = u8(platform::Rand());
    return v;
}

std::vector<u8> Mutate(std::vector<u8> v) {
    int steps = 1 + int(Below(8));
    for (int s = 0; s < steps; ++s) {
        switch (Below(7)) {
            case 0:  // flip a bit
                if (!v.empty()) v[Below(v.size())] ^= u8(1u << Below(8));
                break;
            case 1:  // an interesting byte
                if (!v.empty()) {
                    const u8 values[] = {0, 1, 0x7F, 0x80, 0xFF, '\n', '@', '.'};
                    v[Below(v.size())] = values[Below(sizeof values)];
                }
                break;
            case 2:  // an interesting 32-bit value at a 4-byte boundary
                if (v.size() >= 4) {
                    const u32 values[] = {0, 1, 3, 4, 4095, 4096, 4097, 0x7FFFFFFF, 0xFFFFFFFF};
                    u32 x = values[Below(sizeof values / sizeof values[0])];
                    size_t at = Below(v.size() / 4) * 4;
                    std::memcpy(&v[at], &x, 4);
                }
                break;
            case 3:  // cut the end off
                v.resize(Below(v.size() + 1));
                break;
            case 4: {  // remove a stretch
                size_t at = Below(v.size() + 1);
                size_t n = Below(v.size() - at + 1);
                v.erase(v.begin() + long(at), v.begin() + long(at + n));
                break;
            }
            case 5: {  // insert random bytes
                size_t at = Below(v.size() + 1);
                std::vector<u8> add(Below(64));
                for (u8& b : add)
                    b = u8(platform::Rand());
                v.insert(v.begin() + long(at), add.begin(), add.end());
                break;
            }
            default:  // splice another seed's tail in
                if (!g_seeds.empty()) {
                    const std::vector<u8>& other = g_seeds[Below(g_seeds.size())];
                    size_t at = Below(v.size() + 1);
                    size_t from = Below(other.size() + 1);
                    v.resize(at);
                    v.insert(v.end(), other.begin() + long(from), other.end());
                }
                break;
        }
    }
    return v;
}

// Whether the seeds are fit to start from; says which is not.
bool SeedsParse(const char* program) {
    if (ZqFuzzSeeds == nullptr) return true;
    if (g_seeds.empty()) {
        std::fprintf(stderr, "%s: the target gave no seeds\n", program);
        return false;
    }
    if (ZqFuzzSeedParses == nullptr) return true;
    bool all = true;
    for (size_t i = 0; i < g_seeds.size(); ++i) {
        if (!ZqFuzzSeedParses(g_seeds[i].data(), g_seeds[i].size())) {
            std::fprintf(stderr, "%s: seed %zu (%zu bytes) does not parse\n", program, i,
                         g_seeds[i].size());
            all = false;
        }
    }
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (ZqFuzzSeeds != nullptr) ZqFuzzSeeds(CollectSeed);
    if (!SeedsParse(argv[0])) return 1;
    if (argc == 3 && std::strcmp(argv[1], "--write-seeds") == 0) {
        for (size_t i = 0; i < g_seeds.size(); ++i) {
            std::string path = std::string(argv[2]) + "/seed-" + std::to_string(i);
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (f == nullptr) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
            std::fwrite(g_seeds[i].data(), 1, g_seeds[i].size(), f);
            std::fclose(f);
        }
        return 0;
    }
    int runs = argc >= 2 ? std::atoi(argv[1]) : 3000;
    platform::SeedRandom(20261210);
    for (const std::vector<u8>& s : g_seeds)
        LLVMFuzzerTestOneInput(s.data(), s.size());
    for (int i = 0; i < runs; ++i) {
        std::vector<u8> input = (i % 2 == 0 && !g_seeds.empty())
                                    ? Mutate(g_seeds[Below(g_seeds.size())])
                                    : RandomInput();
        // The target may draw from the same generator: keep the driver's sequence its own.
        u32 next = u32(platform::Rand()) << 15 | u32(platform::Rand());
        LLVMFuzzerTestOneInput(input.data(), input.size());
        platform::SeedRandom(next);
    }
    std::printf("%zu seeds and %d generated inputs ran\n", g_seeds.size(), runs);
    if (ZqFuzzSummary != nullptr) std::printf("%s\n", ZqFuzzSummary());
    return 0;
}
