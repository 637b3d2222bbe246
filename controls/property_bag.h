#pragma once

#include "controls/font_spec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace kovessa {

// The stored design of one hosted control: named entries in the order they were written.
// A write whose value equals its default stores nothing (and drops an earlier entry of that
// name), so that a design holds only what differs from a fresh control; a read of a missing
// entry gives the reader's default.
//
// Reads return nullopt when the entry is there but cannot be read as the asked type or lies
// outside the asked range; the reader then keeps the value it had.
//
// Text form, one entry a line, '#' starts a comment line:
//     Caption = "Set \"it\""      strings in double quotes; \" \\ \n \r \t \xHH escapes
//     Enabled = -1                 integers in decimal; booleans are -1 (true) and 0
//     BeginProperty Font           a font: Name and Size required, the flags optional
//         Name = "IPAPGothic"
//         Size = 9.75
//         Bold = -1
//     EndProperty
class PropertyBag {
public:
    using Value = std::variant<int64_t, std::string, FontSpec>;

    std::optional<bool> ReadBoolean(std::string_view name, bool fallback) const;
    std::optional<std::string> ReadString(std::string_view name, std::string fallback) const;
    std::optional<int64_t> ReadInteger(std::string_view name, int64_t fallback, int64_t min,
                                       int64_t max) const;
    std::optional<FontSpec> ReadFont(std::string_view name, FontSpec fallback) const;

    void WriteBoolean(std::string_view name, bool value, bool fallback);
    void WriteString(std::string_view name, std::string value, std::string_view fallback);
    void WriteInteger(std::string_view name, int64_t value, int64_t fallback);
    void WriteFont(std::string_view name, FontSpec value, const FontSpec& fallback);

    // The stored entry, or nullptr.
    const Value* Find(std::string_view name) const;
    // Names of the stored entries, in order.
    std::vector<std::string> Names() const;

    // Reads the text form; nullopt for anything malformed (unknown syntax, a bad escape, a
    // repeated name, a number out of range, an incomplete font).
    static std::optional<PropertyBag> Parse(std::string_view text);
    // The text form, which Parse reads back to an equal bag.
    std::string Serialize() const;

    friend bool operator==(const PropertyBag&, const PropertyBag&) = default;

private:
    void Store(std::string_view name, Value value);
    void Erase(std::string_view name);

    std::vector<std::pair<std::string, Value>> entries_;
};

} // namespace kovessa
