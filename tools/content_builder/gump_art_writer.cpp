#include "tools/content_builder/gump_art_writer.h"

namespace {

void PutU32(std::vector<u8>& out, u32 v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<u8>(v >> (8 * i)));
}

}  // namespace

std::vector<u8> EncodeGumpArt(const u16* pixels, int width, int height) {
    std::vector<u32> rows;
    std::vector<u32> runs;
    for (int y = 0; y < height; ++y) {
        rows.push_back(static_cast<u32>(height + runs.size()));
        const u16* row = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width;) {
            int length = 1;
            while (x + length < width && row[x + length] == row[x] && length < 0xFFFF)
                ++length;
            runs.push_back(static_cast<u32>(length) << 16 | row[x]);
            x += length;
        }
    }
    std::vector<u8> out;
    for (u32 v : rows)
        PutU32(out, v);
    for (u32 v : runs)
        PutU32(out, v);
    return out;
}

void GumpArtWriter::Add(u32 id, const GumpPicture& picture) {
    if (!pictures_.emplace(id, picture).second) duplicates_.push_back(id);
}

std::vector<u8> GumpArtWriter::IndexBytes() const {
    std::vector<u8> out;
    if (pictures_.empty()) return out;
    const u32 count = pictures_.rbegin()->first + 1;
    u32 offset = 0;
    for (u32 id = 0; id < count; ++id) {
        auto it = pictures_.find(id);
        if (it == pictures_.end()) {
            PutU32(out, 0xFFFFFFFF);
            PutU32(out, 0);
            PutU32(out, 0);
            continue;
        }
        const GumpPicture& p = it->second;
        const u32 length =
            static_cast<u32>(EncodeGumpArt(p.pixels.data(), p.width, p.height).size());
        PutU32(out, offset);
        PutU32(out, length);
        PutU32(out, static_cast<u32>(p.width) << 16 | static_cast<u32>(p.height));
        offset += length;
    }
    return out;
}

std::vector<u8> GumpArtWriter::DataBytes() const {
    std::vector<u8> out;
    for (const auto& [id, p] : pictures_) {
        const std::vector<u8> record = EncodeGumpArt(p.pixels.data(), p.width, p.height);
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

namespace {

int Grain(int x, int y) {
    u32 h = static_cast<u32>(x) * 73856093u ^ static_cast<u32>(y) * 19349663u;
    h ^= h >> 13;
    return static_cast<int>(h % 3);
}

}  // namespace

GumpCanvas::GumpCanvas(int w, int h) {
    picture.width = w;
    picture.height = h;
    picture.pixels.assign(static_cast<size_t>(w) * h, 0);
}

void GumpCanvas::Fill(int x0, int y0, int x1, int y1, u16 colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            At(x, y) = colour;
}

void GumpCanvas::Bevel(int x0, int y0, int x1, int y1, int thickness, bool sunken) {
    const u16 light = GumpRgb5(22, 21, 18), dark = GumpRgb5(4, 4, 3);
    for (int t = 0; t < thickness; ++t) {
        const u16 topLeft = sunken ? dark : light, bottomRight = sunken ? light : dark;
        for (int x = x0 + t; x < x1 - t; ++x) {
            At(x, y0 + t) = topLeft;
            At(x, y1 - 1 - t) = bottomRight;
        }
        for (int y = y0 + t; y < y1 - t; ++y) {
            At(x0 + t, y) = topLeft;
            At(x1 - 1 - t, y) = bottomRight;
        }
    }
}

void GumpCanvas::Stone(int x0, int y0, int x1, int y1, int r, int g, int b) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int n = Grain(x, y);
            At(x, y) = GumpRgb5(r + n, g + n, b + n);
        }
}
