#pragma once

// What the end-to-end tests of the Windows programs share: where the cross-built programs
// are, the Wine prefix they run in, and how a Unix path reads on Windows.
#include "tests/harness/harness.h"

#include <optional>
#include <string>
#include <vector>

namespace kovessa::test {

// A program of the Windows build (build-windows/bin, or $KOVESSA_WINDOWS_BIN_DIR); nullopt
// when it has not been built.
std::optional<fs::path> WindowsProgram(const std::string& name);

// A test helper of the Windows build (build-windows/tests).
fs::path WindowsTestProgram(const std::string& name);

// The Wine prefix: $WINEPREFIX when the caller made one (scripts/test-windows.sh), otherwise
// one made on first use for this test program and removed at its end.
const fs::path& WinePrefix();

// The per-user local application data folder of the prefix's user, as a Unix path.
fs::path WineLocalAppData();

// Runs a Wine tool (wineboot, wineserver) in `prefix` to its end, without a display; its exit
// code.
int RunWineTool(const std::vector<std::string>& args, const fs::path& prefix);

// Ends every Wine process of the prefix, so nothing of one test stays for the next.
void EndWineProcesses();

// Starts `exe` under Wine on the server, in the prefix, quietly.
Process StartUnderWine(const fs::path& exe, const std::vector<std::string>& args, const Xvfb& xvfb);

// Z:\... for a Unix path: Wine's drive for the Unix root.
std::string WindowsPath(const fs::path& unixPath);

// Reads the message box with `caption` and presses its OK button (through box_reader.exe in
// the prefix); nullopt when no such box came within 30 seconds.
std::optional<std::string> ReadAndCloseBox(const std::string& caption, const Xvfb& xvfb);

} // namespace kovessa::test
