#pragma once

#include "controls/face_picture.h"
#include "controls/rgb_image.h"

class QImage;

namespace kovessa {

// The embedded face picture, decoded once. A picture that cannot be loaded is empty, which the
// painter skips: the button then shows its gradient alone.
const RgbImage& FacePictureImage(FacePicture picture);

// Conversions between the plain pictures of the face painter and Qt images.
RgbImage ToRgbImage(const QImage& image);
QImage ToQImage(const RgbImage& image);

} // namespace kovessa
