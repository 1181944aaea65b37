// The 256-colour palette shared by every generated bitmap and icon: the 16 VGA colours, a 6x6x6
// colour cube and 24 greys. A 4-bit icon uses the first 16 entries only.
#pragma once

#include <array>
#include <cstdint>

namespace resgen {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::array<Rgb, 256>;

const Palette& StandardPalette();

// Named entries among the 16 VGA colours.
enum VgaIndex : uint8_t {
    kBlack = 0,
    kMaroon = 1,  // dark red (128, 0, 0)
    kGreen = 2,
    kOlive = 3,
    kNavy = 4,
    kPurple = 5,
    kTeal = 6,
    kSilver = 7,
    kGrey = 8,
    kRed = 9,  // (255, 0, 0)
    kLime = 10,
    kYellow = 11,
    kBlue = 12,
    kFuchsia = 13,
    kAqua = 14,
    kWhite = 15,
};

// Index of the cube colour with levels 0..5 per channel (0, 51, 102, 153, 204, 255).
constexpr uint8_t CubeIndex(int r, int g, int b) {
    return static_cast<uint8_t>(16 + r * 36 + g * 6 + b);
}

// Index of grey step 0..23 (8, 18, ..., 238).
constexpr uint8_t GreyIndex(int step) {
    return static_cast<uint8_t>(232 + step);
}

}  // namespace resgen
