#include "launcher/command_line.h"

#include "launcher/number_reader.h"

namespace kovessa {

std::string ArgumentText(const std::vector<std::string>& argumentsAfterProgram) {
    std::string text;
    for (std::size_t i = 0; i < argumentsAfterProgram.size(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += argumentsAfterProgram[i];
    }
    return text;
}

std::string ModeLetter(std::string_view commandLine) {
    if (commandLine.size() < 2) {
        return {};
    }
    char c = commandLine[1];
    // Only ASCII letters change case; a byte of a multi-byte character stays as it is.
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    return std::string(1, c);
}

int32_t PreviewHandle(std::string_view commandLine) {
    if (commandLine.size() < 4) {
        return 0;
    }
    return RoundToInt32(Val(commandLine.substr(3))).value_or(0);
}

} // namespace kovessa
