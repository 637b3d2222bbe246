#include "settings/raster_ops.h"

#include <algorithm>

namespace kovessa {

namespace {

// Clips a block against both surfaces; false when nothing of it is left. Works in 64 bits so
// that no position or size, however far off, can overflow on the way.
struct Block {
    int dx, dy, sx, sy, w, h;
};

bool ClipBlock(Block& b, const PixelSurface& dst, const PixelSurface* src) {
    int64_t dx = b.dx, dy = b.dy, sx = b.sx, sy = b.sy, w = b.w, h = b.h;
    // Moving the left or top edge inwards moves the source with it, so pixels stay paired.
    auto trimStart = [](int64_t& d, int64_t& s, int64_t& len) {
        if (d < 0) {
            s -= d;
            len += d;
            d = 0;
        }
        if (s < 0) {
            d -= s;
            len += s;
            s = 0;
        }
    };
    if (w <= 0 || h <= 0) {
        return false;
    }
    trimStart(dx, sx, w);
    trimStart(dy, sy, h);
    w = std::min<int64_t>(w, dst.Width() - dx);
    h = std::min<int64_t>(h, dst.Height() - dy);
    if (src) {
        w = std::min<int64_t>(w, src->Width() - sx);
        h = std::min<int64_t>(h, src->Height() - sy);
    }
    if (w <= 0 || h <= 0) {
        return false;
    }
    // Everything left lies inside the surfaces, so it fits an int again.
    b = Block{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
              static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};
    return true;
}

} // namespace

void BitBlt(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
            int sy, RasterOp op) {
    Block b{dx, dy, sx, sy, w, h};
    if (!ClipBlock(b, dst, &src)) {
        return;
    }
    for (int y = 0; y < b.h; ++y) {
        ArgbPixel* d = &dst.At(b.dx, b.dy + y);
        const ArgbPixel* s = src.Row(b.sy + y) + b.sx;
        for (int x = 0; x < b.w; ++x) {
            switch (op) {
            case RasterOp::SrcCopy:
                d[x] = s[x];
                break;
            case RasterOp::SrcAnd:
                d[x].value &= s[x].value;
                break;
            case RasterOp::SrcPaint:
                d[x].value |= s[x].value;
                break;
            }
        }
    }
}

bool AlphaBlendAdd(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
                   int sy, uint8_t constantAlpha) {
    if (w < 0 || h < 0 || sx < 0 || sy < 0 || w > src.Width() || h > src.Height() ||
        sx > src.Width() - w || sy > src.Height() - h) {
        return false;
    }
    Block b{dx, dy, sx, sy, w, h};
    if (!ClipBlock(b, dst, nullptr)) {
        return true;
    }
    auto add = [constantAlpha](uint32_t d, uint32_t s, int shift) -> uint32_t {
        const uint32_t dc = (d >> shift) & 0xFF;
        const uint32_t sc = (s >> shift) & 0xFF;
        const uint32_t sum = dc + (sc * constantAlpha + 127) / 255;
        return std::min<uint32_t>(sum, 255) << shift;
    };
    for (int y = 0; y < b.h; ++y) {
        ArgbPixel* d = &dst.At(b.dx, b.dy + y);
        const ArgbPixel* s = src.Row(b.sy + y) + b.sx;
        for (int x = 0; x < b.w; ++x) {
            const uint32_t dv = d[x].value, sv = s[x].value;
            d[x] = ArgbPixel{kOpaque | add(dv, sv, 16) | add(dv, sv, 8) | add(dv, sv, 0)};
        }
    }
    return true;
}

} // namespace kovessa
