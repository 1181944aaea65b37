#include "sim/bmp_writer.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "sim/file_handle.h"

namespace {

// Blue-green-red, as BMP stores it: ramps across and down, white frame two pixels wide.
void FillRow(std::vector<uint8_t>& row, int y, int width, int height) {
    for (int x = 0; x < width; ++x) {
        const bool frame = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
        uint8_t* pixel = &row[static_cast<size_t>(x) * 3];
        pixel[0] = frame ? 255 : static_cast<uint8_t>(255 - (x * 255) / width);
        pixel[1] = frame ? 255 : static_cast<uint8_t>((y * 255) / height);
        pixel[2] = frame ? 255 : static_cast<uint8_t>((x * 255) / width);
    }
}

}  // namespace

bool BmpWriter::Write(const std::wstring& path, int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // positive: bottom-up rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;
    info.biXPelsPerMeter = 2835;  // 72 dpi
    info.biYPelsPerMeter = 2835;

    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = header.bfOffBits + imageSize;

    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !file.WriteAll(&header, sizeof(header)) || !file.WriteAll(&info, sizeof(info))) {
        return false;
    }
    std::vector<uint8_t> row(stride, 0);
    for (int line = 0; line < height; ++line) {
        FillRow(row, height - 1 - line, width, height);
        if (!file.WriteAll(row.data(), stride)) {
            return false;
        }
    }
    return true;
}
