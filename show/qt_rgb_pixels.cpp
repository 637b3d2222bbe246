#include "show/qt_rgb_pixels.h"

#include <cstring>

namespace kovessa {

RgbPixels ToRgbPixels(const QImage& image) {
    RgbPixels out;
    if (image.isNull()) {
        return out;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    out.width = rgb.width();
    out.height = rgb.height();
    const size_t stride = static_cast<size_t>(out.width) * 3;
    out.rgb.resize(stride * static_cast<size_t>(out.height));
    // Qt pads each scan line to four bytes; the plain image has no padding.
    for (int y = 0; y < out.height; ++y) {
        std::memcpy(out.rgb.data() + static_cast<size_t>(y) * stride, rgb.constScanLine(y), stride);
    }
    return out;
}

} // namespace kovessa
