#include "controls/win32_font.h"

#include "common/win32_text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kovessa {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFontFamily(const std::wstring& name) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, name.c_str(), LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

// The face to ask for: the named one where the system has it. The dialog's Japanese face is
// found on a Japanese Windows; elsewhere its English name may be installed, or another
// proportional gothic with Latin letters, kana and kanji. Without any of them the font mapper
// would pick by character set alone and may give a face that lacks the Latin letters.
std::wstring AvailableFace(const std::wstring& name) {
    if (name.empty() || HasFontFamily(name)) {
        return name;
    }
    std::vector<const wchar_t*> others;
    if (name == L"ＭＳ Ｐゴシック" || name == L"MS PGothic") {
        others = {L"MS PGothic", L"Yu Gothic UI", L"Meiryo UI", L"IPAPGothic", L"IPA Pゴシック"};
    } else if (name == L"Times New Roman") {
        // Metric-compatible with it, where a system has the free fonts only.
        others = {L"Liberation Serif", L"Tinos", L"DejaVu Serif"};
    }
    for (const wchar_t* other : others) {
        if (HasFontFamily(other)) {
            return other;
        }
    }
    return name;
}

int ScreenDotsPerInch() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

HFONT MakeGdiFont(const FontSpec& spec) {
    const bool ascii = std::all_of(spec.name.begin(), spec.name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::wstring name = AvailableFace(WideFromUtf8(spec.name));
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(spec.size * ScreenDotsPerInch() / 72.0));
    font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfStrikeOut = spec.strikethrough ? TRUE : FALSE;
    // The character set only steers the choice of a face that is missing; a face that is
    // there maps the text by Unicode, so a path's backslash stays a backslash.
    font.lfCharSet = ascii || HasFontFamily(name) ? DEFAULT_CHARSET : SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, name.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

} // namespace kovessa
