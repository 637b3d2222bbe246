#pragma once

#include "settings/text_drawer.h"

namespace kovessa {

// Draws the strip's text through GDI into the surface's own pixels: the surface is copied into
// a DIB section, TextOutW draws there in an unsmoothed font, and the pixels come back.
class Win32TextDrawer : public TextDrawer {
public:
    void DrawText(PixelSurface& surface, const SurfaceFont& font, std::string_view text, int x,
                  int y, RgbColour rgb) override;
};

} // namespace kovessa
