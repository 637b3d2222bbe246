// kovessa-wine-bench [--runs N]: figures of the Windows programs under Wine on a private Xvfb
// (1280x720), beside the Linux renderer on the same kind of server: the time from the start of
// Kovessa.xy to its first frame with the Earth on the screen, and the size of each program.
// Figures only; nothing here passes or fails.

#include "common/handoff_folder.h"
#include "tests/show/show_e2e_support.h"
#include "tests/windows/wine_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kovessa::test {
namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void WritePictures(const fs::path& folder) {
    fs::create_directories(folder);
    std::ofstream(folder / kGlowBitmapName, std::ios::binary) << ExpectedHandoffBitmap("glow.png");
    std::ofstream(folder / kBackgroundBitmapName, std::ios::binary)
        << ExpectedHandoffBitmap("earth.png");
}

// Milliseconds from the start to the first frame that shows the Earth in the middle; a
// negative figure when none came within a minute.
double TimeToFirstFrame(bool underWine, const fs::path& renderer) {
    Xvfb xvfb(XvfbOptions{1280, 720});
    TempDir scratch;
    const fs::path handoff = scratch.Path() / "handoff";
    WritePictures(handoff);
    const Clock::time_point start = Clock::now();
    Process process =
        underWine ? StartUnderWine(renderer, {"--handoff-folder", WindowsPath(handoff)}, xvfb)
                  : Process::Start(renderer, {"--handoff-folder", handoff.string()}, xvfb);
    const bool drawn = WaitUntil([&] { return LitShare(xvfb.Connection(), 640, 360) > 0.9; }, 60s);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    // A close request, which needs no keyboard focus: no window manager gives one here.
    CloseRenderer(xvfb.Connection());
    process.WaitExit(30s);
    return drawn ? ms : -1;
}

void PrintStartFigures(const char* label, bool underWine, const fs::path& renderer, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = TimeToFirstFrame(underWine, renderer);
        if (ms >= 0) {
            times.push_back(ms);
        } else {
            std::fprintf(stderr, "%s, run %d: no frame with the Earth within a minute\n",
                         renderer.string().c_str(), i + 1);
        }
    }
    std::printf("%-44s median %7.0f ms over %zu runs (min %.0f, max %.0f)\n", label, Median(times),
                times.size(), times.empty() ? 0.0 : *std::min_element(times.begin(), times.end()),
                times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()));
}

} // namespace
} // namespace kovessa::test

int main(int argc, char** argv) {
    using namespace kovessa::test;
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[++i]));
        }
    }
    std::printf("Windows programs (build-windows/bin):\n");
    for (const char* name : {"Kovessa.scr", "Kovessa.xy"}) {
        if (const auto program = WindowsProgram(name)) {
            std::printf("  %-12s %9ju bytes\n", name,
                        static_cast<std::uintmax_t>(fs::file_size(*program)));
        } else {
            std::printf("  %-12s not built\n", name);
        }
    }
    const auto windowsRenderer = WindowsProgram("Kovessa.xy");
    if (!windowsRenderer) {
        std::fprintf(stderr, "kovessa-wine-bench: build the Windows programs first "
                             "(scripts/build-windows.sh)\n");
        return 1;
    }
    // The prefix is made before anything is timed, and the programs that Wine started for it
    // without a display have ended: a program started beside them shows no window.
    const std::string settle = "WINEPREFIX='" + WinePrefix().string() + "' wineserver -w";
    if (std::system(settle.c_str()) != 0) {
        std::fprintf(stderr, "kovessa-wine-bench: wineserver -w failed\n");
    }
    std::printf("Kovessa.xy started alone, to its first frame with the Earth (1280x720 Xvfb):\n");
    PrintStartFigures("  under Wine (prefix already made)", true, *windowsRenderer, runs);
    const fs::path linuxRenderer = fs::path(KOVESSA_LINUX_BIN_DIR) / "Kovessa.xy";
    if (fs::is_regular_file(linuxRenderer)) {
        PrintStartFigures("  on Linux (build/bin)", false, linuxRenderer, runs);
    }
    return 0;
}
