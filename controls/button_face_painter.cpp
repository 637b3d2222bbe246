#include "controls/button_face_painter.h"

#include <algorithm>

namespace kovessa {
namespace {

struct Piece {
    int sx, sy, sw, sh; // source rectangle in the picture
    int dx, dy, dw, dh; // destination rectangle in the target
};

// One channel of the gradient at row `y` of `rows`. The colours are widened to 16 bits the
// way the face colours are specified (0xC6 becomes 0xC600) before interpolating.
uint32_t GradientChannel(uint32_t top, uint32_t bottom, int shift, int y, int rows) {
    const int64_t a = static_cast<int64_t>((top >> shift) & 0xFF) << 8;
    const int64_t b = static_cast<int64_t>((bottom >> shift) & 0xFF) << 8;
    const int64_t value = rows > 1 ? a + (b - a) * y / (rows - 1) : a;
    return static_cast<uint32_t>(value >> 8) << shift;
}

// Nearest-neighbour copy of one piece, sampling the source at the centre of each destination
// pixel, clipped to both pictures.
void CopyPiece(RgbImage& target, const RgbImage& picture, const Piece& p) {
    if (p.sw <= 0 || p.sh <= 0 || p.dw <= 0 || p.dh <= 0) {
        return;
    }
    for (int j = 0; j < p.dh; ++j) {
        const int ty = p.dy + j;
        const int sy = p.sy + static_cast<int>((2LL * j + 1) * p.sh / (2LL * p.dh));
        for (int i = 0; i < p.dw; ++i) {
            const int tx = p.dx + i;
            const int sx = p.sx + static_cast<int>((2LL * i + 1) * p.sw / (2LL * p.dw));
            if (target.Contains(tx, ty) && picture.Contains(sx, sy)) {
                target.Set(tx, ty, picture.At(sx, sy));
            }
        }
    }
}

} // namespace

void DrawGradient(RgbImage& target, bool hoverGradient) {
    const uint32_t top = hoverGradient ? kGradientShade : kGradientLight;
    const uint32_t bottom = hoverGradient ? kGradientLight : kGradientShade;
    for (int y = 0; y < target.height; ++y) {
        const uint32_t rgb = GradientChannel(top, bottom, 16, y, target.height) |
                             GradientChannel(top, bottom, 8, y, target.height) |
                             GradientChannel(top, bottom, 0, y, target.height);
        std::fill_n(target.pixels.begin() + static_cast<std::ptrdiff_t>(y) * target.width,
                    target.width, rgb);
    }
}

void PaintFaceBand(RgbImage& target, const RgbImage& picture) {
    const int c = kFaceBand;
    const int pw = picture.width, ph = picture.height;
    const int w = target.width, h = target.height;
    const int midW = pw - 2 * c, midH = ph - 2 * c;
    const Piece pieces[] = {
        {0, 0, c, c, 0, 0, c, c},                     // top-left corner
        {c, 0, midW, c, c, 0, w - 2 * c, c},          // top edge
        {pw - c, 0, c, c, w - c, 0, c, c},            // top-right corner
        {pw - c, c, c, midH, w - c, c, c, h - 2 * c}, // right edge
        {pw - c, ph - c, c, c, w - c, h - c, c, c},   // bottom-right corner
        {c, ph - c, midW, c, c, h - c, w - 2 * c, c}, // bottom edge
        {0, ph - c, c, c, 0, h - c, c, c},            // bottom-left corner
        {0, c, c, midH, 0, c, c, h - 2 * c},          // left edge
    };
    for (const Piece& piece : pieces) {
        CopyPiece(target, picture, piece);
    }
}

void PaintButtonFace(RgbImage& target, const RgbImage& picture, bool hoverGradient) {
    std::fill(target.pixels.begin(), target.pixels.end(), 0u);
    DrawGradient(target, hoverGradient);
    PaintFaceBand(target, picture);
}

} // namespace kovessa
