#pragma once

#include "controls/face_picture.h"
#include "controls/rgb_image.h"

namespace kovessa {

// The face picture carried in the program, made once. A picture of the wrong size is empty,
// which the painter skips: the button then shows its gradient alone.
const RgbImage& FacePictureImage(FacePicture picture);

} // namespace kovessa
