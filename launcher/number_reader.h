#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kovessa {

// Reads numbers the way the program's text-to-number conversions have always read them, so that
// settings files and command lines written on Windows keep their meaning.
//
// The lenient reader `Val` ignores blanks, tabs and line feeds wherever they stand, reads an
// optional sign, digits with an optional decimal point and an exponent (E or D), or the
// prefixes &H (hexadecimal) and &O (octal), up to the first character that cannot continue the
// number. Text without a number reads as 0. A hexadecimal or octal number is a 32-bit pattern:
// &HFFFFFFFF reads as -1; more than 32 bits overflow.
//
// The strict reader `StrictNumber` accepts the same forms, but only as the whole text apart
// from surrounding blanks; anything else is not a number.
struct NumberReading {
    double value = 0;      // the number read; infinite when it overflowed
    bool found = false;    // at least one digit was read
    bool overflow = false; // the number does not fit a double (or 32 bits for &H and &O)
    std::size_t end = 0;   // index just after the last character that belonged to the number
};

NumberReading ReadNumber(std::string_view text, bool skipBlanksInside);

// Lenient reading; an overflow gives an infinite value, which no integer conversion accepts.
double Val(std::string_view text);

// Strict reading; nullopt when the text is not exactly one number (or it overflows).
std::optional<double> StrictNumber(std::string_view text);

// Rounds half to even, as the program's integer conversions do; nullopt when the result does
// not fit.
std::optional<int32_t> RoundToInt32(double value);
std::optional<int16_t> RoundToInt16(double value);

} // namespace kovessa
