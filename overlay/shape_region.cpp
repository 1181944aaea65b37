#include "overlay/shape_region.h"

#include <algorithm>
#include <utility>

namespace {

struct Span {
    int left;
    int right;
    friend bool operator==(const Span&, const Span&) = default;
};

// Spans of row y of a w-wide window that are not holes. Rows below the bitmap and columns
// right of it are wholly inside the window.
void RowSpans(const PixelGrid& shape, int coveredRows, int w, int y, std::vector<Span>& spans) {
    spans.clear();
    if (y >= coveredRows) {
        spans.push_back({0, w});
        return;
    }
    const uint32_t* row = shape.pixels.data() + static_cast<size_t>(y) * shape.width;
    const int covered = std::min(w, shape.width);
    int x = 0;
    while (x < w) {
        while (x < covered && row[x] == 0) {
            ++x;
        }
        if (x >= w) {
            break;
        }
        const int left = x;
        while (x < covered && row[x] != 0) {
            ++x;
        }
        if (x >= covered) {
            x = w;  // the rest of the row is not covered by the bitmap
        }
        spans.push_back({left, x});
    }
}

}  // namespace

std::vector<RegionRect> ComputeShapeRects(const PixelGrid& shape, int w, int h) {
    std::vector<RegionRect> rects;
    if (w <= 0 || h <= 0) {
        return rects;
    }
    const int coveredRows = shape.CoveredRows();
    std::vector<Span> previous;
    std::vector<Span> current;
    size_t bandStart = 0;  // first rectangle of the band that row y - 1 belongs to
    for (int y = 0; y < h; ++y) {
        RowSpans(shape, coveredRows, w, y, current);
        if (y > 0 && current == previous) {
            for (size_t i = bandStart; i < rects.size(); ++i) {
                rects[i].bottom = y + 1;
            }
        } else {
            bandStart = rects.size();
            for (const Span& span : current) {
                rects.push_back({span.left, y, span.right, y + 1});
            }
        }
        std::swap(previous, current);
    }
    return rects;
}

RegionRect BoundingRect(const std::vector<RegionRect>& rects) {
    if (rects.empty()) {
        return {0, 0, 0, 0};
    }
    RegionRect bounds = rects.front();
    for (const RegionRect& r : rects) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

std::vector<bool> ReferenceShapeMask(const PixelGrid& shape, int w, int h) {
    if (w <= 0 || h <= 0) {
        return {};
    }
    std::vector<bool> mask(static_cast<size_t>(w) * static_cast<size_t>(h), true);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            if (shape.IsHole(x, y)) {
                const size_t i =
                    static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
                mask[i] = !mask[i];
            }
        }
    }
    return mask;
}

PixelGrid ScalePixelGrid(const PixelGrid& grid, int width, int height) {
    PixelGrid scaled;
    const int covered = grid.CoveredRows();
    if (covered == 0 || width <= 0 || height <= 0) {
        return scaled;
    }
    // Pixel centres: source = floor((2 * i + 1) * from / (2 * to)), in 64 bits against overflow.
    const auto source = [](int i, int from, int to) {
        return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * from /
                                (2 * static_cast<int64_t>(to)));
    };
    scaled.width = width;
    scaled.height = height;
    for (int y = 0; y < height; ++y) {
        const int sy = source(y, grid.height, height);
        if (sy >= covered) {
            break;  // the rest of the source is not covered either
        }
        for (int x = 0; x < width; ++x) {
            const int sx = source(x, grid.width, width);
            scaled.pixels.push_back(
                grid.pixels[static_cast<size_t>(sy) * static_cast<size_t>(grid.width) +
                            static_cast<size_t>(sx)]);
        }
    }
    return scaled;
}
