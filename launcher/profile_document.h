#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovessa {

// The text of an initialisation file ("[Section]" lines followed by key=value lines), read and
// edited the way the program's settings file has always been treated, so that files move
// between systems and read back the same:
// - CRLF, LF and CR line endings and a last line without one all read normally;
// - blanks and tabs around names and values are ignored, and a value enclosed in one matching
//   pair of quotes (" or ') loses that pair;
// - section and key names compare ignoring ASCII letter case (the second byte of a code page
//   932 double-byte character is compared exactly, never folded);
// - only the first section of a name counts, and in it the first line of a key;
// - lines without '=' and lines starting with ';' hold no key.
// Editing keeps every other line, comment and line ending byte for byte.
class ProfileDocument {
public:
    enum class SetResult {
        Changed,   // the text now holds the new value
        Unchanged, // the key already had exactly this value; the text is untouched
        Refused,   // a name or value that cannot be stored as one line; the text is untouched
    };

    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view bytes);

    // The key's value, or nullopt when the section or the key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets key=value in the section. A missing section is added at the end, a missing key after
    // the last non-blank line of its section; new lines end in CRLF. Blanks around the value
    // are dropped; quotes are stored as given. A name or value with a line break, a section
    // name with ']' and a key name with '=' (or starting with '[' or ';') are refused, since
    // they would read back as other lines or keys.
    SetResult Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

    // Name comparison used for sections and keys.
    static bool SameName(std::string_view a, std::string_view b);

private:
    struct Line {
        std::string text;
        std::string ending; // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct Range {
        std::size_t header; // index of the section's header line
        std::size_t end;    // index one past its last line
    };

    std::optional<Range> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

    std::vector<Line> lines_;
};

} // namespace kovessa
