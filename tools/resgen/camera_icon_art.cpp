#include "tools/resgen/camera_icon_art.h"

#include <array>
#include <string_view>

#include "tools/resgen/palette.h"

namespace resgen {
namespace {

// A compact photo camera seen from the front: viewfinder hump and shutter button on top, a large
// lens in the middle, a flash window at the upper right.
//   K outline   L lit top of the body   B body   D shaded bottom   S shutter button   F flash
//   M lens ring   R inner lens ring   G glass   H glass catching light   W glint   . transparent
constexpr std::array<std::string_view, 32> kCamera32 = {
    "................................",  //
    "................................",  //
    "................................",  //
    "............KKKKKKKK............",  //
    "...........KLLLLLLLLK...........",  //
    "....KKKKK.KLLLLLLLLLLK..........",  //
    "....KSSSK.KLLLLLLLLLLK..........",  //
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",  //
    "..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..",  //
    ".KLLLLLLLLLLLKKKKKLLLLLLLLLLLLK.",  //
    ".KBBBBBBBBBKKMMMMMKKBBBBBBBBBBK.",  //
    ".KBBBBBBBBKMMMRRRMMMKBBKKKKKBBK.",  //
    ".KBBBBBBBKMMRRHHHRRMMKBKFFFKBBK.",  //
    ".KBBBBBBKMMRHHHHHGGRMMKKKKKKBBK.",  //
    ".KBBBBBBKMRHWWHHGGGGRMKBBBBBBBK.",  //
    ".KBBBBBKMMRHWHHGGGGGRMMKBBBBBBK.",  //
    ".KBBBBBKMRHHHHGGGGGGGRMKBBBBBBK.",  //
    ".KBBBBBKMRHHHGGGGGGGGRMKBBBBBBK.",  //
    ".KBBBBBKMRHHGGGGGGGGGRMKBBBBBBK.",  //
    ".KBBBBBKMMRGGGGGGGGGRMMKBBBBBBK.",  //
    ".KBBBBBBKMRGGGGGGGGGRMKBBBBBBBK.",  //
    ".KBBBBBBKMMRGGGGGGGRMMKBBBBBBBK.",  //
    ".KBBBBBBBKMMRRGGGRRMMKBBBBBBBBK.",  //
    ".KBBBBBBBBKMMMRRRMMMKBBBBBBBBBK.",  //
    ".KBBBBBBBBBKKMMMMMKKBBBBBBBBBBK.",  //
    ".KDDDDDDDDDDDKKKKKDDDDDDDDDDDDK.",  //
    "..KDDDDDDDDDDDDDDDDDDDDDDDDDDK..",  //
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",  //
    "................................",  //
    "................................",  //
    "................................",  //
    "................................",  //
};

constexpr std::array<std::string_view, 16> kCamera16 = {
    "................",  //
    "................",  //
    "................",  //
    "......KKKK......",  //
    ".KKK.KLLLLK.....",  //
    ".KKKKKKKKKKKKKK.",  //
    "KLLLKKMMMKKLLLLK",  //
    "KBBBKMHHHMKBFFBK",  //
    "KBBKMHWHGGMKBBBK",  //
    "KBBKMHHGGGMKBBBK",  //
    "KBBKMHGGGGMKBBBK",  //
    "KBBKMGGGGGMKBBBK",  //
    "KBBBKMGGGMKBBBBK",  //
    "KDDDKKMMMKKDDDDK",  //
    ".KKKKKKKKKKKKKK.",  //
    "................",  //
};

// Badges drawn over the lower right corner.
//   o outline   r/g fill   h highlight   . leave the camera as it is
constexpr std::array<std::string_view, 11> kCross32 = {
    "oo.......oo",  //
    "orro...orro",  //
    "orrro.orrro",  //
    ".orrrorrro.",  //
    "..orrrrro..",  //
    "...orrro...",  //
    "..orrrrro..",  //
    ".orrrorrro.",  //
    "orrro.orrro",  //
    "orro...orro",  //
    "oo.......oo",  //
};

constexpr std::array<std::string_view, 7> kCross16 = {
    "rr...rr",  //
    "rrr.rrr",  //
    ".rrrrr.",  //
    "..rrr..",  //
    ".rrrrr.",  //
    "rrr.rrr",  //
    "rr...rr",  //
};

constexpr std::array<std::string_view, 11> kDot32 = {
    "...ooooo...",  //
    ".oohhgggoo.",  //
    ".ohhgggggo.",  //
    "ohhgggggggo",  //
    "ohggggggggo",  //
    "ogggggggggo",  //
    "ogggggggggo",  //
    "ogggggggggo",  //
    ".ogggggggo.",  //
    ".oogggggoo.",  //
    "...ooooo...",  //
};

constexpr std::array<std::string_view, 7> kDot16 = {
    "..ooo..",  //
    ".ohggo.",  //
    "ohggggo",  //
    "ogggggo",  //
    "ogggggo",  //
    ".ogggo.",  //
    "..ooo..",  //
};

struct Colours {
    uint8_t outline, lit, body, shade, shutter, flash, ring, innerRing, glass, glassLit, glint;
};

// Application icon, 16 colours: grey body, navy lens.
constexpr Colours kColour16 = {.outline = kBlack,
                               .lit = kSilver,
                               .body = kGrey,
                               .shade = kGrey,
                               .shutter = kRed,
                               .flash = kYellow,
                               .ring = kSilver,
                               .innerRing = kBlack,
                               .glass = kNavy,
                               .glassLit = kBlue,
                               .glint = kWhite};
// Plugged in: steel-blue body, bright blue lens.
constexpr Colours kColour256 = {.outline = kBlack,
                                .lit = CubeIndex(2, 3, 4),
                                .body = CubeIndex(1, 2, 3),
                                .shade = CubeIndex(0, 1, 2),
                                .shutter = CubeIndex(4, 0, 0),
                                .flash = CubeIndex(5, 5, 4),
                                .ring = kSilver,
                                .innerRing = GreyIndex(3),
                                .glass = CubeIndex(0, 1, 3),
                                .glassLit = CubeIndex(1, 3, 5),
                                .glint = kWhite};
// Unplugged: the same camera in greys of about the same lightness.
constexpr Colours kGreyed256 = {.outline = GreyIndex(4),
                                .lit = GreyIndex(17),
                                .body = GreyIndex(12),
                                .shade = GreyIndex(9),
                                .shutter = GreyIndex(10),
                                .flash = GreyIndex(20),
                                .ring = GreyIndex(18),
                                .innerRing = GreyIndex(7),
                                .glass = GreyIndex(8),
                                .glassLit = GreyIndex(14),
                                .glint = GreyIndex(22)};

uint8_t ColourOf(char c, const Colours& colours) {
    switch (c) {
        case 'K':
            return colours.outline;
        case 'L':
            return colours.lit;
        case 'B':
            return colours.body;
        case 'D':
            return colours.shade;
        case 'S':
            return colours.shutter;
        case 'F':
            return colours.flash;
        case 'M':
            return colours.ring;
        case 'R':
            return colours.innerRing;
        case 'G':
            return colours.glass;
        case 'H':
            return colours.glassLit;
        case 'W':
            return colours.glint;
        default:
            return 0;
    }
}

template <std::size_t N>
void DrawBadge(IconImage& icon, const std::array<std::string_view, N>& art, uint8_t outline,
               uint8_t fill, uint8_t highlight) {
    const int left = icon.pixels.Width() - static_cast<int>(art[0].size());
    const int top = icon.pixels.Height() - static_cast<int>(N);
    for (int y = 0; y < static_cast<int>(N); ++y) {
        for (int x = 0; x < static_cast<int>(art[y].size()); ++x) {
            const char c = art[y][x];
            if (c == '.') {
                continue;
            }
            const uint8_t index = c == 'o' ? outline : c == 'h' ? highlight : fill;
            icon.pixels.Set(left + x, top + y, index);
            icon.opaque[static_cast<std::size_t>((top + y) * icon.pixels.Width() + left + x)] = 1;
        }
    }
}

template <std::size_t N>
IconImage FromArt(const std::array<std::string_view, N>& art, const Colours& colours, int bpp) {
    IconImage icon{IndexedImage(static_cast<int>(N), static_cast<int>(N)),
                   std::vector<uint8_t>(N * N, 0), bpp};
    for (int y = 0; y < static_cast<int>(N); ++y) {
        for (int x = 0; x < static_cast<int>(N); ++x) {
            const char c = art[y][x];
            if (c != '.') {
                icon.pixels.Set(x, y, ColourOf(c, colours));
                icon.opaque[static_cast<std::size_t>(y * static_cast<int>(N) + x)] = 1;
            }
        }
    }
    return icon;
}

}  // namespace

IconImage DrawCameraIcon(CameraLook look, int size) {
    const bool small = size == 16;
    switch (look) {
        case CameraLook::kApplication:
            return small ? FromArt(kCamera16, kColour16, 4) : FromArt(kCamera32, kColour16, 4);
        case CameraLook::kUnplugged: {
            IconImage icon =
                small ? FromArt(kCamera16, kGreyed256, 8) : FromArt(kCamera32, kGreyed256, 8);
            const uint8_t red = CubeIndex(5, 0, 0);
            if (small) {
                DrawBadge(icon, kCross16, kMaroon, red, red);
            } else {
                DrawBadge(icon, kCross32, kMaroon, red, red);
            }
            return icon;
        }
        case CameraLook::kPluggedIn: {
            IconImage icon =
                small ? FromArt(kCamera16, kColour256, 8) : FromArt(kCamera32, kColour256, 8);
            const uint8_t outline = CubeIndex(0, 2, 0);
            const uint8_t green = CubeIndex(0, 4, 0);
            const uint8_t highlight = CubeIndex(3, 5, 3);
            if (small) {
                DrawBadge(icon, kDot16, outline, green, highlight);
            } else {
                DrawBadge(icon, kDot32, outline, green, highlight);
            }
            return icon;
        }
    }
    return FromArt(kCamera16, kColour16, 4);
}

IconImage CameraIconAtSize(CameraLook look, int size) {
    const IconImage drawn = DrawCameraIcon(look, size <= 24 ? 16 : 32);
    const int from = drawn.pixels.Width();
    if (size == from) {
        return drawn;
    }
    IconImage icon{IndexedImage(size, size),
                   std::vector<uint8_t>(static_cast<std::size_t>(size * size), 0),
                   drawn.bitsPerPixel};
    // Pixel centres: the doubled rows and columns fall inside the drawing, not on its outline.
    const auto source = [&](int i) { return (2 * i + 1) * from / (2 * size); };
    for (int y = 0; y < size; ++y) {
        const int sy = source(y);
        for (int x = 0; x < size; ++x) {
            const int sx = source(x);
            icon.pixels.Set(x, y, drawn.pixels.At(sx, sy));
            icon.opaque[static_cast<std::size_t>(y * size + x)] =
                drawn.opaque[static_cast<std::size_t>(sy * from + sx)];
        }
    }
    return icon;
}

}  // namespace resgen
