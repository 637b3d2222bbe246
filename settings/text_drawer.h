#pragma once

#include "settings/colour.h"
#include "settings/pixel_surface.h"

#include <cstdint>
#include <string_view>

namespace kovessa {

// How a surface's font is set before text is drawn on it.
struct SurfaceFont {
    std::string_view name; // family name as the dialog asks for it, e.g. "Times New Roman"
    int16_t points = 0;    // size in points
    bool bold = false;
};

// Draws text onto a surface the way the desktop's text call does: the top left of the text
// cell at x, y, transparent background, so only the glyph pixels change and they take exactly
// `rgb`. The shell provides it over the real font engine; tests provide their own.
class TextDrawer {
public:
    virtual ~TextDrawer() = default;
    virtual void DrawText(PixelSurface& surface, const SurfaceFont& font, std::string_view text,
                          int x, int y, RgbColour rgb) = 0;
};

} // namespace kovessa
