// A grid of palette indices, row 0 at the top.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

class IndexedImage {
public:
    IndexedImage(int width, int height, uint8_t fill = 0)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), fill) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint8_t At(int x, int y) const { return pixels_[Offset(x, y)]; }
    void Set(int x, int y, uint8_t index) { pixels_[Offset(x, y)] = index; }
    void FillRect(int left, int top, int right, int bottom, uint8_t index) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                Set(x, y, index);
            }
        }
    }

private:
    std::size_t Offset(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }

    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace resgen
