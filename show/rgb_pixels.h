#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovessa {

// A picture as plain pixels: rows from the top, three bytes a pixel in the order red, green,
// blue, no padding between rows. This is what the show hands over to the renderer.
struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3 bytes

    bool IsValid() const {
        return width > 0 && height > 0 &&
               rgb.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    }
};

} // namespace kovessa
