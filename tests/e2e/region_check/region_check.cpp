// region_check: the overlay's window region from real GDI bitmaps, compared point by point with
// the per-pixel model (ReferenceShapeMask). Shapes with holes come in the forms a shape bitmap
// can take: a device bitmap made from an 8-bit or 24-bit DIB (as LoadBitmap makes one from a
// resource), a DIB section, a monochrome bitmap, and KRYTray's own countdown bitmaps. Each is cut
// for windows as large as, larger and smaller than the bitmap, through ExtCreateRegion and through
// the union-per-rectangle fallback.
//
// Usage: region_check <KRYTray.exe>. Prints one line per check; the exit code is the number of
// failed checks (2 on a usage or load error).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "overlay/bitmap_region_win32.h"
#include "overlay/shape_region.h"
#include "win/handles_win32.h"

#include "tests/e2e/check_report.h"

namespace {

constexpr int kWidth = 37;  // odd: every row of the 1-, 8- and 24-bit forms carries padding
constexpr int kHeight = 23;

// Colours of the test shape; only pure black makes a hole.
constexpr COLORREF kColours[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 1),
                                 RGB(1, 0, 0),       RGB(0, 1, 0), RGB(128, 64, 200)};
constexpr int kBlack = 1;

// Colour index of each pixel: holes along the top row, the left column, the right and bottom
// edges, a single pixel, a block, a checkerboard and a diagonal, with near-black around them.
int ShapeColour(int x, int y) {
    if (y == 0 || x == 0 || (x == kWidth - 1 && y > 10) || (y == kHeight - 1 && x > 20)) {
        return kBlack;
    }
    if ((x == 5 && y == 5) || (x >= 10 && x < 16 && y >= 3 && y < 9) ||
        (x >= 20 && x < 30 && y >= 12 && y < 18 && (x + y) % 2 == 0) || (x == y + 8 && y > 2)) {
        return kBlack;
    }
    return 2 + (x * 7 + y * 3) % 4;  // near-blacks and other colours, never black
}

// The shape as the model expects it: 0 for a hole, non-zero otherwise.
PixelGrid ExpectedGrid() {
    PixelGrid grid{kWidth, kHeight, {}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            grid.pixels.push_back(ShapeColour(x, y) == kBlack ? 0u : 0x00FFFFFFu);
        }
    }
    return grid;
}

// A packed DIB of the shape: header, colour table (8 bits) and bottom-up or top-down rows.
struct PackedDib {
    std::vector<DWORD> storage;  // DWORD slots keep the header aligned
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(storage.data()); }
    void* bits() { return storage.data() + (info()->bmiHeader.biSize + paletteBytes) / 4; }
    size_t paletteBytes = 0;
};

PackedDib MakeDib(int bitCount, bool topDown, bool blackAtIndexZero) {
    const int stride = ((kWidth * bitCount + 31) / 32) * 4;
    const size_t paletteEntries = bitCount == 8 ? 256 : 0;
    PackedDib dib;
    dib.paletteBytes = paletteEntries * sizeof(RGBQUAD);
    dib.storage.resize((sizeof(BITMAPINFOHEADER) + dib.paletteBytes) / 4 +
                       static_cast<size_t>(stride * kHeight) / 4);
    BITMAPINFOHEADER& header = dib.info()->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = kWidth;
    header.biHeight = topDown ? -kHeight : kHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    // The palette order is shifted so that black need not sit at index 0.
    const int shift = blackAtIndexZero ? 256 - kBlack : 3;
    auto* palette = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(dib.info()) + header.biSize);
    for (size_t i = 0; i < paletteEntries; ++i) {
        palette[i] = RGBQUAD{255, 255, 255, 0};
    }
    if (paletteEntries > 0) {
        for (int colour = 0; colour < static_cast<int>(std::size(kColours)); ++colour) {
            const COLORREF c = kColours[colour];
            palette[(colour + shift) % 256] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    }
    auto* bytes = static_cast<BYTE*>(dib.bits());
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = bytes + static_cast<size_t>(topDown ? y : kHeight - 1 - y) * stride;
        for (int x = 0; x < kWidth; ++x) {
            const int colour = ShapeColour(x, y);
            if (bitCount == 8) {
                row[x] = static_cast<BYTE>((colour + shift) % 256);
            } else {
                const COLORREF c = kColours[colour];
                row[x * 3] = GetBValue(c);
                row[x * 3 + 1] = GetGValue(c);
                row[x * 3 + 2] = GetRValue(c);
            }
        }
    }
    return dib;
}

