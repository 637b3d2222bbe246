#pragma once

#include "show/rgb_pixels.h"

#include <cstddef>

#include <string>

namespace kovessa {

// The bitmap file format in which the show hands its two textures to the renderer: a 14-byte
// file header and a 40-byte information header, 24 bits a pixel in the order blue, green, red,
// uncompressed, rows from the bottom up, each row padded to a multiple of four bytes, and no
// colour table, so that the pixels start at byte 54.
inline constexpr size_t kHandoffHeaderSize = 54;

// The complete file for `image`; empty when the image is not valid.
std::string EncodeHandoffBitmap(const RgbPixels& image);

// Writes `image` as the hand-off bitmap `name` (kGlowBitmapName or kBackgroundBitmapName) into
// the per-user hand-off folder. The file is replaced as a whole, so the renderer never reads a
// half-written texture, and a symbolic link planted under that name is replaced rather than
// followed. Returns false, with the reason in `error`, when nothing was written.
bool WriteHandoffBitmap(const char* name, const RgbPixels& image, std::string* error = nullptr);

} // namespace kovessa
