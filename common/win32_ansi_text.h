#pragma once

#include <optional>
#include <string>
#include <string_view>

// The narrow calls that the design names (the media commands, the sound player, the profile
// files) take their strings in the system's ANSI code page, while the program keeps its texts
// and paths as UTF-8. These convert at that border.
namespace kovessa {

// `text` in the ANSI code page, or nothing when a character has no place there: a narrow call
// would then name something else, so no look-alike is put in its stead.
std::optional<std::string> AnsiFromUtf8(std::string_view text);

// `text` in the ANSI code page with every character that has no place there replaced by the
// code page's default character, for a call that must be made all the same.
std::string LossyAnsiFromUtf8(std::string_view text);

// UTF-8 from bytes in the ANSI code page.
std::string Utf8FromAnsi(std::string_view bytes);

// A path for the narrow calls: its ANSI form, or where it has none, the short (8.3) form of the
// path (of its folder, when the file itself does not exist yet), which is plain ASCII wherever
// the volume keeps short names. Nothing when neither can be had.
std::optional<std::string> AnsiPathFromUtf8(const std::string& path);

} // namespace kovessa
