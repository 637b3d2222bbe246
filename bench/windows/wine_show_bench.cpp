// Figures of the Windows show under Wine, printed for people, beside the same figures of the
// Linux programs on the same kind of private Xvfb: the time from "Kovessa.scr /s" to the first
// drawn frame as a ratio to Kovessa.xy started alone, and Kovessa.scr's processor use during
// the show (with an MP3 playing when lame can make one).
//
//   build/bench/kovessa-wine-show-bench [--bin FOLDER] [--windows-bin FOLDER]
//
// The Linux programs come from --bin, else $KOVESSA_BIN_DIR, else build/bin beside the bench;
// the Windows ones from --windows-bin, else $KOVESSA_WINDOWS_BIN_DIR, else the checkout's
// build-windows/bin. Wine uses $WINEPREFIX, or a prefix of its own made for the run.
#include "bench/bench_support.h"
#include "tests/show/show_e2e_support.h"
#include "tests/windows/wine_scr_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace kovessa::test;
using kovessa::bench::CpuTicks;
using kovessa::bench::Median;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPairs = 5;

// The Earth in the middle of the screen: before the first frame that spot has no colour.
bool EarthInTheMiddle(Display* dpy, const Xvfb& xvfb) {
    const Image block = Capture(dpy, xvfb.Width() / 2 - 10, xvfb.Height() / 2 - 10, 21, 21);
    int coloured = 0;
    for (const Rgb& p : block.pixels) {
        coloured += std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 20 ? 1 : 0;
    }
    return coloured * 2 > static_cast<int>(block.pixels.size());
}

std::optional<double> FirstFrameMs(Display* dpy, const Xvfb& xvfb,
                                   const std::function<Process()>& start) {
    MovePointerTo(dpy, 100, 100);
    const Clock::time_point t0 = Clock::now();
    Process process = start();
    const bool drawn = WaitUntil([&] { return EarthInTheMiddle(dpy, xvfb); }, 60s);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    CloseRenderer(dpy);
    MovePointerBy(dpy, 50, 50);
    process.WaitExit(5s);
    return drawn ? std::optional<double>(ms) : std::nullopt;
}

// Median time of the show to its first frame, divided by that of the renderer alone.
std::optional<double> StartRatio(const char* system, Display* dpy, const Xvfb& xvfb,
                                 const std::function<Process()>& show,
                                 const std::function<Process()>& alone) {
    std::vector<double> showMs;
    std::vector<double> aloneMs;
    // The first show is a warm-up that also leaves the bitmaps for the renderer alone.
    FirstFrameMs(dpy, xvfb, show);
    for (int run = 0; run < kPairs; ++run) {
        if (const auto ms = FirstFrameMs(dpy, xvfb, alone)) {
            aloneMs.push_back(*ms);
        }
        if (const auto ms = FirstFrameMs(dpy, xvfb, show)) {
            showMs.push_back(*ms);
        }
    }
    if (showMs.empty() || aloneMs.empty()) {
        std::printf("%s: no frame seen\n", system);
        return std::nullopt;
    }
    const double ratio = Median(showMs) / Median(aloneMs);
    std::printf("%s: Kovessa.scr /s to first frame median %.0f ms, Kovessa.xy alone %.0f ms, "
                "ratio %.2f (%d runs each)\n",
                system, Median(showMs), Median(aloneMs), ratio, kPairs);
    return ratio;
}

double CpuPercent(pid_t pid, std::chrono::seconds over) {
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(over);
    const long after = CpuTicks(pid);
    return 100.0 * static_cast<double>(after - before) / sysconf(_SC_CLK_TCK) /
           static_cast<double>(over.count());
}

// Where the Windows programs are, said once for the helpers that start them.
bool UseWindowsProgramFolder(std::string given) {
    if (given.empty()) {
        const char* env = std::getenv("KOVESSA_WINDOWS_BIN_DIR");
        given = env != nullptr && *env != '\0' ? env : KOVESSA_WINDOWS_BIN_DIR;
    }
    for (const char* program : {"Kovessa.scr", "Kovessa.xy"}) {
        if (!fs::is_regular_file(fs::path(given) / program)) {
            std::fprintf(stderr,
                         "%s not found in %s; build it with scripts/build-windows.sh or name its "
                         "folder with --windows-bin\n",
                         program, given.c_str());
            return false;
        }
    }
    setenv("KOVESSA_WINDOWS_BIN_DIR", given.c_str(), 1);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string bin;
    std::string windowsBin;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--bin") == 0) {
            bin = argv[i + 1];
        } else if (std::strcmp(argv[i], "--windows-bin") == 0) {
            windowsBin = argv[i + 1];
        }
    }
    if (!kovessa::bench::UseProgramFolder(bin) || !UseWindowsProgramFolder(windowsBin)) {
        return 1;
    }
    XvfbOptions options;
    options.width = 1024;
    options.height = 768;

    std::optional<double> linuxRatio;
    {
        Xvfb xvfb(options);
        ProgramFolder folder;
        linuxRatio = StartRatio(
            "Linux", xvfb.Connection(), xvfb,
            [&] { return Process::Start(folder.Scr(), {"/s"}, xvfb, &folder); },
            [&] { return Process::Start(folder.Renderer(), {}, xvfb, &folder); });
    }

    Xvfb xvfb(options);
    Display* dpy = xvfb.Connection();
    WineShowFolder folder;
    const std::optional<double> wineRatio = StartRatio(
        "Wine", dpy, xvfb, [&] { return folder.StartScr({"/s"}, xvfb); },
        [&] { return folder.StartWine(folder.Renderer(), {}, xvfb); });
    if (linuxRatio && wineRatio) {
        std::printf("start ratio, Wine beside Linux: %.2f | %.2f\n", *wineRatio, *linuxRatio);
    }

    // Processor use of Kovessa.scr while the show runs, with music when lame can make some.
    TempDir music;
    const fs::path wav = music.Path() / "tone.wav";
    const fs::path mp3 = music.Path() / "tone.mp3";
    WriteToneWav(wav, 5.0);
    const bool withMusic = EncodeMp3(wav, mp3, xvfb);
    if (withMusic) {
        std::ofstream(folder.Ini(), std::ios::binary) << MusicSettingsText(2, WindowsPath(mp3));
    }
    MovePointerTo(dpy, 100, 100);
    Process show = folder.StartScr({"/s"}, xvfb);
    if (WaitUntil([&] { return EarthInTheMiddle(dpy, xvfb); }, 60s)) {
        std::this_thread::sleep_for(2s);
        std::printf("Kovessa.scr under Wine, CPU during the show%s: %.2f %% of a core (10 s)\n",
                    withMusic ? " with an MP3" : "", CpuPercent(show.Pid(), 10s));
    } else {
        std::printf("Kovessa.scr under Wine: no frame seen\n");
    }
    CloseRenderer(dpy);
    MovePointerBy(dpy, 50, 50);
    show.WaitExit(5s);
    return 0;
}
