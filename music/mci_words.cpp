#include "music/mci_words.h"

namespace kovessa {

bool MciWords::Take(std::string_view keywords) {
    size_t at = next_;
    size_t pos = 0;
    while (pos < keywords.size()) {
        size_t end = keywords.find(' ', pos);
        if (end == std::string_view::npos) {
            end = keywords.size();
        }
        if (at >= words_.size() || words_[at].quoted ||
            AsciiLower(words_[at].text) != keywords.substr(pos, end - pos)) {
            return false;
        }
        ++at;
        pos = end + 1;
    }
    next_ = at;
    return true;
}

std::optional<std::string> MciWords::Value() {
    if (Empty()) {
        return std::nullopt;
    }
    return words_[next_++].text;
}

bool MciWords::TakeFlag(bool& wait) {
    if (Take("notify")) {
        return true;
    }
    if (Take("wait")) {
        wait = true;
        return true;
    }
    return false;
}

bool MciWords::TakeClosingFlags(bool& wait) {
    while (TakeFlag(wait)) {
    }
    return Empty();
}

std::optional<int32_t> ParseMciInteger(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace kovessa
