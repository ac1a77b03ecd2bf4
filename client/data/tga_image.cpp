#include "client/data/tga_image.h"

#include <string>
#include <vector>

#include "client/data/client_file_read.h"
#include "client/data/message_box.h"
#include "core/byte_order.h"

namespace {

u16 PixelFromBgr(const u8* p) {
    const int b = p[0], g = p[1], r = p[2];
    if (r == 0 && g == 0 && b == 0) return 0;
    const u16 packed = static_cast<u16>((r / 8) << 10 | (g / 8) << 5 | b / 8);
    return packed == 0 ? 1 : packed;
}

}  // namespace

int DecodeTgaImage(const u8* bytes, size_t size, u16* pixels, int width, int height) {
    if (!bytes || size < 18 || !pixels || width <= 0 || height <= 0) return 0;
    const int idLength = bytes[0];
    const int mapType = bytes[1];
    const int imageType = bytes[2];
    const int fileWidth = LoadLe16(bytes + 12);
    const int fileHeight = LoadLe16(bytes + 14);
    if (fileWidth != width || fileHeight != height) return 0;
    const int depth = bytes[16];
    if (mapType != 0 || (imageType != 2 && imageType != 10) || depth != 24) {
        ShowMessageBox("Invalid TGA file.", "Error", false);
        return 0;
    }
    std::vector<u16> image(static_cast<size_t>(width) * height);
    size_t at = static_cast<size_t>(idLength) + 18;
    // Rows are stored bottom row first; every read is checked against the file and the row.
    for (int stored = 0; stored < height; ++stored) {
        u16* row = image.data() + static_cast<size_t>(height - 1 - stored) * width;
        if (imageType == 2) {
            if (at + static_cast<size_t>(width) * 3 > size) return 0;
            for (int x = 0; x < width; ++x, at += 3)
                row[x] = PixelFromBgr(bytes + at);
            continue;
        }
        int x = 0;
        while (x < width) {
            if (at >= size) return 0;
            const int header = bytes[at++];
            const int count = (header & 0x7F) + 1;
            // A packet that runs past the row's end is cut at the row.
            const int take = count < width - x ? count : width - x;
            if (header & 0x80) {
                if (at + 3 > size) return 0;
                const u16 p = PixelFromBgr(bytes + at);
                at += 3;
                for (int i = 0; i < take; ++i)
                    row[x++] = p;
            } else {
                if (at + static_cast<size_t>(count) * 3 > size) return 0;
                for (int i = 0; i < take; ++i)
                    row[x++] = PixelFromBgr(bytes + at + static_cast<size_t>(i) * 3);
                at += static_cast<size_t>(count) * 3;
            }
        }
    }
    const u16 black = static_cast<u16>(1 << 10 | 1 << 5 | 1);  // the packed (8, 8, 8)
    for (size_t i = 0; i < image.size(); ++i)
        pixels[i] = image[i] == 0 ? black : image[i];
    return 1;
}

int LoadTgaImage(const std::string& path, u16* pixels, int width, int height) {
    // A picture the size of the screen at four bytes a pixel, with room to spare.
    constexpr size_t kMaxTgaBytes = 16u << 20;
    std::string bytes;
    if (ReadClientFile(path, kMaxTgaBytes, false, bytes, "the picture is not shown") !=
        ClientFileRead::kRead) {
        return 0;
    }
    return DecodeTgaImage(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), pixels, width,
                          height);
}
