// The committed icons, bitmaps and menu script: up to date with their generator, and the images
// decoded independently of it to check what the program relies on (sizes, colour depths, the
// countdown pictures' layout).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <queue>
#include <string>
#include <vector>

#include "camera/capability_tables.h"
#include "tools/resgen/resource_files.h"
#include "tray/language_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kDarkRed{128, 0, 0};

Bytes ReadResFile(const std::string& relative) {
    std::ifstream in(std::string(KRY_RES_DIR) + "/" + relative, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U16(const Bytes& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}
uint32_t U32(const Bytes& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// A decoded bottom-up, uncompressed, palette-based DIB (a BITMAPINFOHEADER and what follows).
struct Dib {
    int width = 0;
    int height = 0;  // of the colour part; icons store twice this in the header
    int bpp = 0;
    std::vector<Rgb> palette;
    std::vector<int> index;    // row 0 at the top
    std::vector<bool> masked;  // icons: AND-mask bit set (transparent)

    int IndexAt(int x, int y) const { return index[static_cast<std::size_t>(y * width + x)]; }
    Rgb At(int x, int y) const { return palette.at(static_cast<std::size_t>(IndexAt(x, y))); }
    bool Transparent(int x, int y) const { return masked[static_cast<std::size_t>(y * width + x)]; }
};

std::size_t Stride(int width, int bpp) {
    return ((static_cast<std::size_t>(width * bpp) + 31) / 32) * 4;
}

Dib DecodeDib(const Bytes& b, std::size_t at, bool withMask, std::size_t paletteCount) {
    Dib dib;
    EXPECT_EQ(U32(b, at), 40u);
    dib.width = static_cast<int>(U32(b, at + 4));
    dib.height = static_cast<int>(U32(b, at + 8)) / (withMask ? 2 : 1);
    EXPECT_EQ(U16(b, at + 12), 1u);
    dib.bpp = static_cast<int>(U16(b, at + 14));
    EXPECT_EQ(U32(b, at + 16), 0u) << "compressed";
    std::size_t p = at + 40;
    for (std::size_t i = 0; i < paletteCount; ++i, p += 4) {
        dib.palette.push_back({b.at(p + 2), b.at(p + 1), b.at(p)});
    }
    dib.index.assign(static_cast<std::size_t>(dib.width * dib.height), 0);
    dib.masked.assign(dib.index.size(), false);
    const std::size_t stride = Stride(dib.width, dib.bpp);
    for (int row = 0; row < dib.height; ++row) {
        const int y = dib.height - 1 - row;
        for (int x = 0; x < dib.width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x * dib.bpp);
            const uint8_t byte = b.at(p + row * stride + bit / 8);
            const int shift = 8 - dib.bpp - static_cast<int>(bit % 8);
            dib.index[static_cast<std::size_t>(y * dib.width + x)] =
                (byte >> shift) & ((1 << dib.bpp) - 1);
        }
    }
    if (withMask) {
        p += stride * static_cast<std::size_t>(dib.height);
        const std::size_t maskStride = Stride(dib.width, 1);
        for (int row = 0; row < dib.height; ++row) {
            const int y = dib.height - 1 - row;
            for (int x = 0; x < dib.width; ++x) {
                const uint8_t byte = b.at(p + row * maskStride + static_cast<std::size_t>(x / 8));
                dib.masked[static_cast<std::size_t>(y * dib.width + x)] = (byte >> (7 - x % 8)) & 1;
            }
        }
    }
    return dib;
}

Dib DecodeBmp(const Bytes& b) {
    EXPECT_GE(b.size(), 54u);
    if (b.size() < 54) {
        return {};
    }
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 14 + 32), 256u) << "colours used";
    Dib dib = DecodeDib(b, 14, false, 256);
    EXPECT_EQ(U32(b, 10), 14u + 40u + 256u * 4u) << "pixel offset";
    EXPECT_EQ(b.size(), U32(b, 10) + Stride(dib.width, dib.bpp) * dib.height);
    return dib;
}

struct IcoEntry {
    int width, height, colourCount, bpp;
    Dib dib;
};

