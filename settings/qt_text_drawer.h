#pragma once

#include "settings/text_drawer.h"

namespace kovessa {

// Draws the strip's text through Qt's font engine into the surface's own memory.
class QtTextDrawer : public TextDrawer {
public:
    void DrawText(PixelSurface& surface, const SurfaceFont& font, std::string_view text, int x,
                  int y, RgbColour rgb) override;
};

} // namespace kovessa
