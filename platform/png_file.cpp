#include "platform/png_file.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform {
namespace {

u8 Widen5(u32 v) {
    return static_cast<u8>((v << 3) | (v >> 2));
}
u8 Widen6(u32 v) {
    return static_cast<u8>((v << 2) | (v >> 4));
}

}  // namespace

bool WriteFramePng(const std::string& path, const u16* pixels, int width, int height, bool is565) {
    if (!pixels || width <= 0 || height <= 0) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    std::vector<u8> row(static_cast<size_t>(width) * 3);
    // libpng reports errors by long jump; nothing here owns resources that a jump would
    // leak besides the ones released below.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            u32 p = pixels[static_cast<size_t>(y) * width + x];
            u8* out = &row[static_cast<size_t>(x) * 3];
            if (is565) {
                out[0] = Widen5((p >> 11) & 0x1F);
                out[1] = Widen6((p >> 5) & 0x3F);
            } else {
                out[0] = Widen5((p >> 10) & 0x1F);
                out[1] = Widen5((p >> 5) & 0x1F);
            }
            out[2] = Widen5(p & 0x1F);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool ReadFramePng(const std::string& path, std::vector<u16>& pixels, int& width, int& height) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    std::vector<u8> row;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    // Whatever the stored form, rows arrive as 8-bit RGB.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    const int w = static_cast<int>(png_get_image_width(png, info));
    const int h = static_cast<int>(png_get_image_height(png, info));
    row.resize(png_get_rowbytes(png, info));
    std::vector<u16> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < w; ++x) {
            const u8* in = &row[static_cast<size_t>(x) * 3];
            out[static_cast<size_t>(y) * w + x] =
                static_cast<u16>((in[0] >> 3) << 10 | (in[1] >> 3) << 5 | (in[2] >> 3));
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    pixels = std::move(out);
    width = w;
    height = h;
    return true;
}

}  // namespace platform
