#include "renderer/win32_pointer.h"

#include <windows.h>

namespace kovessa {

std::optional<ScreenPoint> GetCursorPos() {
    POINT at{};
    if (!::GetCursorPos(&at)) {
        return std::nullopt;
    }
    return ScreenPoint{at.x, at.y};
}

} // namespace kovessa
