#pragma once

#include "show/rgb_pixels.h"

namespace kovessa {

// The pictures of the show and the preview as the Windows programs carry them: plain pixels
// made from the same picture files at build time, each at its own size.
RgbPixels GlowPixels();    // 64 x 64, the light of one firefly
RgbPixels EarthPixels();   // 320 x 320, the background of the show
RgbPixels PreviewPixels(); // 152 x 112, the still picture of the preview

} // namespace kovessa
