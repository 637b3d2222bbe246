#include "settings/pixel_surface.h"

#include <algorithm>

namespace kovessa {

PixelSurface::PixelSurface(int width, int height, RgbColour background) : background_(background) {
    Resize(width, height);
}

void PixelSurface::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, ToOpaquePixel(background_));
}

void PixelSurface::Fill(RgbColour rgb) {
    std::fill(pixels_.begin(), pixels_.end(), ToOpaquePixel(rgb));
}

RgbColour PixelSurface::Pixel(int x, int y) const {
    return Contains(x, y) ? ToRgb(At(x, y)) : RgbColour{};
}

void PixelSurface::SetPixel(int x, int y, RgbColour rgb) {
    if (Contains(x, y)) {
        At(x, y) = ToOpaquePixel(rgb);
    }
}

} // namespace kovessa
