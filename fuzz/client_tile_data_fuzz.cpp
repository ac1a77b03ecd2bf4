// Fuzz target: `tiledata.mul` images and the tile blocks the server sends. The input is a
// (possibly short) tile-data image, then a block number (u16) and the block's bytes.
#include <cstdint>

#include "client/data/tile_data.h"
#include "fuzz/client_fuzz_support.h"
#include "tools/content_builder/tile_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = FuzzSplit(data, size, 2);
    static ClientTileData* tiles = [] {
        auto* t = new ClientTileData;
        t->LoadTileData(FuzzScratchDir() + "tiledata.mul");  // missing: memory only
        return t;
    }();
    tiles->ReadImage(parts[0].data(), parts[0].size());
    const std::vector<u8>& block = parts[1];
    if (block.size() >= 2) {
        const int number = (block[0] | block[1] << 8) - 100;  // reaches below 0 too
        tiles->UpdateTileBlock(number, block.data() + 2, block.size() - 2);
        tiles->ApplyPatchBlock(static_cast<u32>(number), block.data() + 2, block.size() - 2);
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u8> image = WriteTileDataFile(DemoTileSet());
    image.resize(4 + 32 * 26 * 2);
    std::vector<u8> block = {static_cast<u8>((600 + 100) & 0xFF),
                             static_cast<u8>((600 + 100) >> 8)};
    block.resize(2 + 4 + 32 * 37, 3);
    const std::vector<u8> seed = FuzzJoin({image, block});
    emit(seed.data(), seed.size());
}