std::vector<IcoEntry> DecodeIco(const Bytes& b) {
    std::vector<IcoEntry> entries;
    EXPECT_GE(b.size(), 6u);
    if (b.size() < 6) {
        return entries;
    }
    EXPECT_EQ(U16(b, 0), 0u);
    EXPECT_EQ(U16(b, 2), 1u) << "not an icon";
    const std::size_t count = U16(b, 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        IcoEntry entry{b.at(e), b.at(e + 1), b.at(e + 2), static_cast<int>(U16(b, e + 6)), {}};
        const uint32_t size = U32(b, e + 8);
        const uint32_t offset = U32(b, e + 12);
        EXPECT_LE(static_cast<std::size_t>(offset) + size, b.size());
        const std::size_t colours = std::size_t{1} << entry.bpp;
        entry.dib = DecodeDib(b, offset, true, colours);
        EXPECT_EQ(size, 40 + 4 * colours +
                            (Stride(entry.width, entry.bpp) + Stride(entry.width, 1)) *
                                static_cast<std::size_t>(entry.height));
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsGrey(Rgb c) {
    return c.r == c.g && c.g == c.b;
}
bool IsReddish(Rgb c) {
    return c.r >= 128 && c.g == 0 && c.b == 0;
}
bool IsGreenish(Rgb c) {
    return c.g >= 128 && c.g > c.r + 60 && c.g > c.b + 60;
}

template <typename Pred>
int CountOpaque(const Dib& dib, Pred pred) {
    int n = 0;
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width; ++x) {
            n += !dib.Transparent(x, y) && pred(dib.At(x, y)) ? 1 : 0;
        }
    }
    return n;
}

TEST(GeneratedResources, CommittedFilesEqualTheGeneratorsOutput) {
    const auto files = resgen::GenerateResourceFiles();
    ASSERT_EQ(files.size(), 10u);
    for (const auto& file : files) {
        EXPECT_TRUE(ReadResFile(file.path) == file.bytes)
            << "res/" << file.path << " is stale; regenerate: build the resgen target, then run "
            << "`resgen res` from the repository root";
    }
}

TEST(OverlayBitmaps, AllAre200By150With256Colours) {
    for (const char* name : {"overlay_shape", "digit1", "digit2", "digit3", "digit4", "digit5"}) {
        SCOPED_TRACE(name);
        const Dib dib = DecodeBmp(ReadResFile(std::string("bitmaps/") + name + ".bmp"));
        EXPECT_EQ(dib.width, 200);
        EXPECT_EQ(dib.height, 150);
        EXPECT_EQ(dib.bpp, 8);
        EXPECT_EQ(dib.palette.size(), 256u);
    }
}

TEST(OverlayBitmaps, ShapeIsAllWhiteSoTheWindowHasNoHoles) {
    const Dib dib = DecodeBmp(ReadResFile("bitmaps/overlay_shape.bmp"));
    ASSERT_EQ(dib.index.size(), 200u * 150u);
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width; ++x) {
            ASSERT_EQ(dib.At(x, y), kWhite) << x << "," << y;
        }
    }
}

struct Box {
    int left = 1000, top = 1000, right = -1, bottom = -1;  // inclusive
};

class DigitPicture : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        dib_ = DecodeBmp(ReadResFile("bitmaps/digit" + std::to_string(GetParam()) + ".bmp"));
        ASSERT_EQ(dib_.index.size(), 200u * 150u);
    }
    static bool IsFrame(int x, int y) { return x < 2 || x > 196 || y < 2 || y > 146; }
    bool IsInk(int x, int y) const { return dib_.At(x, y) == kRed || dib_.At(x, y) == kDarkRed; }

    Dib dib_;
};

TEST_P(DigitPicture, HasWhiteFrameAndOnlyBlackRedOrDarkRedInside) {
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            const Rgb c = dib_.At(x, y);
            if (IsFrame(x, y)) {
                ASSERT_EQ(c, kWhite) << x << "," << y;
            } else {
                ASSERT_TRUE(c == kBlack || c == kRed || c == kDarkRed) << x << "," << y;
            }
        }
    }
}

