#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovessa {

// The argument text of the process: the arguments after the program's own name, joined by one
// blank, so that "Kovessa.scr /p 1234" gives "/p 1234" however the shell split it.
std::string ArgumentText(const std::vector<std::string>& argumentsAfterProgram);

// The argument text of a whole Windows command line: what follows the program's path, which
// ends at its closing quote when it starts with one and otherwise at the first blank, without
// the blanks that separate it. "\"C:\\Kovessa.scr\" /p 1234" gives "/p 1234".
std::string ArgumentTextOfCommandLine(std::string_view commandLine);

// The second character of the upper-cased argument text, or "" when the text is shorter than
// two characters. The first character is never looked at: /s, -s and xs all select "S".
std::string ModeLetter(std::string_view commandLine);

// The preview parent: the argument text from its fourth character on, read leniently as a number
// and rounded to 32 bits, or a 0x hexadecimal id as X tools print it. Anything that cannot be
// read or does not fit gives 0, which is no window.
int32_t PreviewHandle(std::string_view commandLine);

} // namespace kovessa
