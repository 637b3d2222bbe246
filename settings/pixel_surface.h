#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovessa {

// A picture box's persistent image as plain pixels: each pixel is 0xFFRRGGBB, the layout Qt
// uses for opaque 32-bit images, so the shell can draw text straight into the same memory.
// The alpha byte is always 0xFF and carries no meaning.
class PixelSurface {
public:
    PixelSurface() = default;
    PixelSurface(int width, int height, uint32_t background = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The surface's background colour (0xRRGGBB); a resize fills the surface with it.
    uint32_t background() const { return background_; }
    void setBackground(uint32_t rgb) { background_ = rgb; }

    // Sets a new size and fills the whole image with the background colour, as a picture box
    // with a persistent image comes out of a resize. Negative sizes count as 0.
    void resize(int width, int height);
    void fill(uint32_t rgb);

    // Colour at x, y as 0xRRGGBB; 0 outside the surface.
    uint32_t pixel(int x, int y) const;
    // Ignored outside the surface.
    void setPixel(int x, int y, uint32_t rgb);

    uint32_t* bits() { return pixels_.data(); }
    const uint32_t* bits() const { return pixels_.data(); }
    // Bytes from one row to the next.
    int bytesPerLine() const { return width_ * 4; }

    // Unchecked access for the block operations, which clip first.
    uint32_t& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    uint32_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const uint32_t* row(int y) const { return &pixels_[static_cast<std::size_t>(y) * width_]; }

private:
    int width_ = 0;
    int height_ = 0;
    uint32_t background_ = 0;
    std::vector<uint32_t> pixels_;
};

inline constexpr uint32_t kOpaque = 0xFF000000u;

} // namespace kovessa
