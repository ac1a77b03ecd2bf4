#pragma once
// Writes 16-bit pictures as 8-bit RGB PNG files (for looking at frames from tests).
#include <string>

#include "platform/types.h"

namespace platform {

// Writes a width x height picture of 5-5-5 (or, with `is565`, 5-6-5) pixels, rows packed.
// Each channel is widened by repeating its top bits. False when the file cannot be written.
bool WriteFramePng(const std::string& path, const u16* pixels, int width, int height, bool is565);

}  // namespace platform
