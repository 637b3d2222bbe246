#pragma once

#include "settings/pixel_surface.h"

#include <array>

namespace kovessa {

// The streak and the four star pictures of the display strip, from the program's resources.
struct StripPictures {
    PixelSurface hilite;
    std::array<PixelSurface, 4> stars;
};

StripPictures LoadStripPictures();

// A resource picture as a surface; an empty surface when it cannot be read.
PixelSurface LoadSurface(const char* resourcePath);

} // namespace kovessa
