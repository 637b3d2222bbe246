#pragma once

#include <QImage>

namespace kovessa {

// The pictures the show and the preview carry inside the program, each at its own size.
QImage GlowPicture();    // 64 x 64, the light of one firefly
QImage EarthPicture();   // 320 x 320, the background of the show
QImage PreviewPicture(); // 152 x 112, the still picture of the preview

} // namespace kovessa
