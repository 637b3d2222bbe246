#pragma once

#include "music/mci_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kovessa {

// Walks the words after the device name. Keywords match unquoted words without regard to case;
// a quoted word is always a value.
class MciWords {
public:
    explicit MciWords(const std::vector<MciWord>& words) : words_(words) {}

    bool Empty() const { return next_ >= words_.size(); }
    // Takes the keyword (one or more blank-separated words) when it comes next.
    bool Take(std::string_view keywords);
    // Takes the next word as a value.
    std::optional<std::string> Value();
    // Takes "notify" (accepted and ignored: there is never a window to notify) or "wait" (sets
    // `wait`), the flags any command may carry.
    bool TakeFlag(bool& wait);
    // Takes the flags that may close a command; true when nothing else is left after them.
    bool TakeClosingFlags(bool& wait);

private:
    const std::vector<MciWord>& words_;
    size_t next_ = 0;
};

// Reads a whole decimal number of at most nine digits; nullopt for anything else.
std::optional<int32_t> ParseMciInteger(std::string_view text);

} // namespace kovessa
