#include "overlay/shape_region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0;

PixelGrid Grid(int width, int height, uint32_t fill = kWhite) {
    return {width, height,
            std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), fill)};
}

void Set(PixelGrid& grid, int x, int y, uint32_t value) {
    grid.pixels[static_cast<size_t>(y) * static_cast<size_t>(grid.width) + static_cast<size_t>(x)] =
        value;
}

// Paints the rectangles into a w x h mask, failing on anything ExtCreateRegion would not take
// as one clean banded region: empty or out-of-window rectangles, overlaps, unsorted bands.
std::vector<bool> PaintChecked(const std::vector<RegionRect>& rects, int w, int h) {
    std::vector<bool> mask(static_cast<size_t>(w) * static_cast<size_t>(h), false);
    for (size_t i = 0; i < rects.size(); ++i) {
        const RegionRect& r = rects[i];
        SCOPED_TRACE("rect " + std::to_string(i));
        EXPECT_TRUE(r.left < r.right && r.top < r.bottom);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h);
        if (i > 0) {
            const RegionRect& p = rects[i - 1];
            const bool sameBand = p.top == r.top;
            if (sameBand) {
                EXPECT_EQ(p.bottom, r.bottom);
                EXPECT_LT(p.right, r.left);  // separate and maximal spans
            } else {
                EXPECT_GE(r.top, p.bottom);
            }
        }
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y) {
            for (int x = std::max(r.left, 0); x < std::min(r.right, w); ++x) {
                const size_t k =
                    static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
                EXPECT_FALSE(mask[k]) << "point " << x << "," << y << " covered twice";
                mask[k] = true;
            }
        }
    }
    return mask;
}

void ExpectMatchesReference(const PixelGrid& shape, int w, int h) {
    const std::vector<RegionRect> rects = ComputeShapeRects(shape, w, h);
    const std::vector<bool> painted = PaintChecked(rects, w, h);
    const std::vector<bool> reference = ReferenceShapeMask(shape, w, h);
    ASSERT_EQ(painted.size(), reference.size());
    for (size_t k = 0; k < painted.size(); ++k) {
        ASSERT_EQ(painted[k], reference[k])
            << "point " << k % static_cast<size_t>(w) << "," << k / static_cast<size_t>(w);
    }
}

// --- Exact rectangles ------------------------------------------------------------------

TEST(ShapeRects, WhiteShapeIsTheFullWindow) {
    const auto rects = ComputeShapeRects(Grid(200, 150), 200, 150);
    EXPECT_EQ(rects, (std::vector<RegionRect>{{0, 0, 200, 150}}));
    EXPECT_EQ(BoundingRect(rects), (RegionRect{0, 0, 200, 150}));
}

TEST(ShapeRects, OnlyExactBlackIsAHole) {
    PixelGrid shape = Grid(5, 4);
    Set(shape, 2, 1, kBlack);
    Set(shape, 0, 3, 0x00000001);  // nearly black stays
    Set(shape, 4, 3, 0x00010000);
    EXPECT_EQ(ComputeShapeRects(shape, 5, 4),
              (std::vector<RegionRect>{{0, 0, 5, 1}, {0, 1, 2, 2}, {3, 1, 5, 2}, {0, 2, 5, 4}}));
}

TEST(ShapeRects, AllBlackLeavesNothing) {
    const auto rects = ComputeShapeRects(Grid(7, 3, kBlack), 7, 3);
    EXPECT_TRUE(rects.empty());
    EXPECT_EQ(BoundingRect(rects), (RegionRect{0, 0, 0, 0}));
}

TEST(ShapeRects, WindowBeyondTheBitmapStaysInTheRegion) {
    // A black 4x3 bitmap in a 6x5 window: only the uncovered L remains.
    EXPECT_EQ(ComputeShapeRects(Grid(4, 3, kBlack), 6, 5),
              (std::vector<RegionRect>{{4, 0, 6, 3}, {0, 3, 6, 5}}));
}

TEST(ShapeRects, BitmapBeyondTheWindowIsClipped) {
    PixelGrid shape = Grid(10, 10);
    Set(shape, 7, 2, kBlack);
    Set(shape, 2, 7, kBlack);
    EXPECT_EQ(ComputeShapeRects(shape, 5, 5), (std::vector<RegionRect>{{0, 0, 5, 5}}));
}

TEST(ShapeRects, EmptyWindowAndShortPixelData) {
    EXPECT_TRUE(ComputeShapeRects(Grid(4, 4), 0, 4).empty());
    EXPECT_TRUE(ComputeShapeRects(Grid(4, 4), 4, -1).empty());
    // Pixel data for two of four rows: the missing rows read as not black.
    PixelGrid shape{3, 4, std::vector<uint32_t>(6, kBlack)};
    EXPECT_EQ(ComputeShapeRects(shape, 3, 4), (std::vector<RegionRect>{{0, 2, 3, 4}}));
    ExpectMatchesReference(shape, 3, 4);
}

