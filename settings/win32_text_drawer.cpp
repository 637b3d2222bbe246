#include "settings/win32_text_drawer.h"

#include "common/win32_text.h"
#include "controls/win32_font.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>

// The strip's drawer has its own DrawText; the system's macro of that name (DrawTextW) is not
// used here.
#undef DrawText

namespace kovessa {

namespace {

// The strip is laid out in pixels at 96 dots per inch; its font size follows the same rule, so
// the text fits the strip whatever the screen's density.
constexpr double kStripDotsPerInch = 96.0;

} // namespace

void Win32TextDrawer::DrawText(PixelSurface& surface, const SurfaceFont& font,
                               std::string_view text, int x, int y, RgbColour rgb) {
    if (surface.Width() <= 0 || surface.Height() <= 0 || text.empty()) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = surface.Width();
    info.bmiHeader.biHeight = -surface.Height(); // rows from the top, as the surface keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return;
    }
    const HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        DeleteDC(dc);
        return;
    }
    // A 32-bit DIB holds blue, green, red, unused in that byte order: the surface's pixels
    // as they are.
    const std::size_t bytes = static_cast<std::size_t>(surface.BytesPerLine()) * surface.Height();
    GdiFlush();
    std::memcpy(bits, surface.Bits(), bytes);

    LOGFONTW logFont{};
    // A point size becomes a whole pixel height, rounded, as the font mapper does.
    logFont.lfHeight = -static_cast<LONG>(std::lround(font.points * kStripDotsPerInch / 72.0));
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    // The strip cuts the letters out with bitwise masks, which only work on glyphs of one solid
    // colour: smoothed edges would come out in stray colours after the AND and OR steps.
    logFont.lfQuality = NONANTIALIASED_QUALITY;
    const std::wstring face = AvailableFace(WideFromUtf8(font.name));
    lstrcpynW(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
    const HFONT gdiFont = CreateFontIndirectW(&logFont);

    const HGDIOBJ oldBitmap = SelectObject(dc, section);
    const HGDIOBJ oldFont = gdiFont != nullptr ? SelectObject(dc, gdiFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const uint32_t c = rgb.value;
    SetTextColor(dc, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    const std::wstring wide = WideFromUtf8(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
    GdiFlush();

    // GDI leaves the unused byte of the pixels it draws at 0; every pixel of a surface is
    // opaque, so the byte is set again throughout.
    const auto* drawn = static_cast<const uint32_t*>(bits);
    ArgbPixel* out = surface.Bits();
    const std::size_t count = static_cast<std::size_t>(surface.Width()) * surface.Height();
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = ArgbPixel{drawn[i] | kOpaque};
    }

    if (oldFont != nullptr) {
        SelectObject(dc, oldFont);
    }
    SelectObject(dc, oldBitmap);
    if (gdiFont != nullptr) {
        DeleteObject(gdiFont);
    }
    DeleteObject(section);
    DeleteDC(dc);
}

} // namespace kovessa
