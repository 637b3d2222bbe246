#pragma once

#include "show/rgb_pixels.h"

namespace kovessa {

// The six face pictures as the Windows programs carry them: plain pixels made from the same
// picture files at build time, 64 x 25 each.
RgbPixels FaceNormalPixels();
RgbPixels FaceHighLightPixels();
RgbPixels FaceSelectedPixels();
RgbPixels FaceHighLightSelectPixels();
RgbPixels FacePressedPixels();
RgbPixels FaceDisablePixels();

} // namespace kovessa
