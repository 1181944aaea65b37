// The still sizes the simulated sensor can deliver, indexed by the row number that
// PROP_STILL_SIZE carries.
#pragma once

#include <array>
#include <optional>

struct StillSize {
    int width;
    int height;
};

inline constexpr std::array<StillSize, 15> kStillSizes = {{
    {160, 120},
    {176, 144},
    {320, 240},
    {352, 288},
    {640, 480},
    {800, 600},
    {1024, 768},
    {1280, 720},
    {1280, 800},
    {1280, 960},
    {1280, 1024},
    {1600, 1200},
    {2304, 1728},
    {2560, 1600},
    {2560, 2048},
}};

inline constexpr int kDefaultStillRow = 4;  // 640 x 480

inline std::optional<StillSize> StillSizeOfRow(int row) {
    if (row < 0 || row >= static_cast<int>(kStillSizes.size())) {
        return std::nullopt;
    }
    return kStillSizes[static_cast<size_t>(row)];
}
