#pragma once

#include "controls/font_spec.h"

#include <windows.h>

#include <string>

namespace kovessa {

// The screen's dots per inch, as a program that declares itself aware of them is told.
int ScreenDotsPerInch();

// The face to ask the font mapper for: `name` where the system has it, else a face that stands
// in for it (the dialog's Japanese gothic, Times New Roman), else `name` all the same.
std::wstring AvailableFace(const std::wstring& name);

// A GDI font for `spec` at the screen's density; nullptr when none can be made. A Japanese face
// name asks for the Japanese character set, so that the font mapper picks a font with kana and
// kanji where the named one is missing. The caller deletes it.
HFONT MakeGdiFont(const FontSpec& spec);

} // namespace kovessa
