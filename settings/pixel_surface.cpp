#include "settings/pixel_surface.h"

#include <algorithm>

namespace kovessa {

PixelSurface::PixelSurface(int width, int height, RgbColour background) : background_(background) {
    resize(width, height);
}

void PixelSurface::resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, ToOpaquePixel(background_));
}

void PixelSurface::fill(RgbColour rgb) {
    std::fill(pixels_.begin(), pixels_.end(), ToOpaquePixel(rgb));
}

RgbColour PixelSurface::pixel(int x, int y) const {
    return contains(x, y) ? ToRgb(at(x, y)) : RgbColour{};
}

void PixelSurface::setPixel(int x, int y, RgbColour rgb) {
    if (contains(x, y)) {
        at(x, y) = ToOpaquePixel(rgb);
    }
}

} // namespace kovessa
