#include "tools/xscreensaver_list.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace kovessa {

namespace {

// One line of the file: its text runs from `begin` to `contentEnd`, its line end (LF, CR LF,
// or nothing on a last line without one) from `contentEnd` to `end`.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

std::vector<Line> SplitLines(std::string_view file) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < file.size()) {
        const std::size_t newline = file.find('\n', begin);
        Line line;
        line.begin = begin;
        if (newline == std::string_view::npos) {
            line.contentEnd = line.end = file.size();
        } else {
            line.end = newline + 1;
            line.contentEnd = newline > begin && file[newline - 1] == '\r' ? newline - 1 : newline;
        }
        lines.push_back(line);
        begin = line.end;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view SkipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) {
        ++i;
    }
    return s.substr(i);
}

bool IsAllBlank(std::string_view s) {
    return SkipBlanks(s).empty();
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The position just after the colon when `text` is a "programs" header, as a resource file may
// spell it: leading blanks, an optional program or wildcard prefix, blanks before the colon.
std::optional<std::size_t> ProgramsValueStart(std::string_view text) {
    const std::size_t keyBegin = text.size() - SkipBlanks(text).size();
    std::size_t keyEnd = keyBegin;
    while (keyEnd < text.size() && text[keyEnd] != ':' && !IsBlank(text[keyEnd])) {
        ++keyEnd;
    }
    const std::string_view key = text.substr(keyBegin, keyEnd - keyBegin);
    constexpr std::string_view kName = "programs";
    const bool named =
        key == kName ||
        (key.size() > kName.size() && key.ends_with(kName) &&
         (key[key.size() - kName.size() - 1] == '.' || key[key.size() - kName.size() - 1] == '*'));
    if (!named) {
        return std::nullopt;
    }
    const std::string_view rest = SkipBlanks(text.substr(keyEnd));
    if (rest.empty() || rest.front() != ':') {
        return std::nullopt;
    }
    return text.size() - rest.size() + 1;
}

enum class EntryState { None, On, Off };

// Whether `text` is an entry that runs Kovessa: an optional "-" (switched off), an optional
// visual ("GL:"), an optional quoted name, then the program, under any folder.
EntryState KovessaEntryState(std::string_view text) {
    std::string_view s = SkipBlanks(text);
    EntryState state = EntryState::On;
    if (!s.empty() && s.front() == '-') {
        state = EntryState::Off;
        s = SkipBlanks(s.substr(1));
    }
    if (!s.empty() && IsLetter(s.front())) {
        std::size_t i = 1;
        while (i < s.size() && (IsLetter(s[i]) || IsDigit(s[i]) || s[i] == '_' || s[i] == '-')) {
            ++i;
        }
        if (i < s.size() && s[i] == ':') {
            s = SkipBlanks(s.substr(i + 1));
        }
    }
    if (!s.empty() && s.front() == '"') {
        const std::size_t close = s.find('"', 1);
        if (close == std::string_view::npos) {
            return EntryState::None;
        }
        s = SkipBlanks(s.substr(close + 1));
    }
    std::size_t wordEnd = 0;
    while (wordEnd < s.size() && !IsBlank(s[wordEnd]) && s[wordEnd] != '\\') {
        ++wordEnd;
    }
    std::string_view program = s.substr(0, wordEnd);
    if (const std::size_t slash = program.rfind('/'); slash != std::string_view::npos) {
        program = program.substr(slash + 1);
    }
    return program == "kovessa" || program == "Kovessa.scr" ? state : EntryState::None;
}

// The file as lines, with the list found in it.
class ParsedFile {
public:
    explicit ParsedFile(std::string_view file) : file_(file), lines_(SplitLines(file)) {
        // A key starts a line that no backslash continues from the line before.
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (i > 0 && IsContinued(i - 1)) {
                continue;
            }
            if (const auto start = ProgramsValueStart(Content(i))) {
                header_ = i;
                valueStart_ = lines_[i].begin + *start;
                break;
            }
        }
        if (!header_) {
            return;
        }
        last_ = *header_;
        while (last_ + 1 < lines_.size() && IsContinued(last_)) {
            ++last_;
        }
    }

    bool HasList() const { return header_.has_value(); }
    bool EndsContinued() const { return !lines_.empty() && IsContinued(lines_.size() - 1); }
    std::size_t Header() const { return *header_; }
    std::size_t Last() const { return last_; }
    const Line& At(std::size_t i) const { return lines_[i]; }

    std::string_view Content(std::size_t i) const {
        return file_.substr(lines_[i].begin, lines_[i].contentEnd - lines_[i].begin);
    }
    std::string_view LineEnd(std::size_t i) const {
        return file_.substr(lines_[i].contentEnd, lines_[i].end - lines_[i].contentEnd);
    }
    bool IsContinued(std::size_t i) const {
        const std::string_view text = Content(i);
        return !text.empty() && text.back() == '\\';
    }
    // The text of line i as an entry: on the header, what follows the colon.
    std::string_view EntryText(std::size_t i) const {
        if (i == *header_) {
            return file_.substr(valueStart_, lines_[i].contentEnd - valueStart_);
        }
        return Content(i);
    }
    std::size_t ValueStart() const { return valueStart_; }

    // The first line of the list that runs Kovessa, with its state.
    std::optional<std::pair<std::size_t, EntryState>> FindEntry() const {
        for (std::size_t i = *header_; HasList() && i <= last_; ++i) {
            const EntryState state = KovessaEntryState(EntryText(i));
            if (state != EntryState::None) {
                return std::make_pair(i, state);
            }
        }
        return std::nullopt;
    }

    // The line end for new lines: that of the list's last line, else the file's first, else LF.
    std::string LineEndForNewLines() const {
        if (header_ && !LineEnd(last_).empty()) {
            return std::string(LineEnd(last_));
        }
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (!LineEnd(i).empty()) {
                return std::string(LineEnd(i));
            }
        }
        return "\n";
    }

