#include "settings/embedded_settings_pictures.h"
#include "settings/strip_pictures.h"

#include <cstddef>

namespace kovessa {

namespace {

PixelSurface ToSurface(const RgbPixels& pixels) {
    if (!pixels.IsValid()) {
        return PixelSurface(0, 0);
    }
    PixelSurface surface(pixels.width, pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * pixels.width + x) * 3;
            surface.SetPixel(x, y, MakeRgb(pixels.rgb[i], pixels.rgb[i + 1], pixels.rgb[i + 2]));
        }
    }
    return surface;
}

} // namespace

StripPictures LoadStripPictures() {
    return StripPictures{ToSurface(StreakPixels()),
                         {ToSurface(Star0Pixels()), ToSurface(Star1Pixels()),
                          ToSurface(Star2Pixels()), ToSurface(Star3Pixels())}};
}

} // namespace kovessa
