#include "client/data/tile_data.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "client/data/data_log.h"
#include "core/byte_order.h"

namespace {

ClientLandTile DecodeLand(const u8* p) {
    ClientLandTile t;
    t.flags = LoadLe32(p);
    t.texture = LoadLe16(p + 4);
    std::memcpy(t.name, p + 6, 20);
    return t;
}

ClientStaticTile DecodeStatic(const u8* p) {
    ClientStaticTile t;
    t.flags = LoadLe32(p);
    t.weight = p[4];
    t.layer = p[5];
    t.quantity = LoadLe32(p + 6);
    t.animation = LoadLe16(p + 10);
    t.hue = LoadLe16(p + 12);
    t.light = LoadLe16(p + 14);
    t.height = p[16];
    std::memcpy(t.name, p + 17, 20);
    return t;
}

}  // namespace

void EncodeLandTile(const ClientLandTile& t, u8* p) {
    StoreLe32(p, t.flags);
    StoreLe16(p + 4, t.texture);
    std::memcpy(p + 6, t.name, 20);
}

void EncodeStaticTile(const ClientStaticTile& t, u8* p) {
    StoreLe32(p, t.flags);
    p[4] = t.weight;
    p[5] = t.layer;
    StoreLe32(p + 6, t.quantity);
    StoreLe16(p + 10, t.animation);
    StoreLe16(p + 12, t.hue);
    StoreLe16(p + 14, t.light);
    p[16] = t.height;
    std::memcpy(p + 17, t.name, 20);
}

ClientTileData::ClientTileData() : land_(kClientTileCount), statics_(kClientTileCount) {}

void ClientTileData::LoadTileData(const std::string& path) {
    path_ = path;
    land_.assign(kClientTileCount, ClientLandTile{});
    statics_.assign(kClientTileCount, ClientStaticTile{});
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    ReadImage(bytes.data(), bytes.size());
}

void ClientTileData::ReadImage(const u8* bytes, size_t size) {
    size_t at = 0;
    for (int i = 0; i < kClientTileCount; ++i) {
        if (i % kTileBlockRecords == 0) at += 4;
        if (at + kClientLandRecordSize > size) return;
        land_[i] = DecodeLand(bytes + at);
        at += kClientLandRecordSize;
    }
    for (int i = 0; i < kClientTileCount; ++i) {
        if (i % kTileBlockRecords == 0) at += 4;
        if (at + kClientStaticRecordSize > size) return;
        statics_[i] = DecodeStatic(bytes + at);
        at += kClientStaticRecordSize;
    }
}

const ClientLandTile& ClientTileData::Land(int tile) const {
    static const ClientLandTile none{};
    return tile >= 0 && tile < kClientTileCount ? land_[tile] : none;
}

const ClientStaticTile& ClientTileData::Static(int graphic) const {
    static const ClientStaticTile none{};
    return graphic >= 0 && graphic < kClientTileCount ? statics_[graphic] : none;
}

bool ClientTileData::UpdateTileBlock(int block, const u8* data, size_t length) {
    if (block >= 0 && block < kLandBlockCount) return UpdateLandTileBlock(block, data, length);
    return UpdateStaticTileBlock(block, data, length);
}

bool ClientTileData::UpdateLandTileBlock(int block, const u8* data, size_t length) {
    if (block < 0 || block >= kLandBlockCount || !data || length < kLandBlockBytes) return false;
    for (int i = 0; i < kTileBlockRecords; ++i) {
        const int tile = block * kTileBlockRecords + i;
        const ClientLandTile next = DecodeLand(data + 4 + i * kClientLandRecordSize);
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
    const int first = (block - kLandBlockCount) * kTileBlockRecords;
    bool rebuild = false;
    for (int i = 0; i < kTileBlockRecords; ++i) {
        const int graphic = first + i;
        const ClientStaticTile next = DecodeStatic(data + 4 + i * kClientStaticRecordSize);
        const ClientStaticTile& old = statics_[graphic];
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
        for (int i = 0; i < kTileBlockRecords; ++i)
            land_[id * kTileBlockRecords + i] = DecodeLand(data + 4 + i * kClientLandRecordSize);
    } else if (id < 2u * kLandBlockCount) {
        if (length < kStaticBlockBytes) return;
        const u32 first = (id - kLandBlockCount) * kTileBlockRecords;
        for (int i = 0; i < kTileBlockRecords; ++i)
            statics_[first + i] = DecodeStatic(data + 4 + i * kClientStaticRecordSize);
    }
}

ClientTileData& TheClientTileData() {
    static ClientTileData data;
    return data;
}
