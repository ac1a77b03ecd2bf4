#include "client/data/gump_art.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "client/data/client_log.h"
#include "client/data/pixel_format.h"
#include "core/service_slot.h"

namespace {

ServiceSlot<GumpArtServices>& Slot() {
    static ServiceSlot<GumpArtServices> slot;
    return slot;
}

u32 ReadU32(const u8* p) {
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

bool GumpArtServices::FindGumpArt(u32, GumpArtRecord&) {
    static bool told = false;
    if (!told) {
        told = true;
        LogClientError("gumpart", "no gump art source installed: every gump art is missing");
    }
    return false;
}

GumpArtServices& GetGumpArtServices() {
    return Slot().Get();
}

GumpArtServices* SetGumpArtServices(GumpArtServices* source) {
    return Slot().Set(source);
}

bool GumpArtImage::Open(const GumpArtRecord& record) {
    *this = GumpArtImage();
    const int width = static_cast<int>(record.extra >> 16);
    const int height = static_cast<int>(record.extra & 0xFFFF);
    if (record.data == nullptr || width == 0 || height == 0) return false;
    if (record.size / 4 < static_cast<size_t>(height)) return false;
    data_ = record.data;
    size_ = record.size;
    width_ = width;
    height_ = height;
    return true;
}

size_t GumpArtImage::RowStart(int row) const {
    return static_cast<size_t>(ReadU32(data_ + 4 * static_cast<size_t>(row))) * 4;
}

void GumpArtImage::DecodeRow(int row, u16* line, int columns) const {
    int filled = 0;
    size_t at = RowStart(row);
    while (filled < columns && at <= size_ && size_ - at >= 4) {
        const u32 run = ReadU32(data_ + at);
        const int length = std::min(static_cast<int>(run >> 16), columns - filled);
        std::fill_n(line + filled, length, static_cast<u16>(run));
        filled += length;
        at += 4;
    }
    std::fill(line + filled, line + columns, u16{0});
}

u16 GumpArtImage::PixelAt(int x, int y) const {
    int start = 0;
    size_t at = RowStart(y);
    while (at <= size_ && size_ - at >= 4) {
        const u32 run = ReadU32(data_ + at);
        start += static_cast<int>(run >> 16);
        if (start > x) return static_cast<u16>(run);
        at += 4;
    }
    return 0;
}

namespace {

bool OpenGumpArt(u32 id, GumpArtImage& image) {
    GumpArtRecord record;
    return GetGumpArtServices().FindGumpArt(id, record) && image.Open(record);
}

}  // namespace

bool GetGumpArtSize(u32 id, int& width, int& height) {
    GumpArtImage image;
    const bool found = OpenGumpArt(id, image);
    width = image.Width();
    height = image.Height();
    return found;
}

int GumpArtWidth(int id) {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(id), w, h);
    return w;
}

int GumpArtHeight(int id) {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(id), w, h);
    return h;
}

void CopyGumpToBuf(BlitSpan span, u32 id, int x, int y, u16* dst, int dstWidth, int dstHeight) {
    CopyGumpToBufClipped(span, id, ClipRect{0, 0, dstWidth, dstHeight}, x, y, dst, dstWidth,
                         dstHeight);
}

void CopyGumpToBufClipped(BlitSpan span, u32 id, const ClipRect& clip, int x, int y, u16* dst,
                          int dstWidth, int dstHeight) {
    GumpArtImage image;
    if (OpenGumpArt(id, image))
        CopyGumpImageClipped(span, image, clip, x, y, dst, dstWidth, dstHeight);
}

void CopyGumpImageClipped(BlitSpan span, const GumpArtImage& image, const ClipRect& clip, int x,
                          int y, u16* dst, int dstWidth, int dstHeight) {
    if (dst == nullptr) return;
    // Art columns [c0, c1) and rows [r0, r1) land inside the rectangle and the destination.
    const s64 c0 = std::max<s64>({s64{clip.left} - x, s64{0} - x, 0});
    const s64 c1 = std::min<s64>({image.Width(), s64{clip.right} - x, s64{dstWidth} - x});
    const s64 r0 = std::max<s64>({s64{clip.top} - y, s64{0} - y, 0});
    const s64 r1 = std::min<s64>({image.Height(), s64{clip.bottom} - y, s64{dstHeight} - y});
    if (c0 >= c1 || r0 >= r1) return;
    // Rows decode into a line as wide as the visible part needs, whatever the art's width.
    thread_local std::vector<u16> line;
    if (line.size() < static_cast<size_t>(c1)) line.resize(static_cast<size_t>(c1));
    const int count = static_cast<int>(c1 - c0);
    const bool to565 = Use565();
    for (s64 row = r0; row < r1; ++row) {
        image.DecodeRow(static_cast<int>(row), line.data(), static_cast<int>(c1));
        u16* out = dst + (y + row) * dstWidth + x + c0;
        span(out, line.data() + c0, count);
        if (to565) ConvertWrittenTo565(out, line.data() + c0, count);
    }
}

u16 GetGumpArtPixel(u32 id, int x, int y) {
    GumpArtImage image;
    if (!OpenGumpArt(id, image)) return 0;
    if (x < 0 || y < 0 || x >= image.Width() || y >= image.Height()) return 0;
    const u16 colour = image.PixelAt(x, y);
    if (!Use565()) return colour;
    return Convert555To565(colour);
}
