#pragma once

#include "settings/pixel_surface.h"

#include <cstdint>

// The block operations with which the display strip composes its frames, with the arithmetic of
// the desktop graphics calls they stand for, so that every frame is exact to the pixel.
namespace kovessa {

enum class RasterOp {
    SrcCopy,  // destination = source
    SrcAnd,   // destination = destination AND source, bit by bit
    SrcPaint, // destination = destination OR source, bit by bit
};

// Copies the w x h block at sx, sy of `src` onto `dst` at dx, dy with the raster operation.
// Whatever falls outside either surface is left out; the rest is copied as if it were not.
// Source and destination may be the same surface only when the blocks do not overlap.
void BitBlt(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
            int sy, RasterOp op);

// Blends the w x h block at sx, sy of `src` onto `dst` at dx, dy, for a source whose own alpha
// is zero and a constant alpha `constantAlpha`: each channel of the destination gains
// constantAlpha/255 of the source channel, rounded to the nearest integer, limited to 255. A
// black source pixel therefore changes nothing. Parts outside the destination are clipped; a
// source block that does not lie wholly inside `src` makes the call fail (false) and change
// nothing, as the desktop's blend refuses such a block.
bool AlphaBlendAdd(PixelSurface& dst, int dx, int dy, int w, int h, const PixelSurface& src, int sx,
                   int sy, uint8_t constantAlpha);

} // namespace kovessa
