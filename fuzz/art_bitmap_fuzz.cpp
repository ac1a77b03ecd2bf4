// Fuzz target: temporary art bitmaps from art records read through the data cache. The input
// is one record, stored as land tile 0, as land tile 7 and as static graphic 3 of a scratch
// install; MakeArtBitmap then squares the land tiles and draws the static piece (or falls back
// to land tile 0), grey and in colour.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/data/data_file_cache.h"
#include "client/render/art_bitmap.h"
#include "tools/content_builder/art_files.h"

namespace {

const std::string& ScratchDir() {
    static const std::string dir = [] {
        const std::string d = std::filesystem::temp_directory_path().string() +
                              "/zq_fuzz_art_bitmap_" + std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(d);
        for (int f = 0; f < kDataFileCount; ++f)
            std::ofstream(d + DataFileTable(f).name, std::ios::binary | std::ios::trunc);
        return d;
    }();
    return dir;
}

void Write(const std::string& path, const std::vector<u8>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<u16> square(44 * 44, 0x1234);
    const std::vector<u8> land = EncodeLandArt(square.data());
    emit(land.data(), land.size());
    const u16 pixels[6] = {0, 0x7C00, 0x03E0, 0x001F, 0, 0x7FFF};
    const std::vector<u8> item = EncodeStaticArt(pixels, 3, 2);
    emit(item.data(), item.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = ScratchDir();
    std::vector<IndexedRecord> records(0x4004);
    const std::vector<u8> bytes(data, data + size);
    records[0] = records[7] = records[0x4003] = {true, bytes, 0};
    std::vector<u8> index, art;
    WriteIndexedRecords(records, index, art);
    Write(dir + "artidx.mul", index);
    Write(dir + "art.mul", art);
    DataCacheSettings settings;
    settings.hdDir = dir;
    settings.maximumInstall = true;
    TheDataCache().Init(settings);
    for (u32 id : {0x8000u, 0x8007u, 0x8009u, 3u, 4u}) {
        const ArtBitmap bitmap = MakeArtBitmap(id, (id & 1) != 0, id == 3);
        if (bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height)
            __builtin_trap();
    }
    TheDataCache().Shutdown();
    return 0;
}
