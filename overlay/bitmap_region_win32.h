// A window region cut from a bitmap: the bitmap is read once and its black pixels become holes,
// built as one rectangle list instead of one region operation per pixel.
#pragma once

#include <windows.h>

#include <vector>

#include "win/handles_win32.h"
#include "overlay/shape_region.h"
#include "win/dpi_win32.h"

// The bitmap's pixels as 0x00RRGGBB, top row first; an empty grid when it cannot be read.
// `dc` is any device context of the screen; the bitmap must not be selected into a DC.
PixelGrid ReadPixelGrid(HDC dc, HBITMAP bitmap);

// The region of a w x h window shaped by `grid`; points the grid does not cover stay inside.
UniqueRegion CreateRegionFromGrid(const PixelGrid& grid, int w, int h);

// The slow path CreateRegionFromGrid takes should ExtCreateRegion refuse the list: one union per
// rectangle.
UniqueRegion UnionOfRects(const std::vector<RegionRect>& rects);

// Both steps together, the bitmap (made for 96 DPI) first scaled to `dpi` by pixel centres. A
// null or unreadable bitmap gives the full w x h rectangle.
UniqueRegion CreateShapeRegion(HDC dc, HBITMAP bitmap, int w, int h, UINT dpi = kDefaultDpi);
