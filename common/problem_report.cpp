#include "common/problem_report.h"

#include <cstdio>
#include <string>

namespace kovessa {

namespace {

const char* programName = "Kovessa";

} // namespace

void ReportUnder(const char* name) {
    programName = name;
}

void ReportProblem(std::string_view text) {
    // One write for the whole line, so that lines of processes sharing the stream stay whole.
    std::string line = programName;
    line += ": ";
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace kovessa
