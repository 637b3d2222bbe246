#include "common/win32_window_class.h"

namespace kovessa {

void DestroyOwnedWindow(HWND& window) {
    if (window == nullptr) {
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    window = nullptr;
}

} // namespace kovessa
