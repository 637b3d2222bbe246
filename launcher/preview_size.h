#pragma once

#include "common/screen_rect.h"

#include <cstdint>

namespace kovessa {

// The size the preview window takes inside its parent. The width and height pass through
// window units (twips) held as 16-bit numbers, so a parent wider or higher than 32767 twips
// (2184 pixels at 15 twips per pixel) leaves that size at 0, and the picture follows.
struct PreviewSize {
    int16_t widthTwips = 0;
    int16_t heightTwips = 0;
    int widthPixels = 0;
    int heightPixels = 0;

    bool operator==(const PreviewSize&) const = default;
};

// Twips per pixel for a screen of `dotsPerInch` logical dots per inch: 15 at 96. A missing or
// absurd resolution counts as 96.
double TwipsPerPixel(double dotsPerInch);

PreviewSize ComputePreviewSize(const ScreenRect& parent, double twipsPerPixelX,
                               double twipsPerPixelY);

} // namespace kovessa
