#pragma once

#include <cstdint>

namespace kovessa {

// A window's rectangle on the screen in pixels; right and bottom lie just outside it.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const ScreenRect&) const = default;
};

// A point on the screen in pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

} // namespace kovessa
