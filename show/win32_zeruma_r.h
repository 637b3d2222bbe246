#pragma once

#include "show/rgb_pixels.h"

#include <windows.h>

namespace kovessa {

// The preview window "Preview Window" on Windows: borderless, black, one still picture at its
// own size from the top-left corner. Main makes it a WS_CHILD of the window Windows names and
// sizes it; it ends the process once that window is gone.
class Zeruma_R final {
public:
    Zeruma_R();
    Zeruma_R(const Zeruma_R&) = delete;
    Zeruma_R& operator=(const Zeruma_R&) = delete;

    // Makes the window without showing it. False when no window could be made.
    bool Load();
    HWND Handle() const { return window_; }

    // The picture control Img_Prev: the area, from the top-left corner, in which the picture
    // is drawn; the picture is cut to it, never scaled.
    void SetImgPrevSize(int widthPixels, int heightPixels);

    // Ends the process once `parent` is no window any more: when it is destroyed its children
    // go with it, and a check on a timer covers a parent in a process that simply vanished.
    void WatchParent(HWND parent);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    RgbPixels picture_;
    int imgPrevWidth_ = 152;
    int imgPrevHeight_ = 112;
};

} // namespace kovessa
