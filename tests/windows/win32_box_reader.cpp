// box_reader.exe CAPTION: waits up to 30 seconds for a message box with that caption in the
// same Wine prefix, prints its text as UTF-8 and presses its OK button. Exit code 0 when a box
// was read, 1 when none came. The end-to-end tests read the Windows programs' boxes with it,
// since the text inside a box is drawn, not a property of its X window.

#include "common/win32_text.h"

#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: box_reader.exe CAPTION\n");
        return 2;
    }
    const ULONGLONG end = GetTickCount64() + 30000;
    while (GetTickCount64() < end) {
        // #32770 is the class of dialog boxes, message boxes among them.
        const HWND box = FindWindowW(L"#32770", argv[1]);
        if (box != nullptr) {
            // The message box's text is the static control with the id 0xFFFF.
            wchar_t text[4096] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 4096);
            std::printf("%s\n", kovessa::Utf8FromWide(text).c_str());
            std::fflush(stdout);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}
