#pragma once

#include <windows.h>

namespace kovessa {

// The window procedure of a class whose every window belongs to one object, the Owner that
// made it. The owner passes itself as the last argument of CreateWindowExW; on WM_NCCREATE the
// procedure notes the window in the owner's `Window` member and keeps the owner in the
// window's user data, and from then on it hands every message to the owner's `Handler`.
// Messages before that, and after the owner has let go (DestroyOwnedWindow), get the default
// handling. The owner names its own private members, so nothing else needs to see them:
//
//     windowClass.lpfnWndProc = &OwnedWindowProc<Command, &Command::hwnd_, &Command::Handle>;
template <typename Owner>
using WindowMember = HWND Owner::*;
template <typename Owner>
using MessageHandler = LRESULT (Owner::*)(UINT, WPARAM, LPARAM);

template <typename Owner, WindowMember<Owner> Window, MessageHandler<Owner> Handler>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* owner = static_cast<Owner*>(create->lpCreateParams);
        owner->*Window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return (owner->*Handler)(message, wParam, lParam);
}

// Destroys an owner's window from the owner's destructor: the owner lets go first, so that the
// messages of the window's destruction no longer reach an object that is going itself.
void DestroyOwnedWindow(HWND& window);

} // namespace kovessa
