// Fuzz target: one cell's dynamic-object record (NUL-terminated key=value strings). The
// loader must stay inside the record and keep or drop every object whole; what a load keeps,
// saved and loaded again, must save the same bytes.
//
// Input: the record.
#include <cstdint>
#include <cstdlib>

#include "world_fuzz_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    save_fuzz::BuildOneCell();
    const std::string record(reinterpret_cast<const char*>(data), size);
    const int before = g_liveObjects.items;
    const SectorPair once = save_fuzz::LoadAndSave(save_fuzz::PairOf(record));
    if (g_liveObjects.items != before) std::abort();
    const SectorPair twice = save_fuzz::LoadAndSave(once);
    if (twice.index != once.index || twice.data != once.data) std::abort();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string record = save_fuzz::SeedRecord();
    emit(reinterpret_cast<const u8*>(record.data()), record.size());
    const std::string shortOne("@=d\0id=5\0loc=1 1 0\0", 20);
    emit(reinterpret_cast<const u8*>(shortOne.data()), shortOne.size());
}
