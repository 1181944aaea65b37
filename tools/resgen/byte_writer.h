// Little-endian byte output for the BMP and ICO encoders.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
public:
    void U8(uint32_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Append(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    // Zero bytes up to the next multiple of 4 counted from `rowStart`.
    void PadRow(std::size_t rowStart) {
        while ((bytes_.size() - rowStart) % 4 != 0) {
            U8(0);
        }
    }

    std::size_t Size() const { return bytes_.size(); }
    Bytes Take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

}  // namespace resgen
