// Cost of cutting the countdown window's 200 x 150 region from its shape bitmap.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "overlay/shape_region.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kRed = 0x00FF0000;

PixelGrid Filled(uint32_t colour) {
    return {kWidth, kHeight, std::vector<uint32_t>(kWidth * kHeight, colour)};
}

void Fill(PixelGrid& grid, int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            grid.pixels[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] = colour;
        }
    }
}

// Like a digit picture used as a shape: black field, white frame, a red "5" in the middle.
PixelGrid DigitLike() {
    PixelGrid grid = Filled(0);
    Fill(grid, 0, 0, kWidth, 2, kWhite);
    Fill(grid, 0, 147, kWidth, kHeight, kWhite);
    Fill(grid, 0, 0, 2, kHeight, kWhite);
    Fill(grid, 197, 0, kWidth, kHeight, kWhite);
    Fill(grid, 62, 30, 130, 44, kRed);    // top bar
    Fill(grid, 62, 30, 76, 72, kRed);     // upper left stroke
    Fill(grid, 62, 66, 124, 80, kRed);    // middle bar
    Fill(grid, 118, 74, 132, 108, kRed);  // lower right stroke
    Fill(grid, 60, 104, 124, 118, kRed);  // bottom bar
    return grid;
}

PixelGrid Checkerboard() {
    PixelGrid grid = Filled(kWhite);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = (y % 2); x < kWidth; x += 2) {
            grid.pixels[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] = 0;
        }
    }
    return grid;
}

void RunShapeRects(benchmark::State& state, const PixelGrid& grid) {
    size_t rects = 0;
    for (auto _ : state) {
        const std::vector<RegionRect> result = ComputeShapeRects(grid, kWidth, kHeight);
        rects = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["rects"] = static_cast<double>(rects);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_ShapeRectsAllWhite(benchmark::State& state) {
    RunShapeRects(state, Filled(kWhite));
}
void BM_ShapeRectsDigit(benchmark::State& state) {
    RunShapeRects(state, DigitLike());
}
void BM_ShapeRectsCheckerboard(benchmark::State& state) {
    RunShapeRects(state, Checkerboard());
}

BENCHMARK(BM_ShapeRectsAllWhite);
BENCHMARK(BM_ShapeRectsDigit);
BENCHMARK(BM_ShapeRectsCheckerboard);

}  // namespace

BENCHMARK_MAIN();
