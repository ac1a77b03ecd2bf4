// Fuzz target: a statics record of one cell (7 bytes per static; a trailing 1-6 bytes are
// ignored). What it places, saved and read back, must place the same statics and save the
// same bytes.
//
// Input: the record.
#include <cstdint>
#include <cstdlib>

#include "world_fuzz_records.h"

namespace {

void ReleaseAll() {
    while (CStaticObject* s = g_sectorGrid.GetCell(0)->statics)
        s->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    save_fuzz::BuildOneCell();
    const std::string record(reinterpret_cast<const char*>(data), size);
    const SectorPair in = save_fuzz::PairOf(record);
    const int placed = LoadStatics(in.index, in.data);
    if (placed != static_cast<int>(size / 7)) std::abort();
    const SectorPair once = BuildStaticsPair();
    ReleaseAll();
    if (LoadStatics(once.index, once.data) != placed) std::abort();
    const SectorPair twice = BuildStaticsPair();
    ReleaseAll();
    if (twice.index != once.index || twice.data != once.data) std::abort();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const u8 record[] = {0x10, 0x02, 3, 7, 0xFB, 0x05, 0x00, 0xFF, 0x7F, 0, 0, 127, 0, 0, 9};
    emit(record, sizeof record);
}