private:
    std::string_view file_;
    std::vector<Line> lines_;
    std::optional<std::size_t> header_;
    std::size_t valueStart_ = 0;
    std::size_t last_ = 0;
};

// The header and the closing empty line of a list that the add made for a file without one.
std::string NewListHeader(const std::string& eol) {
    return "programs:\t\\" + eol;
}

std::string Spliced(std::string_view file, std::size_t from, std::size_t to,
                    std::string_view insert) {
    std::string out(file.substr(0, from));
    out += insert;
    out += file.substr(to);
    return out;
}

} // namespace

ListEdit AddKovessaEntry(std::string_view file) {
    const ParsedFile parsed(file);
    const std::string eol = parsed.LineEndForNewLines();
    const std::string entry(kKovessaEntry);
    if (!parsed.HasList()) {
        std::string out(file);
        if (!out.empty() && out.back() != '\n') {
            out += eol;
        }
        // After a line that goes on, an empty line ends that value first.
        if (ParsedFile(out).EndsContinued()) {
            out += eol;
        }
        out += NewListHeader(eol) + entry + eol + eol;
        return {ListOutcome::Changed, out};
    }
    if (const auto found = parsed.FindEntry()) {
        return {found->second == EntryState::Off ? ListOutcome::SwitchedOff
                                                 : ListOutcome::AlreadyThere,
                {}};
    }
    const std::size_t last = parsed.Last();
    const Line& line = parsed.At(last);
    if (last > parsed.Header() && IsAllBlank(parsed.Content(last))) {
        // XScreenSaver's own shape: an empty line closes the list, and the entry goes before it.
        return {ListOutcome::Changed, Spliced(file, line.begin, line.begin, entry + eol)};
    }
    if (parsed.IsContinued(last)) {
        // The list goes on to the end of the file: the entry becomes its last line, going on
        // the same way.
        const std::string insert = parsed.LineEnd(last).empty() ? eol + entry : entry + eol;
        return {ListOutcome::Changed, Spliced(file, file.size(), file.size(), insert)};
    }
    // A list edited by hand that ends on its last entry: that line now goes on to the entry,
    // which ends the list instead and keeps the old last line's line end.
    const std::string tail = entry.substr(0, entry.size() - 1);
    return {ListOutcome::Changed,
            Spliced(file, line.contentEnd, line.contentEnd, "\\" + eol + tail)};
}

ListEdit RemoveKovessaEntry(std::string_view file) {
    const ParsedFile parsed(file);
    if (!parsed.HasList()) {
        return {ListOutcome::NoList, {}};
    }
    const auto found = parsed.FindEntry();
    if (!found) {
        return {ListOutcome::NotThere, {}};
    }
    const std::size_t i = found->first;
    const std::size_t header = parsed.Header();
    const Line& line = parsed.At(i);
    std::string out;
    if (i == header) {
        // An entry on the header's own line: the header stays, and goes on as it did.
        const std::string_view value = parsed.EntryText(i);
        const std::size_t from = parsed.ValueStart() + (value.size() - SkipBlanks(value).size());
        out = Spliced(file, from, line.contentEnd, parsed.IsContinued(i) ? "\\" : "");
    } else if (parsed.IsContinued(i) && !parsed.LineEnd(i).empty()) {
        out = Spliced(file, line.begin, line.end, "");
    } else if (parsed.IsContinued(i)) {
        // The file's last line, without a line end: the line before gives up its own.
        out = Spliced(file, parsed.At(i - 1).contentEnd, line.contentEnd, "");
    } else {
        // The entry ended the list: the line before no longer goes on, and keeps the line end
        // the entry had.
        out = Spliced(file, parsed.At(i - 1).contentEnd - 1, line.contentEnd, "");
    }
    // A list that the add made for a file without one goes with its last entry.
    const std::size_t headerBegin = parsed.At(header).begin;
    for (const std::string eol : {"\r\n", "\n"}) {
        if (out.substr(headerBegin) == NewListHeader(eol) + eol) {
            out.resize(headerBegin);
            break;
        }
    }
    return {ListOutcome::Changed, out};
}

} // namespace kovessa
