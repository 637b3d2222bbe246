#include "common/win32_ansi_text.h"

#include "common/win32_text.h"

#include <windows.h>

#include <vector>

namespace kovessa {

namespace {

std::optional<std::string> ansiFromWide(std::wstring_view text, bool lossy) {
    if (text.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // No best fit: a character the code page lacks must not quietly become a look-alike.
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr,
                                           0, nullptr, &usedDefault);
    if (length <= 0 || (usedDefault && !lossy)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length,
                        nullptr, nullptr);
    return bytes;
}

std::optional<std::wstring> shortPath(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(length);
    const DWORD written = GetShortPathNameW(path.c_str(), buffer.data(), length);
    if (written == 0 || written >= length) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), written);
}

} // namespace

std::optional<std::string> AnsiFromUtf8(std::string_view text) {
    return ansiFromWide(WideFromUtf8(text), false);
}

std::string LossyAnsiFromUtf8(std::string_view text) {
    return ansiFromWide(WideFromUtf8(text), true).value_or(std::string());
}

std::string Utf8FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
    return Utf8FromWide(wide);
}

std::optional<std::string> AnsiPathFromUtf8(const std::string& path) {
    if (std::optional<std::string> ansi = AnsiFromUtf8(path)) {
        return ansi;
    }
    const std::wstring wide = WideFromUtf8(path);
    if (std::optional<std::wstring> whole = shortPath(wide)) {
        return ansiFromWide(*whole, false);
    }
    // A file still to be made: the short form of its folder, and its own name as it is.
    const size_t slash = wide.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return std::nullopt;
    }
    const std::optional<std::wstring> folder = shortPath(wide.substr(0, slash));
    if (!folder) {
        return std::nullopt;
    }
    return ansiFromWide(*folder + wide.substr(slash), false);
}

} // namespace kovessa
