#include "tools/resgen/palette.h"

namespace resgen {
namespace {

Palette MakePalette() {
    Palette p{};
    constexpr Rgb kVga[16] = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    for (int i = 0; i < 16; ++i) {
        p[i] = kVga[i];
    }
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                p[CubeIndex(r, g, b)] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                         static_cast<uint8_t>(b * 51)};
            }
        }
    }
    for (int s = 0; s < 24; ++s) {
        const auto v = static_cast<uint8_t>(8 + 10 * s);
        p[GreyIndex(s)] = {v, v, v};
    }
    return p;
}

}  // namespace

const Palette& StandardPalette() {
    static const Palette palette = MakePalette();
    return palette;
}

}  // namespace resgen
