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
        skipBlanks(true);
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    std::size_t pos() const { return pos_; }

    // Moves past the current character and, in the lenient mode, past any blanks after it.
    void advance() {
        ++pos_;
        skipBlanks(skipInside_);
    }

    void restore(std::size_t pos) { pos_ = pos; }

private:
    void skipBlanks(bool allowed) {
        while (allowed && !atEnd() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool skipInside_;
};

int digitValue(char c, int base) {
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

bool isExponentMark(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// &H and &O: the digits form a 32-bit pattern, so the largest values read as negative numbers.
NumberReading readRadix(Scanner& s, int base) {
    NumberReading r;
    uint64_t accumulated = 0;
    for (int d = digitValue(s.peek(), base); d >= 0; d = digitValue(s.peek(), base)) {
        r.found = true;
        accumulated = accumulated * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (accumulated > 0xFFFFFFFFull) {
            r.overflow = true;
        }
        r.end = s.pos() + 1;
        s.advance();
    }
    if (r.overflow) {
        r.value = std::numeric_limits<double>::infinity();
    } else {
        r.value = static_cast<int32_t>(static_cast<uint32_t>(accumulated));
    }
    return r;
}

NumberReading readDecimal(Scanner& s) {
    NumberReading r;
    bool negative = false;
    if (s.peek() == '+' || s.peek() == '-') {
        negative = s.peek() == '-';
        s.advance();
    }
    std::string intDigits, fracDigits;
    while (digitValue(s.peek(), 10) >= 0) {
        intDigits += s.peek();
        r.end = s.pos() + 1;
        s.advance();
    }
    if (s.peek() == '.') {
        const std::size_t pointEnd = s.pos() + 1;
        s.advance();
        if (!intDigits.empty()) {
            r.end = pointEnd;
        }
        while (digitValue(s.peek(), 10) >= 0) {
            fracDigits += s.peek();
            r.end = s.pos() + 1;
            s.advance();
        }
    }
    r.found = !intDigits.empty() || !fracDigits.empty();
    if (!r.found) {
        r.end = 0;
        return r;
    }

    long exponent = 0;
    if (isExponentMark(s.peek())) {
        // The mark belongs to the number only when digits follow it.
        const std::size_t mark = s.pos();
        s.advance();
        bool expNegative = false;
        if (s.peek() == '+' || s.peek() == '-') {
            expNegative = s.peek() == '-';
            s.advance();
        }
        bool expDigits = false;
        while (digitValue(s.peek(), 10) >= 0) {
            expDigits = true;
            if (exponent < kExponentClamp) {
                exponent = exponent * 10 + (s.peek() - '0');
            }
            r.end = s.pos() + 1;
            s.advance();
        }
        if (!expDigits) {
            s.restore(mark);
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
    if (s.peek() == '&') {
        const std::size_t amp = s.pos();
        s.advance();
        const char kind = s.peek();
        int base = 0;
        if (kind == 'h' || kind == 'H') {
            base = 16;
        } else if (kind == 'o' || kind == 'O') {
            base = 8;
        }
        if (base == 0) {
            s.restore(amp);
            return {};
        }
        s.advance();
        NumberReading r = readRadix(s, base);
        if (!r.found) {
            r.end = 0;
        }
        return r;
    }
    return readDecimal(s);
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
