#include "renderer/win32_message_box.h"

#include "common/problem_report.h"
#include "common/win32_text.h"

#include <windows.h>

#include <string>

namespace kovessa {

void Win32MessageBox::ShowMessage(const std::string& text, const std::string& caption,
                                  MessageIcon icon) {
    ReportProblem(caption + ": " + text);
    const UINT flags = MB_OK | (icon == MessageIcon::Stop ? MB_ICONERROR : 0);
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(), flags);
}

} // namespace kovessa
