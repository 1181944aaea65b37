// Windows .bmp files: 8 bits per pixel, uncompressed, bottom-up, full 256-entry colour table.
#pragma once

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/indexed_image.h"
#include "tools/resgen/palette.h"

namespace resgen {

Bytes EncodeBmp8(const IndexedImage& image, const Palette& palette);

}  // namespace resgen
