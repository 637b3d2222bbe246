#pragma once

#include <cstdint>
#include <vector>

namespace kovessa {

// A plain picture in memory: `width` x `height` pixels, rows top to bottom, each pixel
// 0x00RRGGBB. The button's face is composed on it so that its arithmetic can be checked
// pixel by pixel without a window toolkit.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, uint32_t fill = 0)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
          pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void Set(int x, int y, uint32_t rgb) { pixels[static_cast<std::size_t>(y) * width + x] = rgb; }
};

// Packs three channels into one 0x00RRGGBB pixel of an RgbImage. (`Rgb` alone names a colour
// struct elsewhere, so the verb keeps the two apart.)
inline constexpr uint32_t PackRgb(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}

} // namespace kovessa
