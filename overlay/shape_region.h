// A window outline cut from a bitmap: exactly-black pixels are holes, every other pixel and
// every point of the window that the bitmap does not cover belongs to the window.
// Portable: the Windows side reads the bitmap into a PixelGrid and hands the rectangles to one
// ExtCreateRegion call (RDH_RECTANGLES, in the order given).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelGrid {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // row-major, top row first, 0x00RRGGBB

    // Rows backed by pixel data: a grid whose vector is short has only those rows.
    [[nodiscard]] int CoveredRows() const {
        if (width <= 0 || height <= 0) {
            return 0;
        }
        const size_t rows = pixels.size() / static_cast<size_t>(width);
        return rows < static_cast<size_t>(height) ? static_cast<int>(rows) : height;
    }

    // Black (exactly 0) and inside the bitmap.
    [[nodiscard]] bool IsHole(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < CoveredRows() &&
               pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                      static_cast<size_t>(x)] == 0;
    }
};

// The grid at width x height, as on a screen scaled from 96 DPI: each pixel takes the grid pixel
// under its centre. Only the grid's covered rows are scaled.
PixelGrid ScalePixelGrid(const PixelGrid& grid, int width, int height);

// Right and bottom exclusive, like a Win32 RECT.
struct RegionRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

// The window's region for a w x h window as rectangles in y-x banded order: each band is a run
// of rows with identical spans, its rectangles share top and bottom and go left to right, and
// bands go top to bottom without overlap. Empty when nothing of the window remains.
std::vector<RegionRect> ComputeShapeRects(const PixelGrid& shape, int w, int h);

// The smallest rectangle holding all of `rects`; all zero for none.
RegionRect BoundingRect(const std::vector<RegionRect>& rects);

// The per-pixel model the rectangles must agree with: start from the full w x h rectangle and
// toggle every black pixel, visiting columns outer and rows inner. Row-major w x h mask,
// true = inside the region.
std::vector<bool> ReferenceShapeMask(const PixelGrid& shape, int w, int h);
