#include "overlay/bitmap_region_win32.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {
// RGNDATA is a header followed by the rectangles; keeping it in RECT-sized slots keeps the
// rectangles aligned without casts between unrelated buffers.
static_assert(sizeof(RGNDATAHEADER) % sizeof(RECT) == 0);
constexpr size_t kHeaderSlots = sizeof(RGNDATAHEADER) / sizeof(RECT);

RECT ToRect(const RegionRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

UniqueRegion UnionOfRects(const std::vector<RegionRect>& rects) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    for (const RegionRect& r : rects) {
        UniqueRegion part(CreateRectRgn(r.left, r.top, r.right, r.bottom));
        if (region && part) {
            CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
        }
    }
    return region;
}

PixelGrid ReadPixelGrid(HDC dc, HBITMAP bitmap) {
    PixelGrid grid;
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return grid;
    }
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;

    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) *
                                 static_cast<size_t>(info.bmHeight));
    const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                               &format, DIB_RGB_COLORS);
    if (rows <= 0) {
        return grid;
    }
    pixels.resize(static_cast<size_t>(rows) * static_cast<size_t>(info.bmWidth));
    for (uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFF;  // BGRA in memory; the fourth byte is not part of the colour
    }
    grid.width = info.bmWidth;
    grid.height = rows;
    grid.pixels = std::move(pixels);
    return grid;
}

UniqueRegion CreateRegionFromGrid(const PixelGrid& grid, int w, int h) {
    const std::vector<RegionRect> rects = ComputeShapeRects(grid, w, h);
    std::vector<RECT> data(kHeaderSlots + rects.size());
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header.rcBound = ToRect(BoundingRect(rects));
    std::memcpy(data.data(), &header, sizeof(header));
    for (size_t i = 0; i < rects.size(); ++i) {
        data[kHeaderSlots + i] = ToRect(rects[i]);
    }
    UniqueRegion region(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size() * sizeof(RECT)),
                                        reinterpret_cast<const RGNDATA*>(data.data())));
    if (!region) {
        region = UnionOfRects(rects);
    }
    return region;
}

UniqueRegion CreateShapeRegion(HDC dc, HBITMAP bitmap, int w, int h, UINT dpi) {
    PixelGrid grid = ReadPixelGrid(dc, bitmap);
    if (dpi != kDefaultDpi && grid.width > 0) {
        grid = ScalePixelGrid(grid, ScaleForDpi(grid.width, dpi), ScaleForDpi(grid.height, dpi));
    }
    return CreateRegionFromGrid(grid, w, h);
}
