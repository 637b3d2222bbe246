#pragma once

#include "show/rgb_pixels.h"

#include <QImage>

namespace kovessa {

// The pixels of `image` as plain top-down RGB bytes (alpha dropped); empty for a null image.
RgbPixels ToRgbPixels(const QImage& image);

} // namespace kovessa
