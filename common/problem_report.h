#pragma once

#include <string_view>

namespace kovessa {

// How every program of Kovessa says what went wrong outside a message box: one line on
// standard error, "<program>: <text>", written at once so that it is there even when the
// process ends right after. Plain C++ over the C library, so every shell of every platform
// reports through it.

// Names the program in front of every line from now on; each program's start calls it once.
// Until then the lines stand under "Kovessa".
void ReportUnder(const char* programName);

// Writes the line "<program>: <text>".
void ReportProblem(std::string_view text);

} // namespace kovessa
