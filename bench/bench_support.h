#pragma once

// What the benchmarks share: finding the two programs, reading a running program's processor
// time, memory, open descriptors and threads from /proc, and the median of a run's figures.
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kovessa::bench {

// The folder that holds Kovessa.scr and Kovessa.xy: `given` (a --bin switch) when set, then
// $KOVESSA_BIN_DIR, then the build's bin folder beside this program's own folder (build/bench
// -> build/bin), then this program's own folder. Nullopt, with the folders tried in `tried`,
// when none holds both programs.
std::optional<std::filesystem::path> FindProgramFolder(const std::string& given,
                                                       const std::filesystem::path& selfExe,
                                                       std::string& tried);

// FindProgramFolder for this program; on success the folder is also put in $KOVESSA_BIN_DIR,
// where the test harness takes the programs from; on failure the reason goes to stderr.
std::optional<std::filesystem::path> UseProgramFolder(const std::string& given);

// Figures of a running process; -1 when it cannot be read (the process has gone).
long CpuTicks(pid_t pid);    // user plus system time, in clock ticks
long ResidentKiB(pid_t pid); // VmRSS
long OpenDescriptors(pid_t pid);
long ThreadCount(pid_t pid);

// The median of `values` (the mean of the middle two for an even count); 0 when empty.
double Median(std::vector<double> values);

} // namespace kovessa::bench
