// Writes the simulated camera's still images: 24-bit bottom-up BMP files with a test pattern
// (colour ramps and a frame) that an image viewer shows and a test can check by size.
#pragma once

#include <string>

class BmpWriter {
public:
    // False when the size is not positive or the file cannot be written completely.
    static bool Write(const std::wstring& path, int width, int height);
};
