// Figures of Kovessa.scr started the way a screensaver daemon starts it: into a saver window it
// names in XSCREENSAVER_WINDOW, stopped with SIGTERM to that one pid, 20 rounds on a private
// Xvfb. Prints the median and the maximum of
//   - start to the first frame drawn in the window (the scene's middle lit), and
//   - SIGTERM to the last Kovessa process gone (the hack and its renderer, both reaped).
//
//   build/bench/kovessa-hack-bench [--bin FOLDER] [--rounds N]
#include "bench/bench_support.h"
#include "common/window_id.h"
#include "tests/show/show_e2e_support.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace kovessa::test;
using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-44s no rounds measured\n", what);
        return;
    }
    std::printf("%-44s median %7.1f ms   max %7.1f ms   (%zu rounds)\n", what,
                kovessa::bench::Median(values), *std::max_element(values.begin(), values.end()),
                values.size());
}

int Run(int rounds) {
    Xvfb xvfb(XvfbOptions{1280, 720});
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    const unsigned long window = CreateForeignWindow(dpy, 1280, 720);
    std::vector<double> firstFrame;
    std::vector<double> gone;
    for (int round = 0; round < rounds; ++round) {
        // A black window again, so the next frame is this round's.
        XClearWindow(dpy, window);
        XSync(dpy, False);
        const Clock::time_point started = Clock::now();
        Process hack = Process::Start(folder.Scr(), {"--root"}, xvfb, &folder,
                                      {{"XSCREENSAVER_WINDOW", kovessa::WindowIdText(window)}});
        if (!WaitUntil([&] { return LitShare(dpy, 640, 360) > 0.9; }, 30s)) {
            std::fprintf(stderr, "round %d: no frame: %s\n", round, hack.StdErr().c_str());
            return 1;
        }
        firstFrame.push_back(Millis(Clock::now() - started));
        const pid_t renderer = ChildOf(hack.Pid());

        const Clock::time_point signalled = Clock::now();
        hack.Kill(SIGTERM);
        if (!hack.WaitExit(10s)) {
            std::fprintf(stderr, "round %d: the hack did not end\n", round);
            return 1;
        }
        // The renderer is reaped by the hack before it ends; a pidfd-less kernel would leave
        // it to the system, so wait for its /proc entry as well.
        WaitUntil([&] { return renderer == 0 || kill(renderer, 0) != 0; }, 10s);
        gone.push_back(Millis(Clock::now() - signalled));
    }
    Report("start to the first frame drawn", firstFrame);
    Report("SIGTERM to the last Kovessa process gone", gone);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string bin;
    int rounds = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bin" && i + 1 < argc) {
            bin = argv[++i];
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--bin FOLDER] [--rounds N]\n", argv[0]);
            return 2;
        }
    }
    if (!kovessa::bench::UseProgramFolder(bin)) {
        return 2;
    }
    try {
        return Run(rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kovessa-hack-bench: %s\n", e.what());
        return 1;
    }
}
