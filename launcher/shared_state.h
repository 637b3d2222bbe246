#pragma once

#include <cstdint>

namespace kovessa {

// Program-wide values of the screensaver program that several windows share.
struct SharedState {
    // Code of the last media command the music module sent; only its command sender reads it,
    // right after storing it.
    int32_t APIResult = 0;
    // Screen position of the pointer when the show window or the settings dialog was loaded,
    // (0, 0) when it could not be read.
    int16_t OpenPointX = 0;
    int16_t OpenPointY = 0;
};

} // namespace kovessa
