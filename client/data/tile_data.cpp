#include "client/data/tile_data.h"

#include <cstdio>

#include "client/data/client_file_read.h"
#include "client/data/data_log.h"

ClientTileData::ClientTileData() : land_(kTileCount), statics_(kTileCount) {}

void ClientTileData::LoadTileData(const std::string& path) {
    path_.clear();
    land_.assign(kTileCount, LandTileRecord{});
    statics_.assign(kTileCount, StaticTileRecord{});
    std::string bytes;
    const ClientFileRead read =
        ReadClientFile(path, kTileDataFileSize, true, bytes, "the tile data stays empty");
    // A file that is no regular file is never written back to either.
    if (read == ClientFileRead::kFailed) return;
    path_ = path;
    if (read == ClientFileRead::kMissing) return;
    ReadImage(reinterpret_cast<const u8*>(bytes.data()), bytes.size());
    if (bytes.size() < static_cast<size_t>(kTileDataFileSize)) {
        ReportShortClientFile(path, bytes.size(), kTileDataFileSize,
                              "the tiles past its end stay empty");
    }
}

void ClientTileData::ReadImage(const u8* bytes, size_t size) {
    ReadTileDataImage(bytes, size, land_.data(), statics_.data());
}

const LandTileRecord& ClientTileData::Land(int tile) const {
    static const LandTileRecord none{};
    return tile >= 0 && tile < kTileCount ? land_[tile] : none;
}

const StaticTileRecord& ClientTileData::Static(int graphic) const {
    static const StaticTileRecord none{};
    return graphic >= 0 && graphic < kTileCount ? statics_[graphic] : none;
}

bool ClientTileData::UpdateTileBlock(int block, const u8* data, size_t length) {
    if (block >= 0 && block < kLandBlockCount) return UpdateLandTileBlock(block, data, length);
    return UpdateStaticTileBlock(block, data, length);
}

bool ClientTileData::UpdateLandTileBlock(int block, const u8* data, size_t length) {
    if (block < 0 || block >= kLandBlockCount || !data || length < kLandBlockBytes) return false;
    for (int i = 0; i < kTileGroupSize; ++i) {
        const int tile = block * kTileGroupSize + i;
        const LandTileRecord next = ReadLandTileRecord(data + 4 + i * kLandRecordSize);
        const bool textureChanged = next.texture != land_[tile].texture;
        land_[tile] = next;
        if (textureChanged && listener_) listener_->RefreshLandGraphic(tile);
    }
    WriteBlock(static_cast<long>(block) * kLandBlockBytes, data, kLandBlockBytes,
               "land block " + std::to_string(block));
    return true;
}

bool ClientTileData::UpdateStaticTileBlock(int block, const u8* data, size_t length) {
    if (block < kLandBlockCount || block >= 2 * kLandBlockCount || !data ||
        length < kStaticBlockBytes) {
        return false;
    }
    const int first = (block - kLandBlockCount) * kTileGroupSize;
    bool rebuild = false;
    for (int i = 0; i < kTileGroupSize; ++i) {
        const int graphic = first + i;
        const StaticTileRecord next = ReadStaticTileRecord(data + 4 + i * kStaticRecordSize);
        const StaticTileRecord& old = statics_[graphic];
        if ((old.flags ^ next.flags) & (kClientTileLightSource | kClientTileAnimated))
            rebuild = true;
        const bool replace = old.flags != next.flags || old.hue != next.hue;
        statics_[graphic] = next;
        if (replace && listener_) listener_->RefreshStaticGraphic(graphic);
    }
    WriteBlock(kStaticBlocksStart + static_cast<long>(block - kLandBlockCount) * kStaticBlockBytes,
               data, kStaticBlockBytes, "static block " + std::to_string(block));
    if (rebuild && listener_) listener_->RebuildLightAndAnimatedLists();
    return true;
}

void ClientTileData::WriteBlock(long offset, const u8* data, size_t bytes,
                                const std::string& what) const {
    // The block's bytes are the file's layout: header word and records in field order.
    FILE* f = path_.empty() ? nullptr : std::fopen(path_.c_str(), "r+b");
    bool written =
        f && std::fseek(f, offset, SEEK_SET) == 0 && std::fwrite(data, 1, bytes, f) == bytes;
    if (f) written = std::fclose(f) == 0 && written;
    if (!written)
        DataLog("tile data " + what + " not written to " + path_ + "; updated in memory only");
}

void ClientTileData::ApplyPatchBlock(u32 id, const u8* data, size_t length) {
    if (id < static_cast<u32>(kLandBlockCount)) {
        if (length < kLandBlockBytes) return;
        for (int i = 0; i < kTileGroupSize; ++i)
            land_[id * kTileGroupSize + i] = ReadLandTileRecord(data + 4 + i * kLandRecordSize);
    } else if (id < 2u * kLandBlockCount) {
        if (length < kStaticBlockBytes) return;
        const u32 first = (id - kLandBlockCount) * kTileGroupSize;
        for (int i = 0; i < kTileGroupSize; ++i)
            statics_[first + i] = ReadStaticTileRecord(data + 4 + i * kStaticRecordSize);
    }
}

ClientTileData& TheClientTileData() {
    static ClientTileData data;
    return data;
}
