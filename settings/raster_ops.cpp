#include "settings/raster_ops.h"

#include <algorithm>

namespace kovessa {

namespace {

// Clips a block against both surfaces; false when nothing of it is left.
struct Block {
    int dx, dy, sx, sy, w, h;
};

bool ClipBlock(Block& b, const PixelSurface& dst, const PixelSurface* src) {
    // Moving the left or top edge inwards moves the source with it, so pixels stay paired.
    auto trimStart = [](int& d, int& s, int& len) {
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
    if (b.w <= 0 || b.h <= 0)
        return false;
    trimStart(b.dx, b.sx, b.w);
    trimStart(b.dy, b.sy, b.h);
    b.w = std::min(b.w, dst.width() - b.dx);
    b.h = std::min(b.h, dst.height() - b.dy);
    if (src) {
        b.w = std::min(b.w, src->width() - b.sx);
        b.h = std::min(b.h, src->height() - b.sy);
    }
    return b.w > 0 && b.h > 0;
}

} // namespace

void BitBlt(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
            int sy, RasterOp op) {
    Block b{dx, dy, sx, sy, w, h};
    if (!ClipBlock(b, dst, &src))
        return;
    for (int y = 0; y < b.h; ++y) {
        uint32_t* d = &dst.at(b.dx, b.dy + y);
        const uint32_t* s = src.row(b.sy + y) + b.sx;
        for (int x = 0; x < b.w; ++x) {
            switch (op) {
            case RasterOp::SrcCopy:
                d[x] = s[x];
                break;
            case RasterOp::SrcAnd:
                d[x] &= s[x];
                break;
            case RasterOp::SrcPaint:
                d[x] |= s[x];
                break;
            }
        }
    }
}

bool AlphaBlendAdd(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
                   int sy, uint8_t constantAlpha) {
    if (w < 0 || h < 0 || sx < 0 || sy < 0 || sx > src.width() - w || sy > src.height() - h)
        return false;
    Block b{dx, dy, sx, sy, w, h};
    if (!ClipBlock(b, dst, nullptr))
        return true;
    auto add = [constantAlpha](uint32_t d, uint32_t s, int shift) -> uint32_t {
        const uint32_t dc = (d >> shift) & 0xFF;
        const uint32_t sc = (s >> shift) & 0xFF;
        const uint32_t sum = dc + (sc * constantAlpha + 127) / 255;
        return std::min<uint32_t>(sum, 255) << shift;
    };
    for (int y = 0; y < b.h; ++y) {
        uint32_t* d = &dst.at(b.dx, b.dy + y);
        const uint32_t* s = src.row(b.sy + y) + b.sx;
        for (int x = 0; x < b.w; ++x)
            d[x] = kOpaque | add(d[x], s[x], 16) | add(d[x], s[x], 8) | add(d[x], s[x], 0);
    }
    return true;
}

} // namespace kovessa
