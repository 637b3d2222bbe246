#pragma once

#include <cstdint>

namespace kovessa {

// Program-wide values of the screensaver program that several windows share.
struct SharedState {
    // Result of the last platform or media call; only the code that has just stored it reads
    // it back.
    int32_t APIResult = 0;
    // Screen position of the pointer when the show window or the settings dialog was loaded,
    // (0, 0) when it could not be read.
    int16_t OpenPointX = 0;
    int16_t OpenPointY = 0;
};

} // namespace kovessa
