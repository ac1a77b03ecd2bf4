#include "client/render/land_texture.h"

#include <unordered_map>
#include <vector>

#include "client/data/data_file_cache.h"
#include "core/byte_order.h"

namespace {

struct Decoded {
    const u8* record = nullptr;  // the record the texels came from
    s32 length = 0;
    u32 sizeCode = 0;
    std::vector<u16> texels;
};

// Never destroyed: the data cache's own destructor, at exit, clears it.
std::unordered_map<int, Decoded>& Cache() {
    static auto* cache = new std::unordered_map<int, Decoded>;
    return *cache;
}

}  // namespace

LandTexture GetLandTexture(int number) {
    if (number < 1 || number > 4095) return {};
    s32 length = 0;
    u32 sizeCode = 0;
    const u8* record =
        TheDataCache().GetRecord(kFileTextureIndex, kFileTextures, number, &length, &sizeCode);
    if (record == nullptr || sizeCode > 1) return {};
    const size_t side = size_t{64} << sizeCode;
    if (length < 0 || static_cast<size_t>(length) < side * side * 2) return {};
    Decoded& d = Cache()[number];
    if (d.record != record || d.length != length || d.sizeCode != sizeCode) {
        // Texture records carry no alignment promise: read them into a buffer.
        d.texels.resize(side * side);
        for (size_t i = 0; i < d.texels.size(); ++i)
            d.texels[i] = LoadLe16(record + 2 * i);
        d.record = record;
        d.length = length;
        d.sizeCode = sizeCode;
    }
    return LandTexture{d.texels.data(), d.texels.size(), static_cast<int>(sizeCode)};
}

void ClearLandTextures() {
    Cache().clear();
}
