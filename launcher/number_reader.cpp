#include "launcher/number_reader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kovessa {

namespace {

// Exponents beyond this are already far outside a double; clamping keeps the arithmetic finite.
constexpr long kExponentClamp = 100000;

class Scanner {
public:
    Scanner(std::string_view text, bool skipBlanksInside)
        : text_(text), skipInside_(skipBlanksInside) {
        SkipBlanks(true);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    std::size_t Pos() const { return pos_; }

    // Moves past the current character and, in the lenient mode, past any blanks after it.
    void Advance() {
        ++pos_;
        SkipBlanks(skipInside_);
    }

    void Restore(std::size_t pos) { pos_ = pos; }

private:
    void SkipBlanks(bool allowed) {
        while (allowed && !AtEnd() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool skipInside_;
};

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

bool IsExponentMark(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// &H and &O: the digits form a 32-bit pattern, so the largest values read as negative numbers.
NumberReading ReadRadix(Scanner& s, int base) {
    NumberReading r;
    uint64_t accumulated = 0;
    for (int d = DigitValue(s.Peek(), base); d >= 0; d = DigitValue(s.Peek(), base)) {
        r.found = true;
        accumulated = accumulated * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (accumulated > 0xFFFFFFFFull) {
            r.overflow = true;
        }
        r.end = s.Pos() + 1;
        s.Advance();
    }
    if (r.overflow) {
        r.value = std::numeric_limits<double>::infinity();
    } else {
        r.value = static_cast<int32_t>(static_cast<uint32_t>(accumulated));
    }
    return r;
}

NumberReading ReadDecimal(Scanner& s) {
    NumberReading r;
    bool negative = false;
    if (s.Peek() == '+' || s.Peek() == '-') {
        negative = s.Peek() == '-';
        s.Advance();
    }
    std::string intDigits, fracDigits;
    while (DigitValue(s.Peek(), 10) >= 0) {
        intDigits += s.Peek();
        r.end = s.Pos() + 1;
        s.Advance();
    }
    if (s.Peek() == '.') {
        const std::size_t pointEnd = s.Pos() + 1;
        s.Advance();
        if (!intDigits.empty()) {
            r.end = pointEnd;
        }
        while (DigitValue(s.Peek(), 10) >= 0) {
            fracDigits += s.Peek();
            r.end = s.Pos() + 1;
            s.Advance();
        }
    }
    r.found = !intDigits.empty() || !fracDigits.empty();
    if (!r.found) {
        r.end = 0;
        return r;
    }

    long exponent = 0;
    if (IsExponentMark(s.Peek())) {
        // The mark belongs to the number only when digits follow it.
        const std::size_t mark = s.Pos();
        s.Advance();
        bool expNegative = false;
        if (s.Peek() == '+' || s.Peek() == '-') {
            expNegative = s.Peek() == '-';
            s.Advance();
        }
        bool expDigits = false;
        while (DigitValue(s.Peek(), 10) >= 0) {
            expDigits = true;
            if (exponent < kExponentClamp) {
                exponent = exponent * 10 + (s.Peek() - '0');
            }
            r.end = s.Pos() + 1;
            s.Advance();
        }
        if (!expDigits) {
            s.Restore(mark);
            exponent = 0;
        } else if (expNegative) {
            exponent = -exponent;
        }
    }

    const std::string digits = (intDigits.empty() ? "0" : intDigits) + "." +
                               (fracDigits.empty() ? "0" : fracDigits) + "e" +
                               std::to_string(exponent);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Out of range either way: tell a number too small (which reads as 0) from one too big.
        const auto firstNonZero = intDigits.find_first_not_of('0');
        long magnitude = exponent;
        if (firstNonZero != std::string::npos) {
            magnitude += static_cast<long>(intDigits.size() - firstNonZero);
        } else {
            magnitude -= static_cast<long>(fracDigits.find_first_not_of('0'));
        }
        if (magnitude > 0) {
            r.overflow = true;
            value = std::numeric_limits<double>::infinity();
        } else {
            value = 0;
        }
    }
    r.value = negative ? -value : value;
    return r;
}

} // namespace

NumberReading ReadNumber(std::string_view text, bool skipBlanksInside) {
    Scanner s(text, skipBlanksInside);
    if (s.Peek() == '&') {
        const std::size_t amp = s.Pos();
        s.Advance();
        const char kind = s.Peek();
        int base = 0;
        if (kind == 'h' || kind == 'H') {
            base = 16;
        } else if (kind == 'o' || kind == 'O') {
            base = 8;
        }
        if (base == 0) {
            s.Restore(amp);
            return {};
        }
        s.Advance();
        NumberReading r = ReadRadix(s, base);
        if (!r.found) {
            r.end = 0;
        }
        return r;
    }
    return ReadDecimal(s);
}

double Val(std::string_view text) {
    return ReadNumber(text, true).value;
}

std::optional<double> StrictNumber(std::string_view text) {
    const NumberReading r = ReadNumber(text, false);
    if (!r.found || r.overflow) {
        return std::nullopt;
    }
    for (std::size_t i = r.end; i < text.size(); ++i) {
        if (text[i] != ' ' && text[i] != '\t') {
            return std::nullopt;
        }
    }
    return r.value;
}

std::optional<int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<int32_t>(r);
}

std::optional<int16_t> RoundToInt16(double value) {
    const std::optional<int32_t> wide = RoundToInt32(value);
    if (!wide || *wide < -32768 || *wide > 32767) {
        return std::nullopt;
    }
    return static_cast<int16_t>(*wide);
}

} // namespace kovessa
