#pragma once

#include "show/handoff_bitmap.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Bitmaps for the renderer's tests: hand-off style files whose every header field is open to a
// test's change (for the loader's refusals and conversions), and plain pictures as the show
// writes them.
namespace kovessa::test {

struct BitmapHeader {
    int32_t width = 64;
    int32_t height = 64;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0; // 0: left for the reader to compute
    uint32_t clrUsed = 0;
};

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}
inline void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// The test colour of a pixel (x, y counted from the bottom row) as blue, green, red.
inline uint8_t TestBlue(int x, int y) {
    return static_cast<uint8_t>(x * 7 + y);
}
inline uint8_t TestGreen(int x, int y) {
    return static_cast<uint8_t>(y * 3 + x / 16);
}
inline uint8_t TestRed(int x, int y) {
    return static_cast<uint8_t>(x ^ (y << 2));
}

// The header, `paletteEntries` colour-table entries and rows of test colours (file order:
// bottom row first), each row padded to 4 bytes.
inline std::vector<uint8_t> MakeBitmap(const BitmapHeader& h, uint32_t paletteEntries = 0) {
    const int rows = h.height < 0 ? -h.height : h.height;
    const size_t rowBytes = (static_cast<size_t>(h.width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> out{'B', 'M'};
    PutU32(out, static_cast<uint32_t>(54 + 4 * paletteEntries + rowBytes * rows));
    PutU32(out, 0);
    PutU32(out, 54 + 4 * paletteEntries);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(h.width));
    PutU32(out, static_cast<uint32_t>(h.height));
    PutU16(out, 1);
    PutU16(out, h.bitCount);
    PutU32(out, h.compression);
    PutU32(out, h.sizeImage);
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, h.clrUsed);
    PutU32(out, 0);
    out.resize(out.size() + 4 * size_t{paletteEntries}, 0x55);
    for (int r = 0; r < rows; ++r) {
        // A top-down file stores its top row first.
        const int y = h.height < 0 ? rows - 1 - r : r;
        for (int x = 0; x < h.width; ++x) {
            out.push_back(TestBlue(x, y));
            out.push_back(TestGreen(x, y));
            out.push_back(TestRed(x, y));
        }
        out.resize(out.size() + (rowBytes - static_cast<size_t>(h.width) * 3), 0xEE);
    }
    return out;
}

// A picture of one colour, written by the show's own encoder.
inline std::vector<uint8_t> MakeSolidBitmap(int width, int height, uint8_t red, uint8_t green,
                                            uint8_t blue) {
    RgbPixels image{width, height, {}};
    for (int i = 0; i < width * height; ++i) {
        image.rgb.insert(image.rgb.end(), {red, green, blue});
    }
    const std::string bytes = EncodeHandoffBitmap(image);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace kovessa::test
