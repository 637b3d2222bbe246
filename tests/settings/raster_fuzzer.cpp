// Feeds the strip's block operations arbitrary positions and sizes, and the combo reader
// arbitrary text: nothing may read or write outside a surface, overflow, or crash.
#include "settings/raster_ops.h"
#include "settings/repeat_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

int32_t TakeInt(const uint8_t*& data, size_t& size) {
    int32_t v = 0;
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kovessa;
    const uint8_t* p = data;
    size_t left = size;
    const int dw = TakeInt(p, left) & 63, dh = TakeInt(p, left) & 63;
    const int sw = TakeInt(p, left) & 63, sh = TakeInt(p, left) & 63;
    PixelSurface dst(dw, dh, RgbColour{0x203040});
    const PixelSurface src(sw, sh, RgbColour{0xF0E0D0});
    const int dx = TakeInt(p, left), dy = TakeInt(p, left), w = TakeInt(p, left),
              h = TakeInt(p, left), sx = TakeInt(p, left), sy = TakeInt(p, left);
    for (RasterOp op : {RasterOp::SrcCopy, RasterOp::SrcAnd, RasterOp::SrcPaint}) {
        BitBlt(dst, dx, dy, w, h, src, sx, sy, op);
    }
    AlphaBlendAdd(dst, dx, dy, w, h, src, sx, sy, 254);
    RepeatFromText(std::string_view(reinterpret_cast<const char*>(p), left), 3);
    return 0;
}
