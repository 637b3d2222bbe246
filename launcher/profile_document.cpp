#include "launcher/profile_document.h"

namespace kovessa {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// The section name of a header line "[name]", or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(t.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view rawValue; // trimmed, quotes still on
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{TrimBlanks(t.substr(0, eq)), TrimBlanks(t.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

ProfileDocument::ProfileDocument(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t brk = bytes.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        std::size_t next = brk + 1;
        if (bytes[brk] == '\r' && next < bytes.size() && bytes[next] == '\n') {
            ++next;
        }
        lines_.push_back({std::string(bytes.substr(start, brk - start)),
                          std::string(bytes.substr(brk, next - brk))});
        start = next;
    }
}

bool ProfileDocument::SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(ca) && i + 1 < a.size()) {
            // A double-byte character: both bytes must match as they are.
            if (ca != cb || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
            continue;
        }
        if (FoldAscii(ca) != FoldAscii(cb)) {
            return false;
        }
    }
    return true;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (!name || !SameName(*name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end].text)) {
            ++end;
        }
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Range& range,
                                                    std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto kl = ParseKeyLine(lines_[i].text);
        if (kl && SameName(kl->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::Get(std::string_view section,
                                                std::string_view key) const {
    const auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto index = FindKey(*range, key);
    if (!index) {
        return std::nullopt;
    }
    return std::string(Unquote(ParseKeyLine(lines_[*index].text)->rawValue));
}

ProfileDocument::SetResult ProfileDocument::Set(std::string_view section, std::string_view key,
                                                std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    value = TrimBlanks(value);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.empty() || key.front() == '[' || key.front() == ';') {
        return SetResult::Refused;
    }

    const std::string newLine = std::string(key) + "=" + std::string(value);
    const auto range = FindSection(section);
    if (range) {
        if (const auto index = FindKey(*range, key)) {
            const KeyLine kl = *ParseKeyLine(lines_[*index].text);
            if (kl.rawValue == value) {
                return SetResult::Unchanged;
            }
            // The key keeps the spelling it has in the file.
            lines_[*index].text = std::string(kl.key) + "=" + std::string(value);
            return SetResult::Changed;
        }
        std::size_t after = range->end;
        while (after > range->header + 1 && TrimBlanks(lines_[after - 1].text).empty()) {
            --after;
        }
        if (lines_[after - 1].ending.empty()) {
            lines_[after - 1].ending = "\r\n";
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after), Line{newLine, "\r\n"});
        return SetResult::Changed;
    }
    if (!lines_.empty() && lines_.back().ending.empty()) {
        lines_.back().ending = "\r\n";
    }
    lines_.push_back({"[" + std::string(section) + "]", "\r\n"});
    lines_.push_back({newLine, "\r\n"});
    return SetResult::Changed;
}

std::string ProfileDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text + line.ending;
    }
    return text;
}

} // namespace kovessa
