#include "launcher/win32_message_loop.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace kovessa {

namespace {

struct Watch {
    HANDLE handle;
    std::function<void()> signalled;
};

std::vector<Watch>& watches() {
    static std::vector<Watch> list;
    return list;
}

} // namespace

void WatchHandle(void* handle, std::function<void()> signalled) {
    watches().push_back({static_cast<HANDLE>(handle), std::move(signalled)});
}

int RunMessageLoop() {
    for (;;) {
        std::vector<HANDLE> handles;
        for (const Watch& watch : watches()) {
            handles.push_back(watch.handle);
        }
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD woke =
            MsgWaitForMultipleObjects(count, handles.data(), FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_FAILED) {
            // A handle that cannot be waited on would wake the loop for ever; the window
            // messages still come.
            watches().clear();
            continue;
        }
        if (woke < WAIT_OBJECT_0 + count) {
            // Taken off the list first: the function may end the process or add a watch.
            Watch watch = std::move(watches()[woke - WAIT_OBJECT_0]);
            watches().erase(watches().begin() + (woke - WAIT_OBJECT_0));
            watch.signalled();
            continue;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace kovessa
