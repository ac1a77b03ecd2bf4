#include "core/tile_data_record.h"

#include <cstring>

#include "core/byte_order.h"

LandTileRecord ReadLandTileRecord(const u8* p) {
    LandTileRecord r;
    r.flags = LoadLe32(p);
    r.texture = LoadLe16(p + 4);
    std::memcpy(r.name, p + 6, kTileNameSize);
    return r;
}

StaticTileRecord ReadStaticTileRecord(const u8* p) {
    StaticTileRecord r;
    r.flags = LoadLe32(p);
    r.weight = p[4];
    r.layer = p[5];
    r.value = LoadLe32(p + 6);
    r.animation = LoadLe16(p + 10);
    r.hue = LoadLe16(p + 12);
    r.light = LoadLe16(p + 14);
    r.height = p[16];
    std::memcpy(r.name, p + 17, kTileNameSize);
    return r;
}

int ReadTileDataImage(const u8* data, size_t size, LandTileRecord* land,
                      StaticTileRecord* statics) {
    size_t at = 0;
    int read = 0;
    for (int i = 0; i < kTileCount; ++i, ++read) {
        if (i % kTileGroupSize == 0) at += 4;
        if (at + kLandRecordSize > size) return read;
        land[i] = ReadLandTileRecord(data + at);
        at += kLandRecordSize;
    }
    for (int i = 0; i < kTileCount; ++i, ++read) {
        if (i % kTileGroupSize == 0) at += 4;
        if (at + kStaticRecordSize > size) return read;
        statics[i] = ReadStaticTileRecord(data + at);
        at += kStaticRecordSize;
    }
    return read;
}
