// Fuzz target: the world save file (tag, the world it belongs to, cell count, the dynamic
// pair, digest). The input is the file without its digest: the target appends the digest
// of the input, so that changed bytes reach the header checks and the records instead of
// stopping at the digest. A file the reader accepts must encode back to the same bytes, and
// its pair must load into a world of one cell without reading past it.
//
// Input: the file up to its digest.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "world_fuzz_records.h"

namespace {

constexpr size_t kDigestSize = 8;
// Inputs whose records were loaded, for the run's summary.
unsigned long g_reachedRecords = 0;

std::vector<u8> WithDigest(const uint8_t* data, size_t size) {
    std::vector<u8> file(data, data + size);
    const u64 digest = SaveFileDigest(data, size);
    file.resize(size + kDigestSize);
    StoreLe32(file.data() + size, static_cast<u32>(digest));
    StoreLe32(file.data() + size + 4, static_cast<u32>(digest >> 32));
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<u8> bytes = WithDigest(data, size);
    SectorPair pair;
    std::string why;
    SaveFileHeader header;
    if (!DecodeSaveFile(bytes, kWorldSaveTag, pair, &why, &header)) {
        if (why.empty()) std::abort();
        return 0;
    }
    // Files of the first form carry no world and are written in the current form only.
    if (header.hasWorld && EncodeSaveFile(kWorldSaveTag, header.world, pair) != bytes) std::abort();
    ++g_reachedRecords;
    save_fuzz::BuildOneCell();
    save_fuzz::LoadAndSave(pair);
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    SavedWorldIdentity world;
    world.name = "ZQGoldDemo";
    world.width = 8;
    world.height = 8;
    const std::vector<u8> file =
        EncodeSaveFile(kWorldSaveTag, world, save_fuzz::PairOf(save_fuzz::SeedRecord()));
    emit(file.data(), file.size() - kDigestSize);
}

extern "C" const char* ZqFuzzSummary() {
    static char line[96];
    std::snprintf(line, sizeof line, "%lu inputs reached the records", g_reachedRecords);
    return line;
}