// A device bitmap of the screen's format, as LoadBitmap makes from a resource.
UniqueBitmap DeviceBitmap(HDC screen, PackedDib dib) {
    return UniqueBitmap(CreateDIBitmap(screen, &dib.info()->bmiHeader, CBM_INIT, dib.bits(),
                                       dib.info(), DIB_RGB_COLORS));
}

UniqueBitmap DibSection(HDC screen, PackedDib dib) {
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen, dib.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits != nullptr) {
        const BITMAPINFOHEADER& header = dib.info()->bmiHeader;
        const size_t stride = ((kWidth * header.biBitCount + 31) / 32) * 4;
        std::memcpy(bits, dib.bits(), stride * kHeight);
    }
    return bitmap;
}

// A monochrome device bitmap (what LoadBitmap makes from a black-and-white resource): set bits
// are white, clear bits black; rows are WORD-aligned.
UniqueBitmap MonochromeBitmap() {
    const int stride = ((kWidth + 15) / 16) * 2;
    std::vector<BYTE> bits(static_cast<size_t>(stride * kHeight), 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (ShapeColour(x, y) != kBlack) {
                bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    return UniqueBitmap(CreateBitmap(kWidth, kHeight, 1, 1, bits.data()));
}

// The bitmap read pixel by pixel through a memory DC, independently of GetDIBits.
PixelGrid GridByGetPixel(HDC screen, HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    const UniqueMemoryDc memory(CreateCompatibleDC(screen));
    const ScopedSelect select(memory.get(), bitmap);
    PixelGrid grid{info.bmWidth, info.bmHeight, {}};
    for (int y = 0; y < info.bmHeight; ++y) {
        for (int x = 0; x < info.bmWidth; ++x) {
            grid.pixels.push_back(GetPixel(memory.get(), x, y) == 0 ? 0u : 0x00FFFFFFu);
        }
    }
    return grid;
}

// Points of the region that differ from the model, counted over the window and a 2-pixel band
// around it (which must lie outside); `first` describes the first one.
int Mismatches(HRGN region, const PixelGrid& model, int w, int h, std::string* first) {
    const std::vector<bool> mask = ReferenceShapeMask(model, w, h);
    int count = 0;
    for (int y = -2; y < h + 2; ++y) {
        for (int x = -2; x < w + 2; ++x) {
            const bool inWindow = x >= 0 && y >= 0 && x < w && y < h;
            const bool expected =
                inWindow &&
                mask[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            if ((PtInRegion(region, x, y) != FALSE) != expected && count++ == 0) {
                char text[64];
                std::snprintf(text, sizeof text, "(%d,%d) should be %s", x, y,
                              expected ? "inside" : "outside");
                *first = text;
            }
        }
    }
    return count;
}

void CheckRegion(const std::string& name, HRGN region, const PixelGrid& model, int w, int h) {
    std::string first;
    const int wrong = region != nullptr ? Mismatches(region, model, w, h, &first) : -1;
    Expect(wrong == 0,
           name + " " + std::to_string(w) + "x" + std::to_string(h) +
               (wrong < 0    ? ": no region"
                : wrong == 0 ? ": every point as the model has it"
                             : ": " + std::to_string(wrong) + " points differ, " + first));
}

// The bitmap read, then cut for three window sizes both ways.
void CheckShape(HDC screen, const std::string& name, HBITMAP bitmap, const PixelGrid& model) {
    if (bitmap == nullptr) {
        Expect(false, name + ": the bitmap could not be made");
        return;
    }
    const PixelGrid read = ReadPixelGrid(screen, bitmap);
    bool sameHoles = read.width == model.width && read.height == model.height &&
                     read.pixels.size() == model.pixels.size();
    for (size_t i = 0; sameHoles && i < read.pixels.size(); ++i) {
        sameHoles = (read.pixels[i] == 0) == (model.pixels[i] == 0);
    }
    Expect(sameHoles, name + ": GetDIBits finds the holes and only those");
    const int w = model.width;
    const int h = model.height;
    for (const SIZE size : {SIZE{w, h}, SIZE{w + 7, h + 5}, SIZE{w - 5, h - 3}}) {
        CheckRegion(name + ", ExtCreateRegion,",
                    CreateShapeRegion(screen, bitmap, size.cx, size.cy).get(), model, size.cx,
                    size.cy);
        CheckRegion(name + ", union per rectangle,",
                    UnionOfRects(ComputeShapeRects(read, size.cx, size.cy)).get(), model, size.cx,
                    size.cy);
    }
}

void CheckDegenerateShapes(HDC screen) {
    PixelGrid none;
    CheckRegion("no bitmap gives the whole window,", CreateShapeRegion(screen, nullptr, 9, 4).get(),
                none, 9, 4);
    PixelGrid black{6, 3, std::vector<uint32_t>(18, 0)};
    for (const bool fallback : {false, true}) {
        const UniqueRegion region = fallback ? UnionOfRects(ComputeShapeRects(black, 6, 3))
                                             : CreateRegionFromGrid(black, 6, 3);
        RECT box{1, 1, 1, 1};
        Expect(region && GetRgnBox(region.get(), &box) == NULLREGION,
               std::string("an all-black bitmap leaves an empty region") +
                   (fallback ? " (union per rectangle)" : " (ExtCreateRegion)"));
    }
}

// KRYTray's shape bitmap 132 and its digits 133..137, holes and all, against a GetPixel reading.
void CheckProgramBitmaps(HDC screen, const char* exe) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        Expect(false, std::string("cannot load ") + exe);
        return;
    }
    for (int id = 132; id <= 137; ++id) {
        const UniqueBitmap bitmap(
            static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
        const PixelGrid model = bitmap ? GridByGetPixel(screen, bitmap.get()) : PixelGrid{};
        CheckShape(screen, "KRYTray bitmap " + std::to_string(id), bitmap.get(), model);
    }
    FreeLibrary(module);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: region_check <KRYTray.exe>\n");
        return 2;
    }
    const HDC screen = GetDC(nullptr);
    const PixelGrid model = ExpectedGrid();
    CheckShape(screen, "8-bit device bitmap", DeviceBitmap(screen, MakeDib(8, false, false)).get(),
               model);
    CheckShape(screen, "8-bit device bitmap, black at index 0",
               DeviceBitmap(screen, MakeDib(8, false, true)).get(), model);
    CheckShape(screen, "24-bit device bitmap",
               DeviceBitmap(screen, MakeDib(24, false, false)).get(), model);
    CheckShape(screen, "8-bit DIB section", DibSection(screen, MakeDib(8, false, false)).get(),
               model);
    CheckShape(screen, "24-bit top-down DIB section",
               DibSection(screen, MakeDib(24, true, false)).get(), model);
    CheckShape(screen, "monochrome bitmap", MonochromeBitmap().get(), model);
    CheckDegenerateShapes(screen);
    CheckProgramBitmaps(screen, argv[1]);
    ReleaseDC(nullptr, screen);
    std::printf("%d check(s) failed\n", g_failures);
    return g_failures;
}
