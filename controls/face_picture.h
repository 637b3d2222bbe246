#pragma once

#include <cstddef>

namespace kovessa {

// The six face pictures of the Command button. Each is 64 x 25 pixels; only its outer
// four-pixel band ever reaches the screen.
enum class FacePicture {
    Normal,          // no focus, or focus with the pointer outside after a release
    HighLight,       // pointer over the button without focus
    Selected,        // focus with the pointer outside
    HighLightSelect, // focus with the pointer over the button
    Pressed,         // left button held, or focus that arrived by a click
    Disable,         // the button does not react
};

inline constexpr std::size_t kFacePictureCount = 6;
inline constexpr int kFacePictureWidth = 64;
inline constexpr int kFacePictureHeight = 25;

} // namespace kovessa
