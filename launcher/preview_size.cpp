#include "launcher/preview_size.h"

#include "launcher/number_reader.h"

#include <cmath>

namespace kovessa {

namespace {

struct Axis {
    int16_t twips;
    int pixels;
};

Axis MeasureAxis(int32_t from, int32_t to, double twipsPerPixel) {
    const double pixels = static_cast<double>(to) - static_cast<double>(from);
    const int16_t twips = RoundToInt16(pixels * twipsPerPixel).value_or(0);
    return {twips, static_cast<int>(std::lround(twips / twipsPerPixel))};
}

} // namespace

double TwipsPerPixel(double dotsPerInch) {
    if (!std::isfinite(dotsPerInch) || dotsPerInch < 1.0) {
        dotsPerInch = 96.0;
    }
    return 1440.0 / dotsPerInch;
}

PreviewSize ComputePreviewSize(const ScreenRect& parent, double twipsPerPixelX,
                               double twipsPerPixelY) {
    const Axis w = MeasureAxis(parent.left, parent.right, twipsPerPixelX);
    const Axis h = MeasureAxis(parent.top, parent.bottom, twipsPerPixelY);
    return {w.twips, h.twips, w.pixels, h.pixels};
}

} // namespace kovessa
