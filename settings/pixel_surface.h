#pragma once

#include "settings/colour.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovessa {

// A picture box's persistent image as plain pixels (ArgbPixel), so the shell can draw text
// straight into the same memory. The alpha byte is always 0xFF and carries no meaning.
class PixelSurface {
public:
    PixelSurface() = default;
    PixelSurface(int width, int height, RgbColour background = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The surface's background colour; a resize fills the surface with it.
    RgbColour Background() const { return background_; }
    void SetBackground(RgbColour rgb) { background_ = rgb; }

    // Sets a new size and fills the whole image with the background colour, as a picture box
    // with a persistent image comes out of a resize. Negative sizes count as 0.
    void Resize(int width, int height);
    void Fill(RgbColour rgb);

    // Colour at x, y; black outside the surface.
    RgbColour Pixel(int x, int y) const;
    // Ignored outside the surface.
    void SetPixel(int x, int y, RgbColour rgb);

    ArgbPixel* Bits() { return pixels_.data(); }
    const ArgbPixel* Bits() const { return pixels_.data(); }
    // Bytes from one row to the next.
    int BytesPerLine() const { return width_ * 4; }

    // Unchecked access for the block operations, which clip first.
    ArgbPixel& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    ArgbPixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const ArgbPixel* Row(int y) const { return &pixels_[static_cast<std::size_t>(y) * width_]; }

private:
    int width_ = 0;
    int height_ = 0;
    RgbColour background_;
    std::vector<ArgbPixel> pixels_;
};

} // namespace kovessa
