#include "controls/win32_face_pictures.h"

#include "controls/embedded_face_pictures.h"

#include <array>
#include <cstddef>

namespace kovessa {
namespace {

RgbImage ToRgbImage(const RgbPixels& pixels) {
    if (!pixels.IsValid() || pixels.width != kFacePictureWidth ||
        pixels.height != kFacePictureHeight) {
        return {};
    }
    RgbImage image(pixels.width, pixels.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
            image.Set(x, y, PackRgb(pixels.rgb[i], pixels.rgb[i + 1], pixels.rgb[i + 2]));
        }
    }
    return image;
}

} // namespace

const RgbImage& FacePictureImage(FacePicture picture) {
    // In the order of FacePicture.
    static const std::array<RgbImage, kFacePictureCount> pictures = {
        ToRgbImage(FaceNormalPixels()),   ToRgbImage(FaceHighLightPixels()),
        ToRgbImage(FaceSelectedPixels()), ToRgbImage(FaceHighLightSelectPixels()),
        ToRgbImage(FacePressedPixels()),  ToRgbImage(FaceDisablePixels()),
    };
    return pictures[static_cast<std::size_t>(picture)];
}

} // namespace kovessa