// --- Against the per-pixel model -------------------------------------------------------

TEST(ShapeRectsMatchReference, EdgesCornersAndRuns) {
    PixelGrid shape = Grid(12, 9);
    for (auto [x, y] : {std::pair{0, 0}, {11, 0}, {0, 8}, {11, 8}, {5, 0}, {0, 4}, {11, 5}}) {
        Set(shape, x, y, kBlack);
    }
    for (int x = 2; x < 9; ++x) {
        Set(shape, x, 3, kBlack);  // a horizontal run
    }
    for (int y = 1; y < 8; ++y) {
        Set(shape, 7, y, kBlack);  // a vertical run crossing it
    }
    ExpectMatchesReference(shape, 12, 9);
    ExpectMatchesReference(shape, 15, 11);
    ExpectMatchesReference(shape, 6, 4);
}

TEST(ShapeRectsMatchReference, CheckerboardHasNoVerticalMerges) {
    PixelGrid shape = Grid(20, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            if ((x + y) % 2 == 0) {
                Set(shape, x, y, kBlack);
            }
        }
    }
    ExpectMatchesReference(shape, 20, 10);
    EXPECT_EQ(ComputeShapeRects(shape, 20, 10).size(), 100u);
}

TEST(ShapeRectsMatchReference, RandomGrids) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(random() % 24);
        const int height = 1 + static_cast<int>(random() % 24);
        const int w = 1 + static_cast<int>(random() % 28);
        const int h = 1 + static_cast<int>(random() % 28);
        const unsigned blackPercent = random() % 101;
        PixelGrid shape = Grid(width, height);
        for (uint32_t& pixel : shape.pixels) {
            pixel = random() % 100 < blackPercent ? kBlack : 1 + random() % 0xFFFFFF;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectMatchesReference(shape, w, h);
    }
}

}  // namespace

namespace {

TEST(ScalePixelGrid, EachPixelTakesTheSourcePixelUnderItsCentre) {
    // 2 x 2 with one hole, to 3 x 3 (150 %): the middle row's and column's centres fall on the
    // boundary between the source pixels and take the second, so the hole covers 2 x 2.
    PixelGrid grid = Grid(2, 2);
    Set(grid, 1, 1, 0);
    const PixelGrid scaled = ScalePixelGrid(grid, 3, 3);
    ASSERT_EQ(scaled.width, 3);
    ASSERT_EQ(scaled.height, 3);
    ASSERT_EQ(scaled.pixels.size(), 9u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(scaled.IsHole(x, y), x >= 1 && y >= 1) << x << "," << y;
        }
    }
    // Whole-number factors repeat each pixel exactly.
    const PixelGrid doubled = ScalePixelGrid(grid, 4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(doubled.IsHole(x, y), grid.IsHole(x / 2, y / 2)) << x << "," << y;
        }
    }
}

TEST(ScalePixelGrid, ScaledShapeRegionIsTheScaledBitmapsRegion) {
    // The overlay at 144 DPI: a 200 x 150 shape with holes at 300 x 225.
    PixelGrid shape = Grid(200, 150);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            if ((x / 7 + y / 5) % 3 == 0 || (x < 12 && y < 12)) {
                Set(shape, x, y, 0);
            }
        }
    }
    const PixelGrid scaled = ScalePixelGrid(shape, 300, 225);
    const std::vector<bool> mask = PaintChecked(ComputeShapeRects(scaled, 300, 225), 300, 225);
    for (int y = 0; y < 225; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool hole = shape.IsHole((2 * x + 1) * 200 / 600, (2 * y + 1) * 150 / 450);
            ASSERT_EQ(mask[static_cast<size_t>(y * 300 + x)], !hole) << x << "," << y;
        }
    }
}

TEST(ScalePixelGrid, UncoveredRowsAndEmptyInputStayUncovered) {
    PixelGrid shortGrid = Grid(4, 4, 0);
    shortGrid.pixels.resize(8);  // two of four rows
    const PixelGrid scaled = ScalePixelGrid(shortGrid, 8, 8);
    EXPECT_EQ(scaled.CoveredRows(), 4);
    EXPECT_TRUE(scaled.IsHole(7, 3));
    EXPECT_FALSE(scaled.IsHole(0, 4)) << "outside the bitmap: inside the window";
    EXPECT_EQ(ScalePixelGrid(PixelGrid{}, 10, 10).CoveredRows(), 0);
    EXPECT_EQ(ScalePixelGrid(shortGrid, 0, 5).CoveredRows(), 0);
}

}  // namespace
