#pragma once

#include "show/rgb_image.h"

#include <QImage>

namespace kovessa {

// The pixels of `image` as plain top-down RGB bytes (alpha dropped); empty for a null image.
RgbImage ToRgbImage(const QImage& image);

} // namespace kovessa
