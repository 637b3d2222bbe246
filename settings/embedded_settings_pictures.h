#pragma once

#include "show/rgb_pixels.h"

namespace kovessa {

// The settings dialog's pictures as the Windows programs carry them: plain pixels made from
// the same picture files at build time.
RgbPixels StreakPixels(); // 69 x 125, the streak of the display strip
RgbPixels Star0Pixels();  // 28 x 28, the star's four sizes, smallest first
RgbPixels Star1Pixels();
RgbPixels Star2Pixels();
RgbPixels Star3Pixels();
RgbPixels MarkOffPixels();    // 12 x 12, the mark of an option not chosen
RgbPixels MarkOnPixels();     // 12 x 12, the mark of the chosen option
RgbPixels DialogIconPixels(); // 32 x 32, the window's icon

} // namespace kovessa
