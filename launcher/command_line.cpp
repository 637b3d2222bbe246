#include "launcher/command_line.h"

#include "common/window_id.h"
#include "launcher/number_reader.h"

#include <cctype>

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

std::string ArgumentTextOfCommandLine(std::string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        at = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        at = commandLine.find_first_of(" \t");
        at = at == std::string_view::npos ? commandLine.size() : at;
    }
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) {
        ++at;
    }
    return std::string(commandLine.substr(at));
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
    std::string_view text = commandLine.substr(3);
    // X tools print window ids as 0x..., which the lenient reader would take as 0 (no window).
    const std::size_t start = text.find_first_not_of(" \t\n");
    if (start != std::string_view::npos &&
        (text.substr(start).starts_with("0x") || text.substr(start).starts_with("0X"))) {
        text.remove_prefix(start);
        std::size_t end = 2;
        while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        const std::optional<unsigned long> id = ReadWindowId(text.substr(0, end));
        return id ? static_cast<int32_t>(static_cast<uint32_t>(*id)) : 0;
    }
    return RoundToInt32(Val(text)).value_or(0);
}

} // namespace kovessa
