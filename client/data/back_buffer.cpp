#include "client/data/back_buffer.h"

#include <vector>

#include "client/data/data_log.h"

namespace {

std::vector<u16>& Buffer() {
    static std::vector<u16> buffer;
    return buffer;
}

BackgroundPainter& Painter() {
    static BackgroundPainter painter;
    return painter;
}

LandDiamondTables BuildDiamond() {
    LandDiamondTables t{};
    for (int r = 0; r < 44; ++r) {
        t.rowWidth[r] = r == 0 ? 2 : (r <= 21 ? 2 * r + 2 : 86 - 2 * r);
        t.rowStart[r] = r <= 21 ? 21 - r : r - 21;
        t.rowEnd[r] = t.rowStart[r] + t.rowWidth[r];
    }
    int data = 0;
    for (int r = 0; r < 44; ++r) {
        if (r >= 1 && r <= 22) data += 2 * r;
        if (r >= 23) data += 2 * (45 - r);
        t.rowData[r] = data + (r >= 22 ? 1 : 0);
    }
    return t;
}

ShadeTables BuildShades() {
    ShadeTables t{};
    for (int j = 0; j < 32; ++j) {
        for (int v = 0; v < 32; ++v) {
            const u32 s = static_cast<u32>(v * (32 - j) / 32);
            t.shade[j][v] = static_cast<u8>(s);
            t.blue[v][j] = s;
            t.green[v][j] = s << 5;
            t.red[v][j] = s << 10;
        }
    }
    return t;
}

}  // namespace

void SetBackgroundPainter(BackgroundPainter painter) {
    Painter() = std::move(painter);
}

void CreateBackBuffer() {
    std::vector<u16>& buffer = Buffer();
    if (!buffer.empty()) return;
    buffer.assign(static_cast<size_t>(kBackBufferWidth) * kBackBufferHeight, 0);
    if (!Painter()) {
        DataLogOnce("back buffer background",
                    "back buffer background (gump art 1415) not painted: no gump art drawing");
        return;
    }
    Painter()(1415, buffer.data(), kBackBufferWidth, kBackBufferHeight);
}

void DeleteBackBuffer() {
    std::vector<u16>().swap(Buffer());
}

u16* BackBufferPixels() {
    return Buffer().empty() ? nullptr : Buffer().data();
}

const LandDiamondTables& LandDiamond() {
    static const LandDiamondTables tables = BuildDiamond();
    return tables;
}

const ShadeTables& Shades() {
    static const ShadeTables tables = BuildShades();
    return tables;
}
