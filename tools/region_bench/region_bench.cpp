// region_bench [--reps N] <KRYTray.exe | bitmap.bmp...>
//
// For the shape bitmap 132 and the digit bitmaps 133..137 of a module (loaded as a data file),
// or for the given .bmp files, builds the window region both ways, prints the median time per
// build and checks with EqualRgn that both regions are the same, also for a window larger
// than the bitmap. Exit code 1 when any pair differs, 2 on a usage or load error.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "win/handles_win32.h"
#include "overlay/bitmap_region_win32.h"

namespace {

struct NamedBitmap {
    std::string name;
    UniqueBitmap bitmap;
};

// The per-pixel method: start from the full rectangle and toggle every black pixel.
UniqueRegion PerPixelRegion(HDC screen, HBITMAP bitmap, int w, int h) {
    const UniqueMemoryDc memory(CreateCompatibleDC(screen));
    const ScopedSelect select(memory.get(), bitmap);
    UniqueRegion region(CreateRectRgn(0, 0, w, h));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            if (GetPixel(memory.get(), x, y) == 0) {
                const UniqueRegion pixel(CreateRectRgn(x, y, x + 1, y + 1));
                CombineRgn(region.get(), region.get(), pixel.get(), RGN_XOR);
            }
        }
    }
    return region;
}

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

template <typename Build>
double MedianMs(int reps, Build build) {
    std::vector<double> times;
    for (int i = 0; i < reps; ++i) {
        const double start = NowMs();
        const UniqueRegion region = build();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

DWORD RectCount(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<RECT> data(size / sizeof(RECT) + 2);
    if (size == 0 || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) == 0) {
        return 0;
    }
    return reinterpret_cast<const RGNDATA*>(data.data())->rdh.nCount;
}

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && _stricmp(text.c_str() + text.size() - n, suffix) == 0;
}

bool LoadBitmaps(const std::vector<std::string>& sources, std::vector<NamedBitmap>& bitmaps) {
    for (const std::string& source : sources) {
        if (EndsWith(source, ".exe") || EndsWith(source, ".dll")) {
            HMODULE module = LoadLibraryExA(source.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (module == nullptr) {
                std::fprintf(stderr, "cannot load %s (error %lu)\n", source.c_str(),
                             GetLastError());
                return false;
            }
            for (int id = 132; id <= 137; ++id) {
                UniqueBitmap bitmap(static_cast<HBITMAP>(
                    LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
                if (!bitmap) {
                    std::fprintf(stderr, "%s has no bitmap %d\n", source.c_str(), id);
                    FreeLibrary(module);
                    return false;
                }
                bitmaps.push_back({"bitmap " + std::to_string(id), std::move(bitmap)});
            }
            FreeLibrary(module);
        } else {
            UniqueBitmap bitmap(static_cast<HBITMAP>(
                LoadImageA(nullptr, source.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
            if (!bitmap) {
                std::fprintf(stderr, "cannot load %s (error %lu)\n", source.c_str(),
                             GetLastError());
                return false;
            }
            const size_t slash = source.find_last_of("/\\");
            bitmaps.push_back({slash == std::string::npos ? source : source.substr(slash + 1),
                               std::move(bitmap)});
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 15;
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else {
            sources.emplace_back(argv[i]);
        }
    }
    if (sources.empty()) {
        std::fprintf(stderr, "usage: region_bench [--reps N] <KRYTray.exe | bitmap.bmp...>\n");
        return 2;
    }
    std::vector<NamedBitmap> bitmaps;
    if (!LoadBitmaps(sources, bitmaps)) {
        return 2;
    }

    const HDC screen = GetDC(nullptr);
    bool allEqual = true;
    std::printf("%-16s %9s %6s %6s %13s %13s %8s %s\n", "bitmap", "size", "holes", "rects",
                "per-pixel ms", "rect-list ms", "speed-up", "equal");
    for (const NamedBitmap& entry : bitmaps) {
        BITMAP info{};
        GetObjectA(entry.bitmap.get(), sizeof(info), &info);
        const int w = info.bmWidth;
        const int h = info.bmHeight;
        const HBITMAP bitmap = entry.bitmap.get();

        // Same region for the bitmap's own size and for a window reaching past the bitmap,
        // whose extra points must stay inside.
        bool equal = true;
        for (const int margin : {0, 7}) {
            const UniqueRegion fast = CreateShapeRegion(screen, bitmap, w + margin, h + margin);
            const UniqueRegion slow = PerPixelRegion(screen, bitmap, w + margin, h + margin);
            equal = equal && fast && slow && EqualRgn(fast.get(), slow.get());
        }
        allEqual = allEqual && equal;

        const PixelGrid grid = ReadPixelGrid(screen, bitmap);
        const long holes =
            static_cast<long>(std::count(grid.pixels.begin(), grid.pixels.end(), 0u));
        const UniqueRegion sample = CreateShapeRegion(screen, bitmap, w, h);
        const double slowMs = MedianMs(reps, [&] { return PerPixelRegion(screen, bitmap, w, h); });
        const double fastMs =
            MedianMs(reps, [&] { return CreateShapeRegion(screen, bitmap, w, h); });
        std::printf("%-16s %4dx%-4d %6ld %6lu %13.3f %13.3f %7.0fx %s\n", entry.name.c_str(), w, h,
                    holes, RectCount(sample.get()), slowMs, fastMs,
                    fastMs > 0 ? slowMs / fastMs : 0.0, equal ? "yes" : "NO");
    }
    ReleaseDC(nullptr, screen);
    std::printf("median of %d builds each\n", reps);
    return allEqual ? 0 : 1;
}
