// Fuzz target: one cell's dynamic-object record (NUL-terminated key=value strings). The
// loader must stay inside the record and keep or drop every object whole; what a load keeps,
// saved and loaded again, must save the same bytes.
//
// Input: the record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "world_fuzz_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    save_fuzz::BuildOneCell();
    const std::string record(reinterpret_cast<const char*>(data), size);
    const int before = g_liveObjects.items;
    bool loaded = false;
    const SectorPair once = save_fuzz::LoadAndSave(save_fuzz::PairOf(record), &loaded);
    if (g_liveObjects.items != before) std::abort();
    // A load that ends in an error (a character's serial taken) starts no world.
    if (!loaded) return 0;
    const SectorPair twice = save_fuzz::LoadAndSave(once, &loaded);
    if (!loaded) std::abort();
    if (twice.index != once.index || twice.data != once.data) {
        if (std::getenv("ZQ_FUZZ_DEBUG")) {
            std::fwrite(once.data.data(), 1, once.data.size(), stderr);
            std::fputs("\n----\n", stderr);
            std::fwrite(twice.data.data(), 1, twice.data.size(), stderr);
        }
        std::abort();
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string record = save_fuzz::SeedRecord();
    emit(reinterpret_cast<const u8*>(record.data()), record.size());
    const std::string shortOne("@=d\0id=5\0loc=1 1 0\0", 20);
    emit(reinterpret_cast<const u8*>(shortOne.data()), shortOne.size());
    // A variable name with an escaped blank, and wide text in upper-case digits: both must
    // come back the same after a second save and load.
    const char escaped[] = "@=d\0id=6\0loc=1 1 0\0wom_var=int a\\ b 5\0wom_var=ust u 00E9\0\0end\0";
    emit(reinterpret_cast<const u8*>(escaped), sizeof escaped - 1);
}
