#include "tools/resgen/ico_encoder.h"

namespace resgen {
namespace {

constexpr uint32_t kDirHeaderSize = 6;
constexpr uint32_t kDirEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;

uint32_t RowBytes(int width, int bitsPerPixel) {
    return ((static_cast<uint32_t>(width * bitsPerPixel) + 31u) / 32u) * 4u;
}

uint32_t ColourCount(const IconImage& icon) {
    return 1u << icon.bitsPerPixel;
}

uint32_t PixelDataSize(const IconImage& icon) {
    const auto h = static_cast<uint32_t>(icon.pixels.Height());
    return RowBytes(icon.pixels.Width(), icon.bitsPerPixel) * h +
           RowBytes(icon.pixels.Width(), 1) * h;
}

uint32_t ImageSize(const IconImage& icon) {
    return kInfoHeaderSize + 4u * ColourCount(icon) + PixelDataSize(icon);
}

bool IsOpaque(const IconImage& icon, int x, int y) {
    return icon.opaque[static_cast<std::size_t>(y * icon.pixels.Width() + x)] != 0;
}

void WriteImage(ByteWriter& out, const IconImage& icon, const Palette& palette) {
    const int w = icon.pixels.Width();
    const int h = icon.pixels.Height();
    out.U32(kInfoHeaderSize);
    out.I32(w);
    out.I32(h * 2);  // the colour bits and the mask, stacked
    out.U16(1);
    out.U16(static_cast<uint32_t>(icon.bitsPerPixel));
    out.U32(0);  // BI_RGB
    out.U32(PixelDataSize(icon));
    out.U32(0);
    out.U32(0);
    out.U32(0);
    out.U32(0);
    for (uint32_t i = 0; i < ColourCount(icon); ++i) {
        out.U8(palette[i].b);
        out.U8(palette[i].g);
        out.U8(palette[i].r);
        out.U8(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t rowStart = out.Size();
        uint32_t acc = 0;
        int bits = 0;
        for (int x = 0; x < w; ++x) {
            const uint32_t index = IsOpaque(icon, x, y) ? icon.pixels.At(x, y) : 0u;
            acc = (acc << icon.bitsPerPixel) | index;
            bits += icon.bitsPerPixel;
            if (bits == 8) {
                out.U8(acc);
                acc = 0;
                bits = 0;
            }
        }
        if (bits > 0) {  // a row that ends inside a byte: the pixels go to its high bits
            out.U8(acc << (8 - bits));
        }
        out.PadRow(rowStart);
    }
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t rowStart = out.Size();
        uint32_t acc = 0;
        int bits = 0;
        for (int x = 0; x < w; ++x) {
            acc = (acc << 1) | (IsOpaque(icon, x, y) ? 0u : 1u);
            if (++bits == 8) {
                out.U8(acc);
                acc = 0;
                bits = 0;
            }
        }
        if (bits > 0) {
            out.U8(acc << (8 - bits));
        }
        out.PadRow(rowStart);
    }
}

}  // namespace

Bytes EncodeIco(const std::vector<IconImage>& images, const Palette& palette) {
    ByteWriter out;
    out.U16(0);  // reserved
    out.U16(1);  // icon, not cursor
    out.U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = kDirHeaderSize + kDirEntrySize * static_cast<uint32_t>(images.size());
    for (const IconImage& icon : images) {
        out.U8(static_cast<uint32_t>(icon.pixels.Width()) & 0xFF);  // 256 would be stored as 0
        out.U8(static_cast<uint32_t>(icon.pixels.Height()) & 0xFF);
        out.U8(icon.bitsPerPixel < 8 ? ColourCount(icon) : 0u);
        out.U8(0);
        out.U16(1);
        out.U16(static_cast<uint32_t>(icon.bitsPerPixel));
        out.U32(ImageSize(icon));
        out.U32(offset);
        offset += ImageSize(icon);
    }
    for (const IconImage& icon : images) {
        WriteImage(out, icon, palette);
    }
    return out.Take();
}

}  // namespace resgen
