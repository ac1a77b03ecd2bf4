// Fuzz target: the world save file (tag, cell count, the dynamic pair, digest). A file the
// reader accepts must encode back to the same bytes, and its pair must load into a world
// of one cell without reading past it.
//
// Input: the file.
#include <cstdint>
#include <cstdlib>

#include "world_fuzz_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<u8> bytes(data, data + size);
    SectorPair pair;
    std::string why;
    if (!DecodeSaveFile(bytes, kWorldSaveTag, pair, &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    if (EncodeSaveFile(kWorldSaveTag, pair) != bytes) std::abort();
    save_fuzz::BuildOneCell();
    save_fuzz::LoadAndSave(pair);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> file =
        EncodeSaveFile(kWorldSaveTag, save_fuzz::PairOf(save_fuzz::SeedRecord()));
    emit(file.data(), file.size());
}
