#pragma once

#include <string>
#include <string_view>

// The Windows programs keep their texts and paths as UTF-8, as on Linux, and hand them to the
// system through its wide-character calls, so that a name or a message reads the same whatever
// the machine's ANSI code page is.
namespace kovessa {

// UTF-16 for the wide-character calls; invalid UTF-8 becomes the replacement character.
std::wstring WideFromUtf8(std::string_view text);

// UTF-8 from what a wide-character call returned.
std::string Utf8FromWide(std::wstring_view text);

// UTF-16 from bytes in the Japanese code page 932, the encoding of the settings file's texts.
std::wstring WideFromCodePage932(std::string_view bytes);

} // namespace kovessa
