// Windows .ico files holding several images, each with its colour table, pixels and AND mask.
#pragma once

#include <vector>

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/indexed_image.h"
#include "tools/resgen/palette.h"

namespace resgen {

struct IconImage {
    IndexedImage pixels;
    // 1 where the pixel is drawn, 0 where the background shows through (the AND mask's 1 bits).
    std::vector<uint8_t> opaque;
    int bitsPerPixel = 8;  // 4 (first 16 palette entries) or 8
};

// Transparent pixels are stored as index 0 (black), as the icon format expects.
Bytes EncodeIco(const std::vector<IconImage>& images, const Palette& palette);

}  // namespace resgen
