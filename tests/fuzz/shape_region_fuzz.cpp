// The window region from any shape grid (any size, short or missing pixel data, any pixel
// values) and any window size. Properties:
//  - the rectangles paint exactly the per-pixel model's region (ReferenceShapeMask) and the
//    plain rule it encodes: a point is outside only where the bitmap has a black pixel;
//  - they form one clean banded list as ExtCreateRegion takes it: non-empty, inside the
//    window, sorted top to bottom and left to right, no overlap, no touching neighbours in a
//    band, and no two adjacent bands with the same spans (they would have been one band);
//  - BoundingRect is the smallest rectangle holding them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "overlay/shape_region.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Band {
    int top;
    int bottom;
    std::vector<std::pair<int, int>> spans;
};

std::vector<Band> Bands(const std::vector<RegionRect>& rects) {
    std::vector<Band> bands;
    for (const RegionRect& r : rects) {
        if (bands.empty() || bands.back().top != r.top) {
            bands.push_back({r.top, r.bottom, {}});
        }
        FUZZ_CHECK(bands.back().bottom == r.bottom);
        bands.back().spans.emplace_back(r.left, r.right);
    }
    return bands;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    PixelGrid grid;
    grid.width = in.ConsumeIntegralInRange(-2, 48);
    grid.height = in.ConsumeIntegralInRange(-2, 48);
    const int w = in.ConsumeIntegralInRange(-2, 64);
    const int h = in.ConsumeIntegralInRange(-2, 64);
    const std::size_t full =
        grid.width > 0 && grid.height > 0 ? static_cast<std::size_t>(grid.width * grid.height) : 0;
    // Usually the whole grid, sometimes short (fewer rows backed) or long.
    const std::size_t count =
        in.ConsumeBool() ? full : in.ConsumeIntegralInRange<std::size_t>(0, full + 8);
    const bool anyValues = in.ConsumeBool();
    grid.pixels.reserve(count);
    while (grid.pixels.size() < count) {
        const uint8_t bits = in.ConsumeIntegral<uint8_t>();
        for (int b = 0; b < 8 && grid.pixels.size() < count; ++b) {
            const bool black = (bits >> b & 1) != 0;
            grid.pixels.push_back(black ? 0
                                        : (anyValues
                                               ? in.ConsumeIntegralInRange<uint32_t>(1, 0xFFFFFFFF)
                                               : 0x00FFFFFF));
        }
    }

    const std::vector<RegionRect> rects = ComputeShapeRects(grid, w, h);
    if (w <= 0 || h <= 0) {
        FUZZ_CHECK(rects.empty());
        FUZZ_CHECK(ReferenceShapeMask(grid, w, h).empty());
        return 0;
    }

    const auto width = static_cast<std::size_t>(w);
    std::vector<bool> painted(width * static_cast<std::size_t>(h), false);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const RegionRect& r = rects[i];
        FUZZ_CHECK(r.left < r.right && r.top < r.bottom);
        FUZZ_CHECK(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h);
        if (i > 0) {
            const RegionRect& p = rects[i - 1];
            FUZZ_CHECK(p.top == r.top ? p.right < r.left : p.bottom <= r.top);
        }
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const std::size_t k =
                    static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x);
                FUZZ_CHECK(!painted[k]);
                painted[k] = true;
            }
        }
    }

    FUZZ_CHECK(painted == ReferenceShapeMask(grid, w, h));
    const int rowsWithData = grid.width > 0
                                 ? static_cast<int>(std::min<std::size_t>(
                                       grid.pixels.size() / static_cast<std::size_t>(grid.width),
                                       static_cast<std::size_t>(std::max(grid.height, 0))))
                                 : 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool hole = x < grid.width && y < rowsWithData &&
                              grid.pixels[static_cast<std::size_t>(y * grid.width + x)] == 0;
            FUZZ_CHECK(painted[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] ==
                       !hole);
        }
    }

    const std::vector<Band> bands = Bands(rects);
    for (std::size_t i = 1; i < bands.size(); ++i) {
        FUZZ_CHECK(bands[i - 1].bottom < bands[i].top || bands[i - 1].spans != bands[i].spans);
    }

    const RegionRect bounds = BoundingRect(rects);
    if (rects.empty()) {
        FUZZ_CHECK(bounds == (RegionRect{0, 0, 0, 0}));
    } else {
        for (const RegionRect& r : rects) {
            FUZZ_CHECK(bounds.left <= r.left && bounds.top <= r.top && bounds.right >= r.right &&
                       bounds.bottom >= r.bottom);
        }
        FUZZ_CHECK(std::any_of(rects.begin(), rects.end(),
                               [&](const RegionRect& r) { return r.left == bounds.left; }));
        FUZZ_CHECK(std::any_of(rects.begin(), rects.end(),
                               [&](const RegionRect& r) { return r.right == bounds.right; }));
        FUZZ_CHECK(bounds.top == rects.front().top && bounds.bottom == rects.back().bottom);
    }
    return 0;
}