TEST_P(DigitPicture, DigitIsLargeCentredAndSoftenedAtItsEdges) {
    Box box;
    int red = 0, darkRed = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (!IsInk(x, y)) {
                continue;
            }
            (dib_.At(x, y) == kRed ? red : darkRed)++;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                   std::max(box.bottom, y)};
        }
    }
    EXPECT_GE(box.left, 55);
    EXPECT_LE(box.right, 136);
    EXPECT_GE(box.top, 28);
    EXPECT_LE(box.bottom, 119);
    EXPECT_GE(box.right - box.left + 1, 58);
    EXPECT_LE(box.right - box.left + 1, 75);
    EXPECT_GE(box.bottom - box.top + 1, 87);
    EXPECT_LE(box.bottom - box.top + 1, 91);
    EXPECT_GT(red, 1000);
    EXPECT_GT(darkRed, 0);
    EXPECT_LT(darkRed * 5, red) << "dark red belongs only along the edges";
}

TEST_P(DigitPicture, DigitIsOneUnbrokenShape) {
    std::vector<bool> seen(200 * 150, false);
    int components = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (!IsInk(x, y) || seen[y * 200 + x]) {
                continue;
            }
            ++components;
            std::queue<std::pair<int, int>> todo;
            todo.push({x, y});
            seen[y * 200 + x] = true;
            while (!todo.empty()) {
                const auto [cx, cy] = todo.front();
                todo.pop();
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = cx + dx, ny = cy + dy;
                    if (nx >= 0 && nx < 200 && ny >= 0 && ny < 150 && !seen[ny * 200 + nx] &&
                        IsInk(nx, ny)) {
                        seen[ny * 200 + nx] = true;
                        todo.push({nx, ny});
                    }
                }
            }
        }
    }
    EXPECT_EQ(components, 1);
}

INSTANTIATE_TEST_SUITE_P(Digits1To5, DigitPicture, testing::Range(1, 6));

TEST(OverlayBitmaps, EachDigitPictureIsDistinct) {
    std::vector<Bytes> pictures;
    for (int d = 1; d <= 5; ++d) {
        pictures.push_back(ReadResFile("bitmaps/digit" + std::to_string(d) + ".bmp"));
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        for (std::size_t j = i + 1; j < pictures.size(); ++j) {
            EXPECT_NE(pictures[i], pictures[j]) << i + 1 << " vs " << j + 1;
        }
    }
}

struct IconCase {
    const char* file;
    int bpp;
    std::vector<int> sizes;  // in file order
};

class CameraIcon : public testing::TestWithParam<IconCase> {};

std::string IconCaseName(const testing::TestParamInfo<IconCase>& info) {
    std::string name = info.param.file;  // "icons/app.ico" -> "app"
    name = name.substr(name.find('/') + 1);
    name = name.substr(0, name.find('.'));
    return name;
}

TEST_P(CameraIcon, HoldsItsSizesWithMasks) {
    const auto entries = DecodeIco(ReadResFile(GetParam().file));
    ASSERT_EQ(entries.size(), GetParam().sizes.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IcoEntry& e = entries[i];
        const int size = GetParam().sizes[i];
        SCOPED_TRACE(size);
        EXPECT_EQ(e.width, size);
        EXPECT_EQ(e.height, size);
        EXPECT_EQ(e.bpp, GetParam().bpp);
        EXPECT_EQ(e.colourCount, GetParam().bpp == 4 ? 16 : 0);
        EXPECT_EQ(e.dib.width, size);
        EXPECT_EQ(e.dib.height, size);
        EXPECT_EQ(e.dib.bpp, GetParam().bpp);
        int transparent = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (e.dib.Transparent(x, y)) {
                    ++transparent;
                    EXPECT_EQ(e.dib.IndexAt(x, y), 0) << "masked pixels must be black";
                }
            }
        }
        EXPECT_TRUE(e.dib.Transparent(0, 0)) << "corners show the taskbar through";
        EXPECT_TRUE(e.dib.Transparent(size - 1, 0)) << "rows end inside a mask byte at 20 pixels";
        EXPECT_GT(transparent, size * size / 8);
        EXPECT_GT(size * size - transparent, size * size / 2) << "the camera fills the icon";
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllIcons, CameraIcon,
    testing::Values(IconCase{"icons/app.ico", 4, {32, 16}},
                    IconCase{"icons/tray_unplugged.ico", 8, {16, 20, 24, 32, 40, 48}},
                    IconCase{"icons/tray_plugged.ico", 8, {16, 20, 24, 32, 40, 48}}),
    IconCaseName);

