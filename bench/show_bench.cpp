// Figures of the show on this machine, printed for people: the time from starting
// "Kovessa.scr /s" to the renderer's first drawn frame, the CPU use of the show program with
// and without music, and the resident memory of both programs. With a folder argument it also
// saves screenshots of the show and of a preview there.
//
//   build/bench/kovessa-show-bench [--bin FOLDER] [screenshot folder]
//
// The programs are taken from --bin, else $KOVESSA_BIN_DIR, else the build's bin folder beside
// this program's own; --where prints the folder that would be used and ends.
#include "bench/bench_support.h"
#include "common/window_titles.h"
#include "tests/show/show_e2e_support.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace kovessa::test;
using kovessa::bench::CpuTicks;
using kovessa::bench::Median;
using kovessa::bench::ResidentKiB;
using Clock = std::chrono::steady_clock;

namespace {

// The renderer draws the Earth in the middle of the screen; before its first frame that spot
// shows the bare root window, which has no colour.
bool EarthInTheMiddle(Display* dpy, int width, int height) {
    const Image block = Capture(dpy, width / 2 - 10, height / 2 - 10, 21, 21);
    int coloured = 0;
    for (const Rgb& p : block.pixels) {
        const int hi = std::max({p.r, p.g, p.b});
        const int lo = std::min({p.r, p.g, p.b});
        coloured += hi - lo > 20 ? 1 : 0;
    }
    return coloured * 2 > static_cast<int>(block.pixels.size());
}

double CpuPercent(pid_t pid, std::chrono::seconds over) {
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(over);
    const long after = CpuTicks(pid);
    return 100.0 * static_cast<double>(after - before) / sysconf(_SC_CLK_TCK) /
           static_cast<double>(over.count());
}

// Milliseconds from `t0` to the first frame with the Earth drawn; `windowAt`, when given, gets
// the moment the renderer's window appeared.
std::optional<double> FirstFrameMs(Display* dpy, const Xvfb& xvfb, Clock::time_point t0,
                                   std::optional<double>* windowAt) {
    const auto since = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    };
    const bool drawn = WaitUntil(
        [&] {
            if (windowAt != nullptr && !*windowAt && RendererWindow(dpy) != 0) {
                *windowAt = since();
            }
            return EarthInTheMiddle(dpy, xvfb.Width(), xvfb.Height());
        },
        20s);
    return drawn ? std::optional<double>(since()) : std::nullopt;
}

void PrintStartFigures(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%s: no frame seen\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.0f ms, best %.0f ms, worst %.0f ms (%zu runs)\n", what, Median(ms),
                ms.front(), ms.back(), ms.size());
}

void EndShow(Display* dpy, Process& show) {
    CloseRenderer(dpy);
    if (const auto found = FindWindows(dpy, kovessa::kShowWindowTitle); !found.empty()) {
        SendCloseRequest(dpy, found.front());
    }
    show.WaitExit(3s);
}

} // namespace

