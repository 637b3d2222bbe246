#include "music/mci_command.h"

#include "music/mci_errors.h"

namespace kovessa {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

MciParseResult ParseMciCommand(std::string_view text) {
    MciParseResult result;
    std::vector<MciWord> words;
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        MciWord word;
        if (text[i] == '"') {
            word.quoted = true;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        word.text.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                word.text.push_back(text[i++]);
            }
            if (!closed) {
                result.error = mci::kNoClosingQuote;
                return result;
            }
        } else {
            // An unquoted word runs to the next blank; a quote inside it is an ordinary
            // character, as it is for the Windows media control interface.
            while (i < text.size() && !IsBlank(text[i])) {
                word.text.push_back(text[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    if (words.empty()) {
        result.error = mci::kMissingCommandString;
        return result;
    }
    result.command.verb = AsciiLower(words[0].text);
    if (words.size() > 1) {
        result.command.device = std::move(words[1]);
        result.command.words.assign(std::make_move_iterator(words.begin() + 2),
                                    std::make_move_iterator(words.end()));
    }
    return result;
}

std::string QuoteMciWord(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out.push_back(c);
        if (c == '"') {
            out.push_back('"');
        }
    }
    out.push_back('"');
    return out;
}

} // namespace kovessa
