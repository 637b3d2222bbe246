#pragma once

#include "controls/rgb_image.h"

#include <cstdint>

namespace kovessa {

// The two ends of the face gradient.
inline constexpr uint32_t kGradientLight = PackRgb(0xFF, 0xFF, 0xFF);
inline constexpr uint32_t kGradientShade = PackRgb(0xC6, 0xC5, 0xD7);

// Width of the picture band that frames the face: the corners are this size, unscaled.
inline constexpr int kFaceBand = 4;

// Fills the whole of `target` with the vertical face gradient. The resting face is light on
// top and shaded at the bottom, as a raised button is lit; `hoverGradient` turns it over.
// Each channel is interpolated on 16-bit values, as the face colours are given, and truncated.
void DrawGradient(RgbImage& target, bool hoverGradient);

// Copies the outer band of `picture` onto the edges of `target` in eight pieces: the four
// corners unscaled, the top and bottom edges stretched to the width between the corners and
// the side edges to the height between them. The centre of the picture is never copied.
// Pieces that do not fit (a target smaller than two corners) are clipped, never overrun.
void PaintFaceBand(RgbImage& target, const RgbImage& picture);

// The whole face: cleared, the gradient, then the band of `picture` around it.
void PaintButtonFace(RgbImage& target, const RgbImage& picture, bool hoverGradient);

} // namespace kovessa