int Run(const std::optional<fs::path>& shots) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;

    // The first show is a warm-up: it fills the file caches and leaves the two bitmaps in the
    // hand-off folder, where the renderer started alone then finds them.
    std::vector<double> showMs;
    std::vector<double> aloneMs;
    std::vector<double> windowMs;
    constexpr int kPairs = 11;
    for (int run = 0; run <= kPairs; ++run) {
        if (run > 0) {
            MovePointerTo(dpy, 100, 100);
            Process renderer = Process::Start(folder.Renderer(), {}, xvfb, &folder);
            if (const auto ms = FirstFrameMs(dpy, xvfb, Clock::now(), nullptr)) {
                aloneMs.push_back(*ms);
            }
            CloseRenderer(dpy);
            renderer.WaitExit(3s);
        }
        MovePointerTo(dpy, 100, 100);
        const Clock::time_point t0 = Clock::now();
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
        std::optional<double> windowAt;
        const std::optional<double> ms = FirstFrameMs(dpy, xvfb, t0, &windowAt);
        if (run > 0 && ms) {
            showMs.push_back(*ms);
        }
        if (run > 0 && windowAt) {
            windowMs.push_back(*windowAt);
        }
        if (run == 0 && shots) {
            std::this_thread::sleep_for(2s);
            SavePng(Capture(dpy, 0, 0, xvfb.Width(), xvfb.Height()), *shots / "show.png");
        }
        EndShow(dpy, show);
    }
    PrintStartFigures("Kovessa.scr /s to first frame", showMs);
    PrintStartFigures("Kovessa.xy alone to first frame", aloneMs);
    if (!showMs.empty() && !aloneMs.empty()) {
        std::printf("ratio of the medians (show / renderer alone): %.2f\n",
                    Median(showMs) / Median(aloneMs));
    }
    if (!windowMs.empty()) {
        std::printf("Kovessa.scr /s to the renderer's window: median %.0f ms\n", Median(windowMs));
    }

    // CPU and memory without music.
    {
        MovePointerTo(dpy, 100, 100);
        Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder);
        WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s);
        std::this_thread::sleep_for(1s);
        const pid_t renderer = ChildOf(show.Pid());
        const double cpu = CpuPercent(show.Pid(), 10s);
        std::printf("show program CPU without music: %.2f %% of a core (10 s)\n", cpu);
        std::printf("resident memory: Kovessa.scr %ld KiB, Kovessa.xy %ld KiB\n",
                    ResidentKiB(show.Pid()), renderer != 0 ? ResidentKiB(renderer) : -1L);
        if (renderer != 0) {
            std::printf("renderer CPU meanwhile: %.1f %% of a core (3 s)\n",
                        CpuPercent(renderer, 3s));
        }
        // The pointer rule: from a diagonal move past the tolerance to the show program's end.
        const Clock::time_point moved = Clock::now();
        MovePointerBy(dpy, 31, 31);
        if (show.WaitExit(3s).has_value()) {
            std::printf("diagonal pointer move to the end of the show program: %.0f ms\n",
                        std::chrono::duration<double, std::milli>(Clock::now() - moved).count());
        }
        EndShow(dpy, show);
    }

    // CPU with an MP3 playing (through SDL's disk driver, paced in real time).
    {
        TempDir dir;
        WriteToneWav(dir.Path() / "tone.wav", 20.0);
        if (EncodeMp3(dir.Path() / "tone.wav", dir.Path() / "tone.mp3", xvfb)) {
            WriteMusicSettings(folder, 2, (dir.Path() / "tone.mp3").string());
            MovePointerTo(dpy, 100, 100);
            Process show = Process::Start(folder.Scr(), {"/s"}, xvfb, &folder,
                                          DiskAudio(dir.Path() / "out.raw"));
            WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s);
            std::this_thread::sleep_for(1s);
            const double cpu = CpuPercent(show.Pid(), 10s);
            std::printf("show program CPU with an MP3: %.2f %% of a core (10 s)\n", cpu);
            std::printf("resident memory with an MP3: Kovessa.scr %ld KiB\n",
                        ResidentKiB(show.Pid()));
            EndShow(dpy, show);
        } else {
            std::printf("show program CPU with an MP3: not measured (no lame)\n");
        }
    }

    if (shots) {
        const unsigned long parent = CreateForeignWindow(dpy, 152, 112);
        Process preview =
            Process::Start(folder.Scr(), {"/p", std::to_string(parent)}, xvfb, &folder);
        WaitUntil([&] { return !FindWindows(dpy, kovessa::kPreviewWindowTitle).empty(); }, 10s);
        std::this_thread::sleep_for(500ms);
        SavePng(CaptureWindow(dpy, parent), *shots / "preview.png");
        DestroyForeignWindow(dpy, parent);
        preview.WaitExit(2s);
    }
    return 0;
}

int main(int argc, char** argv) {
    std::string bin;
    bool where = false;
    std::optional<fs::path> shots;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bin" && i + 1 < argc) {
            bin = argv[++i];
        } else if (arg == "--where") {
            where = true;
        } else if (arg.rfind("--", 0) == 0 || shots) {
            std::fprintf(stderr, "usage: %s [--bin FOLDER] [--where] [screenshot folder]\n",
                         argv[0]);
            return 2;
        } else {
            shots = arg;
        }
    }
    const std::optional<fs::path> programs = kovessa::bench::UseProgramFolder(bin);
    if (!programs) {
        return 2;
    }
    if (where) {
        std::printf("%s\n", programs->c_str());
        return 0;
    }
    try {
        return Run(shots);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kovessa-show-bench: %s\n", e.what());
        return 1;
    }
}