TEST(CameraIconLooks, UnpluggedIsGreyWithRedCrossPluggedInIsColouredWithGreenDot) {
    const auto unplugged = DecodeIco(ReadResFile("icons/tray_unplugged.ico"));
    const auto plugged = DecodeIco(ReadResFile("icons/tray_plugged.ico"));
    const auto app = DecodeIco(ReadResFile("icons/app.ico"));
    ASSERT_EQ(unplugged.size(), plugged.size());
    ASSERT_EQ(app.size(), 2u);
    const auto colourful = [](Rgb c) { return !IsGrey(c) && !IsReddish(c); };
    for (std::size_t i = 0; i < plugged.size(); ++i) {
        SCOPED_TRACE(plugged[i].width);
        const Dib& off = unplugged[i].dib;
        EXPECT_EQ(CountOpaque(off, [](Rgb c) { return IsGrey(c) || IsReddish(c); }),
                  CountOpaque(off, [](Rgb) { return true; }));
        EXPECT_GE(CountOpaque(off, IsReddish), 10);
        EXPECT_EQ(CountOpaque(off, IsGreenish), 0);

        const Dib& on = plugged[i].dib;
        EXPECT_GE(CountOpaque(on, IsGreenish), 10);
        EXPECT_GT(CountOpaque(on, colourful), CountOpaque(on, [](Rgb) { return true; }) / 2);
    }
    for (const IcoEntry& entry : app) {
        EXPECT_GT(CountOpaque(entry.dib, colourful), 0);
        EXPECT_EQ(CountOpaque(entry.dib, IsGreenish), 0);
    }
}

TEST(DefaultLanguageFile, IsAnsiWithCrlfLinesAndNamesEveryMenuText) {
    const Bytes file = ReadResFile("LUMA64.ini");
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(file.back(), '\n');
    std::map<std::string, std::string> texts;
    std::string section;
    std::string line;
    for (std::size_t i = 0; i < file.size(); ++i) {
        ASSERT_LT(file[i], 0x80) << "plain ANSI text, byte " << i;
        if (file[i] != '\n') {
            line += static_cast<char>(file[i]);
            continue;
        }
        ASSERT_TRUE(!line.empty() && line.back() == '\r') << "CRLF line ends, byte " << i;
        line.pop_back();
        if (line.starts_with("[")) {
            section = line;
        } else if (section == "[Language]" && line.find('=') != std::string::npos) {
            const std::string key = line.substr(0, line.find('='));
            EXPECT_EQ(texts.count(key), 0u) << "duplicate " << key;
            texts[key] = line.substr(line.find('=') + 1);
        }
        line.clear();
    }
    std::vector<std::string> keys = {
        "ID_QUICKLAUNCH",        "ID_MENU_EXIT", "ID_VIDEO_CAPTURE_FILTER",
        "IDD_EFFECT_PAGE_TITLE", "ID_SNAPONE",   "ID_SNAPONE_DELAY"};
    for (const EffectRow& row : EffectTable) {
        if (row.szIniKey[0] != '\0') {
            keys.push_back(row.szIniKey);
        }
    }
    ASSERT_EQ(keys.size(), 38u);
    for (const std::string& key : keys) {
        ASSERT_EQ(texts.count(key), 1u) << key;
        const std::string& text = texts[key];
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_LE(text.size(), kLanguageTextMaxLength) << key << " would be cut";
        // The profile reader trims blanks and strips enclosing quotes: neither would survive.
        EXPECT_TRUE(text.find_first_of(" \t\"'") != 0 &&
                    text.find_last_of(" \t\"'") != text.size() - 1)
            << key;
    }
    EXPECT_EQ(texts.size(), keys.size()) << "no unused keys";
    EXPECT_NE(texts["IDC_SE_RADIO1"].find("Normal"), std::string::npos)
        << "the single item shown when effects are unsupported reads as no effect";
}

}  // namespace
