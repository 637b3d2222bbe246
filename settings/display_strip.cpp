#include "settings/display_strip.h"

#include "settings/raster_ops.h"

#include <utility>

namespace kovessa {

DisplayStrip::DisplayStrip(TextDrawer& text, PixelSurface hilite, std::array<PixelSurface, 4> stars)
    : picHilite(std::move(hilite)), picStar(std::move(stars)), text_(text) {}

void DisplayStrip::Start(std::string linkText) {
    ResizePIC(picBuffer);
    ResizePIC(picBlank);
    ResizePIC(picText);
    ResizePIC(picTextM);
    ResizePIC(PictextB);
    LinkText = std::move(linkText);
    pTextOut(picTextM, LinkText, kFontName, kFontPoints, false, kTextX, kTextY, ColourRef(0, 0, 0));
    pTextOut(PictextB, LinkText, kFontName, kFontPoints, false, kTextX, kTextY,
             ColourRef(255, 255, 255));
    HiliteX = -picHilite.Width();
    timer1Enabled = true;
    StarActive = false;
}

void DisplayStrip::ClearBuffer() {
    BitBlt(picBuffer, 0, 0, picBuffer.Width(), picBuffer.Height(), picBlank, 0, 0,
           RasterOp::SrcCopy);
}

void DisplayStrip::Cleartext() {
    BitBlt(picText, 0, 0, picBuffer.Width(), picBuffer.Height(), picBlank, 0, 0, RasterOp::SrcCopy);
}

void DisplayStrip::ResizePIC(PixelSurface& surface) {
    surface.Resize(picDisplay.Width(), picDisplay.Height());
}

void DisplayStrip::pTextOut(PixelSurface& surface, std::string_view text, std::string_view fontName,
                            int16_t fontSize, bool bold, int16_t x, int16_t y, BgrColour colour) {
    text_.DrawText(surface, SurfaceFont{fontName, fontSize, bold}, text, x, y, ToRgb(colour));
}

void DisplayStrip::ApplyHiLite(int32_t x) {
    AlphaBlendAdd(picText, x, 0, picHilite.Width(), picHilite.Height(), picHilite, 0, 0,
                  kBlendAlpha);
}

void DisplayStrip::ApplyStar(int16_t n, int32_t x, int32_t y) {
    // Only the four pictures exist; any other index draws nothing, as a missing control would.
    if (n < 0 || n >= static_cast<int16_t>(picStar.size())) {
        return;
    }
    const PixelSurface& star = picStar[static_cast<size_t>(n)];
    AlphaBlendAdd(picBuffer, x, y, star.Width(), star.Height(), star, 0, 0, kBlendAlpha);
}

void DisplayStrip::DrawFrame() {
    ClearBuffer();
    Cleartext();
    pTextOut(picText, LinkText, kFontName, kFontPoints, false, kTextX, kTextY, kTextColour);
    ApplyHiLite(HiliteX);
    // The inverse mask keeps the streak only inside the letters; the mask then cuts the
    // letters out of the buffer so the highlighted letters can be painted into the holes.
    BitBlt(picText, 0, 0, picText.Width(), picText.Height(), PictextB, 0, 0, RasterOp::SrcAnd);
    BitBlt(picBuffer, 0, 0, picText.Width(), picText.Height(), picTextM, 0, 0, RasterOp::SrcAnd);
    BitBlt(picBuffer, 0, 0, picText.Width(), picText.Height(), picText, 0, 0, RasterOp::SrcPaint);

    HiliteX += kHiliteStep;
    if (HiliteX > picDisplay.Width()) {
        HiliteX = -picHilite.Width();
    }

    if (HiliteX > kStarWindowLow && HiliteX < kStarWindowHigh && !StarActive) {
        StarActive = true;
        StarStep = 1;
        StarIndex = 0;
    }
    if (StarActive) {
        ApplyStar(StarIndex, kStarX, kStarY);
        StarIndex = static_cast<int16_t>(StarIndex + StarStep);
        if (StarStep > 0 && StarIndex == 4) {
            // Picture 3 shows on two frames in a row: once growing, once shrinking.
            StarStep = static_cast<int16_t>(-StarStep);
            StarIndex = static_cast<int16_t>(StarIndex + StarStep);
        } else if (StarStep < 0 && StarIndex < 0) {
            StarActive = false;
        }
    }

    BitBlt(picDisplay, 0, 0, picDisplay.Width(), picDisplay.Height(), picBuffer, 0, 0,
           RasterOp::SrcCopy);
}

} // namespace kovessa
