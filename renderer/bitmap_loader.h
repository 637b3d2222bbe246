#pragma once

#include "renderer/message_sink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The texture loader of the renderer: reads the 24-bit bottom-up bitmaps that the show hands
// over and turns them into red-green-blue pixel rows for the texture upload.
namespace kovessa {

inline constexpr const char* kBmpUnitCaption = "BMP Unit";
inline constexpr const char* kLoadingTexturesCaption = "Loading Textures";

// A loaded picture: rows bottom-up, three bytes a pixel in the order red, green, blue, each row
// padded to a multiple of 4 bytes (the GL's default unpack alignment).
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;

    size_t RowBytes() const { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }
};

// Exchanges the first and third byte of each of `groups` three-byte groups (at least 1).
void SwapRedBlue(uint8_t* pixels, uint32_t groups);

// LoadBitmapFile: reads the file and reports its failures under "BMP Unit". nullopt when the
// file cannot be opened, its colour table is cut short, or it is not a 24-bit uncompressed
// bitmap. A file cut short inside its pixel data is reported and still gives a picture: the
// complete rows that arrived (a single black pixel when not even one row did).
std::optional<Bitmap> LoadBitmapFile(const std::string& name, MessageSink& messages);

// The same for a file that is already open (read from its current position, which must be the
// start of the file). The descriptor is not closed.
std::optional<Bitmap> LoadBitmapFromDescriptor(int fd, MessageSink& messages);

// The loading half of LoadTextureFile: the bitmap, or after the message "Unable to load " +
// name under "Loading Textures" nullopt, upon which the caller ends the process with code 1.
std::optional<Bitmap> LoadTextureBitmap(const std::string& name, MessageSink& messages);

} // namespace kovessa
