#include "tools/resgen/countdown_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/resgen/palette.h"

namespace resgen {
namespace {

struct Point {
    double x;
    double y;
};

using Polyline = std::vector<Point>;
using Glyph = std::vector<Polyline>;

// Glyphs are drawn on a 54 x 74 grid of stroke centre lines; the pen adds its radius all round,
// which makes a digit about 69 x 89 pixels.
constexpr double kPenRadius = 7.5;
constexpr double kCentreX = 95.5;
constexpr double kCentreY = 73.5;
constexpr int kSubsamples = 4;        // per axis
constexpr int kFullCoverage = 8;      // of 16 subsamples: solid red from half coverage
constexpr int kEdgeCoverage = 3;      // below half: dark red from this count
constexpr int kFrameLeftTop = 2;      // frame columns/rows 0 and 1
constexpr int kFrameRightBottom = 3;  // frame columns 197..199, rows 147..149

// Elliptic arc from angle `from` to `to` in degrees, counter-clockwise positive with y pointing up
// (so a decreasing angle runs clockwise on screen).
Polyline Arc(double cx, double cy, double rx, double ry, double from, double to) {
    constexpr int kSteps = 64;
    Polyline line;
    for (int i = 0; i <= kSteps; ++i) {
        const double a = (from + (to - from) * i / kSteps) * std::numbers::pi / 180.0;
        line.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return line;
}

Polyline Then(Polyline line, std::initializer_list<Point> more) {
    line.insert(line.end(), more.begin(), more.end());
    return line;
}

Glyph DigitGlyph(int digit) {
    switch (digit) {
        case 1:
            return {{{14, 14}, {32, 0}, {32, 74}}, {{8, 74}, {54, 74}}};
        case 2:
            return {Then(Arc(27, 26, 26, 26, 160, -40), {{1, 74}, {54, 74}})};
        case 3:
            return {
                Arc(28, 18, 20, 18, 150, -90), {{18, 36}, {30, 36}}, Arc(30, 55, 24, 19, 90, -150)};
        case 4:
            return {{{40, 0}, {40, 74}}, {{40, 0}, {0, 52}, {54, 52}}};
        case 5:
            return {{{50, 0}, {8, 0}, {6, 33}}, Arc(28, 50, 26, 24, 140, -145)};
        default:
            return {};
    }
}

double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSq = dx * dx + dy * dy;
    double t = lengthSq > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSq : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double DistanceToGlyph(const Glyph& glyph, Point p) {
    double best = 1e9;
    for (const Polyline& line : glyph) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            best = std::min(best, DistanceToSegment(p, line[i - 1], line[i]));
        }
    }
    return best;
}

// Number of a pixel's subsamples that the pen covers, 0..kSubsamples^2.
int Coverage(const Glyph& glyph, int x, int y) {
    constexpr int kAll = kSubsamples * kSubsamples;
    constexpr double kHalfDiagonal = 0.7072;
    const double centre = DistanceToGlyph(glyph, {x + 0.5, y + 0.5});
    if (centre > kPenRadius + kHalfDiagonal) {
        return 0;
    }
    if (centre < kPenRadius - kHalfDiagonal) {
        return kAll;
    }
    int covered = 0;
    for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
            const Point p{x + (sx + 0.5) / kSubsamples, y + (sy + 0.5) / kSubsamples};
            covered += DistanceToGlyph(glyph, p) <= kPenRadius ? 1 : 0;
        }
    }
    return covered;
}

struct Bounds {
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
};

Bounds CentreLineBounds(const Glyph& glyph) {
    Bounds b;
    for (const Polyline& line : glyph) {
        for (const Point& p : line) {
            b = {std::min(b.minX, p.x), std::max(b.maxX, p.x), std::min(b.minY, p.y),
                 std::max(b.maxY, p.y)};
        }
    }
    return b;
}

// Moves the glyph so that its centre lines are centred on the picture's digit area.
Glyph Placed(Glyph glyph) {
    const Bounds b = CentreLineBounds(glyph);
    const double dx = kCentreX - (b.minX + b.maxX) / 2;
    const double dy = kCentreY - (b.minY + b.maxY) / 2;
    for (Polyline& line : glyph) {
        for (Point& p : line) {
            p = {p.x + dx, p.y + dy};
        }
    }
    return glyph;
}

}  // namespace

IndexedImage DrawOverlayShape() {
    return IndexedImage(kOverlayWidth, kOverlayHeight, kWhite);
}

IndexedImage DrawDigitPicture(int digit) {
    IndexedImage image(kOverlayWidth, kOverlayHeight, kWhite);
    image.FillRect(kFrameLeftTop, kFrameLeftTop, kOverlayWidth - kFrameRightBottom,
                   kOverlayHeight - kFrameRightBottom, kBlack);
    const Glyph glyph = Placed(DigitGlyph(digit));
    // Only pixels within the pen's reach of the centre lines can be inked.
    const Bounds b = CentreLineBounds(glyph);
    const int reach = static_cast<int>(kPenRadius) + 2;
    const int top = std::max(kFrameLeftTop, static_cast<int>(b.minY) - reach);
    const int bottom =
        std::min(kOverlayHeight - kFrameRightBottom, static_cast<int>(b.maxY) + reach);
    const int left = std::max(kFrameLeftTop, static_cast<int>(b.minX) - reach);
    const int right = std::min(kOverlayWidth - kFrameRightBottom, static_cast<int>(b.maxX) + reach);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const int covered = Coverage(glyph, x, y);
            if (covered >= kFullCoverage) {
                image.Set(x, y, kRed);
            } else if (covered >= kEdgeCoverage) {
                image.Set(x, y, kMaroon);
            }
        }
    }
    return image;
}

}  // namespace resgen
