#include "client/data/tile_data.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "client/data/data_log.h"

namespace {

u16 Le16(const u8* p) {
    return static_cast<u16>(p[0] | p[1] << 8);
}
u32 Le32(const u8* p) {
    return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
           static_cast<u32>(p[3]) << 24;
}
void Put16(u8* p, u16 v) {
    p[0] = static_cast<u8>(v);
    p[1] = static_cast<u8>(v >> 8);
}
void Put32(u8* p, u32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<u8>(v >> (8 * i));
}

ClientLandTile DecodeLand(const u8* p) {
    ClientLandTile t;
    t.flags = Le32(p);
    t.texture = Le16(p + 4);
    std::memcpy(t.name, p + 6, 20);
    return t;
}

ClientStaticTile DecodeStatic(const u8* p) {
    ClientStaticTile t;
    t.flags = Le32(p);
    t.weight = p[4];
    t.layer = p[5];
    t.quantity = Le32(p + 6);
    t.animation = Le16(p + 10);
    t.hue = Le16(p + 12);
    t.light = Le16(p + 14);
    t.height = p[16];
    std::memcpy(t.name, p + 17, 20);
    return t;
}

}  // namespace

void EncodeLandTile(const ClientLandTile& t, u8* p) {
    Put32(p, t.flags);
    Put16(p + 4, t.texture);
    std::memcpy(p + 6, t.name, 20);
}

void EncodeStaticTile(const ClientStaticTile& t, u8* p) {
    Put32(p, t.flags);
    p[4] = t.weight;
    p[5] = t.layer;
    Put32(p + 6, t.quantity);
    Put16(p + 10, t.animation);
    Put16(p + 12, t.hue);
    Put16(p + 14, t.light);
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
    FILE* f = path_.empty() ? nullptr : std::fopen(path_.c_str(), "r+b");
    if (f && std::fseek(f, static_cast<long>(block) * kLandBlockBytes, SEEK_SET) != 0) {
        std::fclose(f);
        f = nullptr;
    }
    bool written = f && std::fwrite(data, 1, 4, f) == 4;
    for (int i = 0; i < kTileBlockRecords; ++i) {
        const int tile = block * kTileBlockRecords + i;
        const u8* record = data + 4 + i * kClientLandRecordSize;
        const ClientLandTile next = DecodeLand(record);
        const bool textureChanged = next.texture != land_[tile].texture;
        land_[tile] = next;
        if (textureChanged && listener_) listener_->RefreshLandGraphic(tile);
        if (f)
            written = std::fwrite(record, 1, kClientLandRecordSize, f) ==
                          static_cast<size_t>(kClientLandRecordSize) &&
                      written;
    }
    if (f) written = std::fclose(f) == 0 && written;
    if (!written) {
        DataLog("tile data land block " + std::to_string(block) + " not written to " + path_ +
                "; updated in memory only");
    }
    return true;
}

bool ClientTileData::UpdateStaticTileBlock(int block, const u8* data, size_t length) {
    if (block < kLandBlockCount || block >= 2 * kLandBlockCount || !data ||
        length < kStaticBlockBytes) {
        return false;
    }
    const int first = (block - kLandBlockCount) * kTileBlockRecords;
    FILE* f = path_.empty() ? nullptr : std::fopen(path_.c_str(), "r+b");
    if (f &&
        std::fseek(
            f, kStaticBlocksStart + static_cast<long>(block - kLandBlockCount) * kStaticBlockBytes,
            SEEK_SET) != 0) {
        std::fclose(f);
        f = nullptr;
    }
    bool written = f && std::fwrite(data, 1, 4, f) == 4;
    bool rebuild = false;
    for (int i = 0; i < kTileBlockRecords; ++i) {
        const int graphic = first + i;
        const u8* record = data + 4 + i * kClientStaticRecordSize;
        const ClientStaticTile next = DecodeStatic(record);
        const ClientStaticTile& old = statics_[graphic];
        if ((old.flags ^ next.flags) & (kClientTileLightSource | kClientTileAnimated))
            rebuild = true;
        const bool replace = old.flags != next.flags || old.hue != next.hue;
        statics_[graphic] = next;
        if (replace && listener_) listener_->RefreshStaticGraphic(graphic);
        if (f)
            written = std::fwrite(record, 1, kClientStaticRecordSize, f) ==
                          static_cast<size_t>(kClientStaticRecordSize) &&
                      written;
    }
    if (f) written = std::fclose(f) == 0 && written;
    if (!written) {
        DataLog("tile data static block " + std::to_string(block) + " not written to " + path_ +
                "; updated in memory only");
    }
    if (rebuild && listener_) listener_->RebuildLightAndAnimatedLists();
    return true;
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
