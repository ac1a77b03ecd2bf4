#include "server/world/tile_data.h"

#include <cstring>

#include "core/byte_order.h"
#include "core/zq_assert.h"

namespace {

const LandTileRecord kNoLand{};
const StaticTileRecord kNoStatic{};

}  // namespace

TileData::TileData() {
    Clear();
}

void TileData::Clear() {
    land_.assign(kTileCount, LandTileRecord{});
    statics_.assign(kTileCount, StaticTileRecord{});
    hues_.assign(static_cast<size_t>(kHueTableCount) * kHueRecordSize, 0);
    hues2_.assign(static_cast<size_t>(kHueTableCount) * 148, 0);
    anim_.assign(static_cast<size_t>(kTileCount) * kAnimRecordSize, 0);
    artSize_.assign(static_cast<size_t>(kTileCount) * 2, 0);
}

const LandTileRecord& TileData::Land(int tile) const {
    return tile >= 0 && tile < kTileCount ? land_[tile] : kNoLand;
}
const StaticTileRecord& TileData::Static(int graphic) const {
    return graphic >= 0 && graphic < kTileCount ? statics_[graphic] : kNoStatic;
}
LandTileRecord* TileData::MutableLand(int tile) {
    return tile >= 0 && tile < kTileCount ? &land_[tile] : nullptr;
}
StaticTileRecord* TileData::MutableStatic(int graphic) {
    return graphic >= 0 && graphic < kTileCount ? &statics_[graphic] : nullptr;
}

bool TileData::ReadTileData(const u8* data, size_t size) {
    if (!data || size < static_cast<size_t>(kTileDataFileSize)) return false;
    const int read = ReadTileDataImage(data, size, land_.data(), statics_.data());
    ZQ_ASSERT(read == 2 * kTileCount, "a complete image holds every record");
    return true;
}

bool TileData::ReadHues(const u8* data, size_t size) {
    if (!data || size < static_cast<size_t>(kHuesFileSize)) return false;
    const u8* p = data;
    for (int i = 0; i < kHueCount; ++i) {
        if (i % kHueGroupSize == 0) p += 4;
        std::memcpy(&hues_[static_cast<size_t>(i) * kHueRecordSize], p, kHueRecordSize);
        p += kHueRecordSize;
    }
    return true;
}

bool TileData::ReadAnimData(const u8* data, size_t size) {
    if (!data || size < static_cast<size_t>(kAnimDataFileSize)) return false;
    std::fill(anim_.begin(), anim_.end(), 0);
    const u8* p = data;
    for (int i = 0; i < kTileCount; ++i) {
        if (i % kAnimGroupSize == 0) p += 4;
        std::memcpy(&anim_[static_cast<size_t>(i) * kAnimRecordSize], p, kAnimRecordSize);
        p += kAnimRecordSize;
    }
    return true;
}

bool TileData::ReadArtDimensions(const u8* data, size_t size) {
    if (!data || size < static_cast<size_t>(kArtDimFileSize)) return false;
    for (int i = 0; i < kTileCount * 2; ++i)
        artSize_[i] = LoadLe16(data + i * 2);
    return true;
}

const u8* TileData::HueRecord(int hue) const {
    return hue >= 0 && hue < kHueTableCount ? &hues_[static_cast<size_t>(hue) * kHueRecordSize]
                                            : nullptr;
}

const u8* TileData::AnimRecord(int graphic) const {
    return graphic >= 0 && graphic < kTileCount
               ? &anim_[static_cast<size_t>(graphic) * kAnimRecordSize]
               : nullptr;
}

void TileData::GetArtSize(int graphic, int& width, int& height) const {
    if (graphic < 0 || graphic >= kTileCount) {
        width = height = 0;
        return;
    }
    width = artSize_[graphic * 2];
    height = artSize_[graphic * 2 + 1];
}

TileData& GetTileData() {
    static TileData data;
    return data;
}

bool IsImpassableTerrainTile(int tile) {
    return tile == 2 || (tile >= 430 && tile <= 437) || tile == 475;
}

bool IsInvalidTerrainTile(int tile) {
    return (tile >= 168 && tile <= 171) || tile == 310 || tile == 311;
}

bool IsNoDrawType(int graphic) {
    if (graphic == 1 || (graphic >= 8600 && graphic <= 8610) || graphic == 14170) return true;
    return (GetTileData().StaticFlags(graphic) & kTileNoDraw) != 0;
}
