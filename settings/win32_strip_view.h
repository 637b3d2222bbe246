#pragma once

#include <windows.h>

#include <functional>

namespace kovessa {

class PixelSurface;

// The visible picture box of the display strip: a child window that puts the strip's finished
// frame on the screen in one blit, shows a pointing hand over it and reports a click.
class StripView {
public:
    static constexpr const wchar_t* kClassName = L"Kovessa.Strip";

    // A window at `rect` (client pixels of `parent`) that shows `frame`, stretched to the
    // window's size when the screen is denser than the frame's 96 dots per inch.
    StripView(HWND parent, const PixelSurface& frame, const RECT& rect);
    ~StripView();
    StripView(const StripView&) = delete;
    StripView& operator=(const StripView&) = delete;

    HWND Window() const { return hwnd_; }
    // Shows the frame as it is now.
    void Show();

    // A left press and release on the strip.
    std::function<void()> onClick;

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Blit(HDC dc);

    const PixelSurface& frame_;
    HWND hwnd_ = nullptr;
    bool pressed_ = false;
};

} // namespace kovessa
