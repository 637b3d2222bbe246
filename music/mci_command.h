#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovessa {

// One word of a media command. Quoted words keep their blanks; `quoted` tells a quoted "wait"
// (a file name) from the keyword wait.
struct MciWord {
    std::string text;
    bool quoted = false;
};

// A command split into its verb, the device it addresses and the words after the device.
struct MciCommand {
    std::string verb;           // lower case
    MciWord device;             // as written (names are compared without regard to case)
    std::vector<MciWord> words; // the rest, as written
};

struct MciParseResult {
    int32_t error = 0; // 0, or the interpreter's error code (missing command, no closing quote)
    MciCommand command;
};

// Splits a command string at blanks and tabs. A word may be enclosed in double quotes to hold
// blanks; inside quotes two double quotes in a row stand for one, so every file name can be
// written, and a name holding a quote can never end the word early and smuggle in keywords.
MciParseResult ParseMciCommand(std::string_view text);

// Encloses `text` in double quotes in the form ParseMciCommand reads back as exactly `text`.
std::string QuoteMciWord(std::string_view text);

// Lower-cases ASCII letters only; file names in other scripts stay as they are.
std::string AsciiLower(std::string_view text);

} // namespace kovessa
