#include "tools/resgen/bmp_encoder.h"

namespace resgen {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi

}  // namespace

Bytes EncodeBmp8(const IndexedImage& image, const Palette& palette) {
    const uint32_t rowSize = (static_cast<uint32_t>(image.Width()) + 3u) & ~3u;
    const uint32_t pixelBytes = rowSize * static_cast<uint32_t>(image.Height());
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4u * 256u;

    ByteWriter out;
    // BITMAPFILEHEADER
    out.U8('B');
    out.U8('M');
    out.U32(pixelOffset + pixelBytes);
    out.U16(0);
    out.U16(0);
    out.U32(pixelOffset);
    // BITMAPINFOHEADER; a positive height means the rows are stored bottom-up.
    out.U32(kInfoHeaderSize);
    out.I32(image.Width());
    out.I32(image.Height());
    out.U16(1);  // planes
    out.U16(8);  // bits per pixel
    out.U32(0);  // BI_RGB
    out.U32(pixelBytes);
    out.I32(kPixelsPerMetre);
    out.I32(kPixelsPerMetre);
    out.U32(256);  // colours used
    out.U32(0);    // all colours important
    for (const Rgb& c : palette) {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
        out.U8(0);
    }
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = out.Size();
        for (int x = 0; x < image.Width(); ++x) {
            out.U8(image.At(x, y));
        }
        out.PadRow(rowStart);
    }
    return out.Take();
}

}  // namespace resgen
