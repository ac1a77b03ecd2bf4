#pragma once
// Writes 16-bit pictures as 8-bit RGB PNG files (for looking at frames from tests), and reads
// them back (golden frames).
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Writes a width x height picture of 5-5-5 (or, with `is565`, 5-6-5) pixels, rows packed.
// Each channel is widened by repeating its top bits. False when the file cannot be written.
bool WriteFramePng(const std::string& path, const u16* pixels, int width, int height, bool is565);

// Reads a PNG written by WriteFramePng (any 8-bit colour PNG) back into 5-5-5 pixels, each
// channel's top five bits. False when the file is missing or not a readable PNG.
bool ReadFramePng(const std::string& path, std::vector<u16>& pixels, int& width, int& height);

}  // namespace platform
