#include "show/handoff_bitmap.h"

#include "common/handoff_folder.h"
#include "launcher/atomic_file.h"

#include <cstdint>
#include <limits>

namespace kovessa {

namespace {

// 96 dots per inch, the density for which the pictures are made.
constexpr uint32_t kPixelsPerMetre = 3780;

void Put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xff));
    }
}

} // namespace

std::string EncodeHandoffBitmap(const RgbPixels& image) {
    if (!image.IsValid()) {
        return {};
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(image.width) * 3 + 3) & ~uint64_t{3};
    const uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(image.height);
    if (pixelBytes + kHandoffHeaderSize > std::numeric_limits<uint32_t>::max()) {
        return {};
    }

    std::string out;
    out.reserve(kHandoffHeaderSize + pixelBytes);
    // File header.
    out += "BM";
    Put32(out, static_cast<uint32_t>(kHandoffHeaderSize + pixelBytes));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, static_cast<uint32_t>(kHandoffHeaderSize));
    // Information header.
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.width));
    Put32(out, static_cast<uint32_t>(image.height)); // positive: rows run bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0); // no compression
    Put32(out, static_cast<uint32_t>(pixelBytes));
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0); // no colour table
    Put32(out, 0);

    const size_t stride = static_cast<size_t>(image.width) * 3;
    const size_t padding = static_cast<size_t>(rowBytes) - stride;
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.rgb.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 3;
            out.push_back(static_cast<char>(p[2]));
            out.push_back(static_cast<char>(p[1]));
            out.push_back(static_cast<char>(p[0]));
        }
        out.append(padding, '\0');
    }
    return out;
}

bool WriteHandoffBitmapTo(const std::string& folder, const char* name, const RgbPixels& image,
                          std::string* error) {
    const std::string bytes = EncodeHandoffBitmap(image);
    if (bytes.empty()) {
        if (error != nullptr) {
            *error = std::string("the picture for ") + name + " is empty";
        }
        return false;
    }
    return WriteFileAtomically(folder + "/" + name, bytes, error);
}

HandoffResult HandOverPictures(const std::vector<HandoffPicture>& pictures) {
    HandoffResult result;
    // Writes every picture into `folder` and returns how many arrived; what did not is noted.
    const auto writeAll = [&](const std::string& folder) {
        int written = 0;
        for (const HandoffPicture& picture : pictures) {
            std::string error;
            if (WriteHandoffBitmapTo(folder, picture.name, picture.image, &error)) {
                ++written;
            } else {
                result.errors.push_back(std::string(picture.name) + " not written: " + error);
            }
        }
        return written;
    };

    std::string error;
    const std::optional<std::string> usual = HandoffFolder(&error);
    if (usual) {
        result.written = writeAll(*usual);
        if (result.written == static_cast<int>(pictures.size())) {
            return result;
        }
    } else {
        result.errors.push_back("hand-off folder refused: " + error);
    }

    const std::optional<std::string> oneShot = OneShotHandoffFolder(&error);
    if (!oneShot) {
        result.errors.push_back(error);
        // What did reach the usual folder still helps the renderer.
        return result;
    }
    // The renderer reads one folder: the one that holds more of the pictures. A one-shot
    // folder that holds no more than the usual one is not worth keeping, and a picture that
    // reached only the usual folder is not thrown away with it.
    const int writtenThere = writeAll(*oneShot);
    if (writtenThere <= result.written) {
        RemoveOneShotHandoffFolder(*oneShot);
        return result;
    }
    result.written = writtenThere;
    result.oneShotFolder = oneShot;
    return result;
}

} // namespace kovessa
