#pragma once
// TGA images of 24 bits per pixel (plain or run-length), read into a 16-bit bitmap of exactly
// the image's size. The bitmap is filled only when the whole image was read.
#include <string>

#include "platform/types.h"

// 1 when the file was read into `pixels` (width x height, row pitch = width), else 0 and the
// pixels unchanged. A file that is not a plain or run-length 24-bit true-colour image shows
// "Invalid TGA file." (not fatal).
int LoadTgaImage(const std::string& path, u16* pixels, int width, int height);
// The same from bytes in memory.
int DecodeTgaImage(const u8* bytes, size_t size, u16* pixels, int width, int height);
