#include "controls/property_bag.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace kovessa {
namespace {

constexpr double kLargestFontSize = 2048.0;

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsName(std::string_view s) {
    return !s.empty() && IsNameStart(s.front()) && std::all_of(s.begin(), s.end(), IsNameChar);
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<int64_t> ParseInteger(std::string_view s) {
    if (s.size() > 1 && s.front() == '+' && s[1] != '-') {
        s.remove_prefix(1);
    }
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseDecimal(std::string_view s) {
    double value = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A quoted string with its escapes, and nothing after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view s) {
    if (s.size() < 2 || s.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    std::size_t i = 1;
    while (i < s.size()) {
        const char c = s[i++];
        if (c == '"') {
            return i == s.size() ? std::optional(out) : std::nullopt;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return std::nullopt;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i >= s.size()) {
            return std::nullopt;
        }
        switch (const char e = s[i++]) {
        case '"':
        case '\\':
            out += e;
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 > s.size() || HexDigit(s[i]) < 0 || HexDigit(s[i + 1]) < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt; // no closing quote
}

void AppendQuoted(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20 || u == 0x7F) {
                out += "\\x";
                out += kHex[u >> 4];
                out += kHex[u & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

std::string FormatDecimal(double value) {
    // Room for the longest fixed form of any double up to the largest font size: the smallest
    // sizes are written out with more than 300 zeros after the point.
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
               return lower(x) == lower(y);
           });
}

// Splits "Name = value" into its two halves; nullopt when it is not such a line.
std::optional<std::pair<std::string_view, std::string_view>>
SplitAssignment(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (!IsName(name) || value.empty()) {
        return std::nullopt;
    }
    return std::pair(name, value);
}

// Applies one "Key = value" line of a font block. Returns false for an unknown key or value.
bool ApplyFontLine(FontSpec& font, std::string_view key, std::string_view value, bool& named,
                   bool& sized) {
    if (key == "Name") {
        auto text = ParseQuoted(value);
        if (!text) {
            return false;
        }
        font.name = std::move(*text);
        named = true;
        return true;
    }
    if (key == "Size") {
        const auto size = ParseDecimal(value);
        if (!size || *size <= 0.0 || *size > kLargestFontSize) {
            return false;
        }
        font.size = *size;
        sized = true;
        return true;
    }
    bool* flag = key == "Bold"            ? &font.bold
                 : key == "Italic"        ? &font.italic
                 : key == "Underline"     ? &font.underline
                 : key == "Strikethrough" ? &font.strikethrough
                                          : nullptr;
    const auto number = ParseInteger(value);
    if (!flag || !number) {
        return false;
    }
    *flag = *number != 0;
    return true;
}

} // namespace

const PropertyBag::Value* PropertyBag::Find(std::string_view name) const {
    for (const auto& [key, value] : entries_) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

std::vector<std::string> PropertyBag::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : entries_) {
        names.push_back(entry.first);
    }
    return names;
}

std::optional<bool> PropertyBag::ReadBoolean(std::string_view name, bool fallback) const {
    const Value* value = Find(name);
    if (!value) {
        return fallback;
    }
    if (const auto* number = std::get_if<int64_t>(value)) {
        return *number != 0;
    }
    if (const auto* text = std::get_if<std::string>(value)) {
        if (EqualsIgnoringCase(*text, "True")) {
            return true;
        }
        if (EqualsIgnoringCase(*text, "False")) {
            return false;
        }
        if (const auto number = ParseInteger(*text)) {
            return *number != 0;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PropertyBag::ReadString(std::string_view name,
                                                   std::string fallback) const {
    const Value* value = Find(name);
    if (!value) {
        return fallback;
    }
    if (const auto* text = std::get_if<std::string>(value)) {
        return *text;
    }
    if (const auto* number = std::get_if<int64_t>(value)) {
        return std::to_string(*number);
    }
    return std::nullopt;
}

std::optional<int64_t> PropertyBag::ReadInteger(std::string_view name, int64_t fallback,
                                                int64_t min, int64_t max) const {
    const Value* value = Find(name);
    std::optional<int64_t> number;
    if (!value) {
        number = fallback;
    } else if (const auto* stored = std::get_if<int64_t>(value)) {
        number = *stored;
    } else if (const auto* text = std::get_if<std::string>(value)) {
        number = ParseInteger(Trim(*text));
    }
    if (!number || *number < min || *number > max) {
        return std::nullopt;
    }
    return number;
}

std::optional<FontSpec> PropertyBag::ReadFont(std::string_view name, FontSpec fallback) const {
    const Value* value = Find(name);
    if (!value) {
        return fallback;
    }
    if (const auto* font = std::get_if<FontSpec>(value)) {
        return *font;
    }
    return std::nullopt;
}

void PropertyBag::WriteBoolean(std::string_view name, bool value, bool fallback) {
    if (value == fallback) {
        Erase(name);
    } else {
        Store(name, int64_t{value ? -1 : 0});
    }
}

void PropertyBag::WriteString(std::string_view name, std::string value, std::string_view fallback) {
    if (value == fallback) {
        Erase(name);
    } else {
        Store(name, std::move(value));
    }
}

void PropertyBag::WriteInteger(std::string_view name, int64_t value, int64_t fallback) {
    if (value == fallback) {
        Erase(name);
    } else {
        Store(name, value);
    }
}

void PropertyBag::WriteFont(std::string_view name, FontSpec value, const FontSpec& fallback) {
    if (value == fallback) {
        Erase(name);
    } else {
        Store(name, std::move(value));
    }
}

void PropertyBag::Store(std::string_view name, Value value) {
    for (auto& entry : entries_) {
        if (entry.first == name) {
            entry.second = std::move(value);
            return;
        }
    }
    entries_.emplace_back(std::string(name), std::move(value));
}

void PropertyBag::Erase(std::string_view name) {
    std::erase_if(entries_, [name](const auto& entry) { return entry.first == name; });
}

std::optional<PropertyBag> PropertyBag::Parse(std::string_view text) {
    PropertyBag bag;
    std::optional<std::string> fontName; // set while inside a font block
    FontSpec font;
    bool named = false, sized = false;

    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        const std::string_view line = Trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (fontName) {
            if (line == "EndProperty") {
                if (!named || !sized) {
                    return std::nullopt;
                }
                bag.entries_.emplace_back(std::move(*fontName), font);
                fontName.reset();
                continue;
            }
            const auto assignment = SplitAssignment(line);
            if (!assignment ||
                !ApplyFontLine(font, assignment->first, assignment->second, named, sized)) {
                return std::nullopt;
            }
            continue;
        }
        // An entry may itself be called BeginProperty; a block's opening line has no '='.
        if (line.find('=') == std::string_view::npos &&
            (line.starts_with("BeginProperty ") || line.starts_with("BeginProperty\t"))) {
            const std::string_view name = Trim(line.substr(14));
            if (!IsName(name) || bag.Find(name)) {
                return std::nullopt;
            }
            fontName = std::string(name);
            font = FontSpec{};
            named = sized = false;
            continue;
        }
        const auto assignment = SplitAssignment(line);
        if (!assignment || bag.Find(assignment->first)) {
            return std::nullopt;
        }
        const auto [name, value] = *assignment;
        if (value.front() == '"') {
            auto parsed = ParseQuoted(value);
            if (!parsed) {
                return std::nullopt;
            }
            bag.entries_.emplace_back(std::string(name), std::move(*parsed));
        } else if (const auto number = ParseInteger(value)) {
            bag.entries_.emplace_back(std::string(name), *number);
        } else {
            return std::nullopt;
        }
    }
    if (fontName) {
        return std::nullopt; // a font block without its end
    }
    return bag;
}

std::string PropertyBag::Serialize() const {
    std::string out;
    for (const auto& [name, value] : entries_) {
        if (const auto* number = std::get_if<int64_t>(&value)) {
            out += name + " = " + std::to_string(*number) + "\n";
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            out += name + " = ";
            AppendQuoted(out, *text);
            out += "\n";
        } else {
            const auto& font = std::get<FontSpec>(value);
            out += "BeginProperty " + name + "\n    Name = ";
            AppendQuoted(out, font.name);
            out += "\n    Size = " + FormatDecimal(font.size) + "\n";
            const std::pair<const char*, bool> flags[] = {{"Bold", font.bold},
                                                          {"Italic", font.italic},
                                                          {"Underline", font.underline},
                                                          {"Strikethrough", font.strikethrough}};
            for (const auto& [key, on] : flags) {
                out += std::string("    ") + key + " = " + (on ? "-1" : "0") + "\n";
            }
            out += "EndProperty\n";
        }
    }
    return out;
}

} // namespace kovessa
