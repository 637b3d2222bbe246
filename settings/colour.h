#pragma once

#include <cstdint>

namespace kovessa {

// The settings dialog holds colours in three 32-bit layouts. Each has a type of its own, so a
// value in one byte order cannot be handed to a call that expects another: crossing from one
// to another takes one of the conversions below, which say what they do.

// A colour as the desktop's colour values hold it: 0x00BBGGRR. The strip's text colour is
// given this way.
struct BgrColour {
    uint32_t value = 0;
    friend constexpr bool operator==(BgrColour, BgrColour) = default;
};

// A colour as the pictures and the text drawer take it: 0x00RRGGBB.
struct RgbColour {
    uint32_t value = 0;
    friend constexpr bool operator==(RgbColour, RgbColour) = default;
};

// One stored pixel of a surface: 0xFFRRGGBB, the layout of an opaque 32-bit image, so that the
// window toolkit can draw into and show the same memory. The block operations combine these
// bit by bit, alpha byte included.
struct ArgbPixel {
    uint32_t value = 0;
    friend constexpr bool operator==(ArgbPixel, ArgbPixel) = default;
};
static_assert(sizeof(ArgbPixel) == sizeof(uint32_t), "a row of pixels is shared with the toolkit");

inline constexpr uint32_t kOpaque = 0xFF000000u;

constexpr BgrColour ColourRef(uint8_t r, uint8_t g, uint8_t b) {
    return BgrColour{uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16)};
}

// A colour from its red, green and blue bytes, as a picture's pixels give them.
constexpr RgbColour MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
    return RgbColour{(uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b}};
}

// Swaps the red and blue bytes; the top byte is dropped.
constexpr RgbColour ToRgb(BgrColour c) {
    return RgbColour{((c.value & 0xFFu) << 16) | (c.value & 0xFF00u) | ((c.value >> 16) & 0xFFu)};
}

// The colour of a stored pixel; its alpha byte carries no meaning and is dropped.
constexpr RgbColour ToRgb(ArgbPixel p) {
    return RgbColour{p.value & 0xFFFFFFu};
}

// The pixel that shows `c`, fully opaque.
constexpr ArgbPixel ToOpaquePixel(RgbColour c) {
    return ArgbPixel{kOpaque | (c.value & 0xFFFFFFu)};
}

} // namespace kovessa
