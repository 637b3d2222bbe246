#include "settings/pixel_surface.h"

#include <algorithm>

namespace kovessa {

PixelSurface::PixelSurface(int width, int height, uint32_t background) : background_(background) {
    resize(width, height);
}

void PixelSurface::resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, kOpaque | (background_ & 0xFFFFFFu));
}

void PixelSurface::fill(uint32_t rgb) {
    std::fill(pixels_.begin(), pixels_.end(), kOpaque | (rgb & 0xFFFFFFu));
}

uint32_t PixelSurface::pixel(int x, int y) const {
    return contains(x, y) ? at(x, y) & 0xFFFFFFu : 0;
}

void PixelSurface::setPixel(int x, int y, uint32_t rgb) {
    if (contains(x, y))
        at(x, y) = kOpaque | (rgb & 0xFFFFFFu);
}

} // namespace kovessa
