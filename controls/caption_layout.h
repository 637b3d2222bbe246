#pragma once

#include <cmath>

namespace kovessa {

// Top of the caption label in a button `buttonHeight` pixels high: centred, then lifted by
// 20 twips (a pixel and a third at 15 twips to the pixel) so that the text sits on the
// face's optical middle rather than on its geometric one.
inline int CaptionTop(int buttonHeight, int labelHeight) {
    constexpr double kTwipsPerPixel = 15.0;
    constexpr double kLiftTwips = 20.0;
    return static_cast<int>(std::lround(
        (kTwipsPerPixel * (buttonHeight - labelHeight) - kLiftTwips) / 2.0 / kTwipsPerPixel));
}

} // namespace kovessa
