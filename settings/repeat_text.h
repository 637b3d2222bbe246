#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kovessa {

// The CD track as the dialog's combo shows it: decimal digits with a minus sign when negative,
// and the empty text for 0 (the whole disc).
std::string FormatRepeat(int16_t track);

// The CD track that a combo text stands for: a number (surrounding blanks, a sign, digits, a
// decimal part or an exponent) rounded to the nearest whole number with halves going to the
// even neighbour; any other text, the empty text included, is 0. A number outside the 16-bit
// range cannot be held: the track then stays `previous`, so a slip of the keyboard never
// replaces a working setting with a clipped one.
int16_t RepeatFromText(std::string_view text, int16_t previous);

} // namespace kovessa
