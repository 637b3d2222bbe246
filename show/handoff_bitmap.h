#pragma once

#include "show/rgb_pixels.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kovessa {

// The bitmap file format in which the show hands its two textures to the renderer: a 14-byte
// file header and a 40-byte information header, 24 bits a pixel in the order blue, green, red,
// uncompressed, rows from the bottom up, each row padded to a multiple of four bytes, and no
// colour table, so that the pixels start at byte 54.
inline constexpr size_t kHandoffHeaderSize = 54;

// The complete file for `image`; empty when the image is not valid.
std::string EncodeHandoffBitmap(const RgbPixels& image);

// Writes `image` as the hand-off bitmap `name` (kGlowBitmapName or kBackgroundBitmapName) into
// `folder`. The file is replaced as a whole, so the renderer never reads a half-written
// texture, and a symbolic link planted under that name is replaced rather than followed.
// Returns false, with the reason in `error`, when nothing was written.
bool WriteHandoffBitmapTo(const std::string& folder, const char* name, const RgbPixels& image,
                          std::string* error = nullptr);

struct HandoffPicture {
    const char* name;
    RgbPixels image;
};

struct HandoffResult {
    int written = 0; // pictures handed over; 0 means the renderer could only show errors
    // Set when the pictures went to a one-shot folder that the renderer must be told about.
    std::optional<std::string> oneShotFolder;
    std::vector<std::string> errors; // one line each, for standard error
};

// Writes the pictures, in order, into the usual hand-off folder; when that folder is refused
// or any write there fails, writes all of them into a one-shot private folder instead, so the
// renderer finds every picture in one place. The renderer is pointed at whichever folder holds
// more of them, the usual one on a tie, so no picture that was written is lost.
HandoffResult HandOverPictures(const std::vector<HandoffPicture>& pictures);

} // namespace kovessa
