#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace kovessa::bench {

namespace fs = std::filesystem;

namespace {

bool HoldsBothPrograms(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "Kovessa.scr", ec) &&
           fs::is_regular_file(dir / "Kovessa.xy", ec);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The fields of /proc/PID/stat after the command name, which may itself hold blanks.
std::vector<std::string> StatFields(pid_t pid) {
    const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos || close + 2 > stat.size()) {
        return fields;
    }
    std::istringstream in(stat.substr(close + 2));
    for (std::string field; in >> field;) {
        fields.push_back(field);
    }
    return fields;
}

long StatusField(pid_t pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::atol(line.c_str() + key.size() + 1);
        }
    }
    return -1;
}

} // namespace

std::optional<fs::path> FindProgramFolder(const std::string& given, const fs::path& selfExe,
                                          std::string& tried) {
    std::vector<fs::path> candidates;
    if (!given.empty()) {
        candidates.emplace_back(given);
    } else {
        if (const char* env = std::getenv("KOVESSA_BIN_DIR"); env != nullptr && *env != '\0') {
            candidates.emplace_back(env);
        }
        const fs::path own = selfExe.parent_path();
        candidates.push_back(own.parent_path() / "bin");
        candidates.push_back(own);
    }
    tried.clear();
    for (const fs::path& dir : candidates) {
        if (HoldsBothPrograms(dir)) {
            std::error_code ec;
            const fs::path real = fs::canonical(dir, ec);
            return ec ? dir : real;
        }
        tried += (tried.empty() ? "" : ", ") + dir.string();
    }
    return std::nullopt;
}

std::optional<fs::path> UseProgramFolder(const std::string& given) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    std::string tried;
    std::optional<fs::path> found = FindProgramFolder(given, self, tried);
    if (!found) {
        std::fprintf(stderr,
                     "Kovessa.scr and Kovessa.xy not found (looked in %s); name their folder "
                     "with --bin\n",
                     tried.c_str());
        return std::nullopt;
    }
    setenv("KOVESSA_BIN_DIR", found->c_str(), 1);
    return found;
}

long CpuTicks(pid_t pid) {
    const std::vector<std::string> fields = StatFields(pid);
    // utime and stime are the 12th and 13th fields after the name (state is the first).
    if (fields.size() < 13) {
        return -1;
    }
    return std::atol(fields[11].c_str()) + std::atol(fields[12].c_str());
}

long ResidentKiB(pid_t pid) {
    return StatusField(pid, "VmRSS");
}

long ThreadCount(pid_t pid) {
    return StatusField(pid, "Threads");
}

long OpenDescriptors(pid_t pid) {
    std::error_code ec;
    fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec);
    if (ec) {
        return -1;
    }
    long count = 0;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        ++count;
    }
    return count;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace kovessa::bench
