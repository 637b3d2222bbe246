#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kovessa {

// An X window id as X tools and the screensaver daemons print it: hexadecimal with a 0x prefix
// (either case) or decimal, the whole text and nothing else. X ids fit in 32 bits, and 0 is
// never a window, so both are refused along with any other text.
std::optional<unsigned long> ReadWindowId(std::string_view text);

// The id as X tools print it: 0x followed by lower-case hexadecimal digits.
std::string WindowIdText(unsigned long window);

} // namespace kovessa
