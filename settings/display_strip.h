#pragma once

#include "settings/colour.h"
#include "settings/pixel_surface.h"
#include "settings/text_drawer.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kovessa {

// The animated link strip of the settings dialog, composed on plain pixel surfaces. A pale
// yellow address on black; a bright slanted streak sweeps across its letters and a star
// twinkles near the top right each time the streak nears the end. Each frame is composed in
// hidden surfaces and lands on `picDisplay` in one copy, which the shell then puts on screen.
//
// The names are those of the dialog's picture boxes and form-level variables. The shell owns
// the timer (30 ms, following `Timer1Enabled`) and calls DrawFrame on each tick.
class DisplayStrip {
public:
    static constexpr int kDisplayWidth = 309;
    static constexpr int kDisplayHeight = 25;
    static constexpr int kTimerIntervalMs = 30;
    static constexpr uint8_t kBlendAlpha = 254;
    static constexpr int kHiliteStep = 8;
    static constexpr int kStarWindowLow = 250;  // the star starts strictly between these
    static constexpr int kStarWindowHigh = 280; // two positions of the streak
    static constexpr int kStarX = 287;
    static constexpr int kStarY = 4;
    static constexpr const char* kFontName = "Times New Roman";
    static constexpr int16_t kFontPoints = 14;
    static constexpr int16_t kTextX = 2;
    static constexpr int16_t kTextY = 2;
    static constexpr BgrColour kTextColour = ColourRef(200, 200, 100);
    // What the strip says, as the dialog's link to the documentation: short enough to stand
    // whole in the strip at its font, before the star.
    static constexpr const char* kLinkText = "Kovessa documentation";

    // `hilite` is the streak picture, `stars` the four star pictures, grey on black.
    DisplayStrip(TextDrawer& text, PixelSurface hilite, std::array<PixelSurface, 4> stars);

    // Start-up: sizes the five working surfaces after picDisplay, sets LinkText, draws the two
    // masks, places the streak left of the strip, enables the timer and clears the star.
    void Start(std::string linkText);
    // Stops the timer; the last frame stays on picDisplay.
    void Stop() { timer1Enabled = false; }

    // The tick handler: one frame.
    void Timer1_Timer() { DrawFrame(); }

    void ClearBuffer();
    void Cleartext();
    void ResizePIC(PixelSurface& surface);
    void pTextOut(PixelSurface& surface, std::string_view text, std::string_view fontName,
                  int16_t fontSize, bool bold, int16_t x, int16_t y, BgrColour colour);
    void ApplyHiLite(int32_t x);
    void ApplyStar(int16_t n, int32_t x, int32_t y);
    void DrawFrame();

    // Surfaces. picDisplay is what the strip shows; the others are hidden.
    PixelSurface picDisplay{kDisplayWidth, kDisplayHeight, RgbColour{0x000000}};
    PixelSurface picBuffer{0, 0, RgbColour{0x000000}};
    PixelSurface picBlank{0, 0, RgbColour{0x000000}};
    PixelSurface picText{0, 0, RgbColour{0x000000}};
    PixelSurface picTextM{0, 0, RgbColour{0xFFFFFF}};
    PixelSurface PictextB{0, 0, RgbColour{0x000000}};
    PixelSurface picHilite;
    std::array<PixelSurface, 4> picStar;

    // Form-level state of the strip.
    std::string LinkText;
    int32_t HiliteX = 0;
    int16_t StarIndex = 0;
    int16_t StarStep = 0;
    bool StarActive = false;
    bool timer1Enabled = false;

private:
    TextDrawer& text_;
};

} // namespace kovessa
