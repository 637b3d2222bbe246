// Figures of the show on this machine, printed for people: the time from starting
// "Kovessa.scr /s" to the renderer's first drawn frame, the CPU use of the show program with
// and without music, and the resident memory of both programs. With a folder argument it also
// saves screenshots of the show and of a preview there.
//
//   build/bench/kovessa-show-bench [--bin FOLDER] [screenshot folder]
//
// The programs are taken from --bin, else $KOVESSA_BIN_DIR, else the build's bin folder beside
// this program's own; --where prints the folder that would be used and ends.
#include "show/bench/bench_support.h"
#include "tests/show/show_e2e_support.h"

#include "common/window_titles.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace kovessa::test;
using kovessa::bench::ChildOf;
using kovessa::bench::CpuTicks;
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

void EndShow(Display* dpy, Process& show) {
    CloseRenderer(dpy);
    if (const auto found = FindWindows(dpy, kovessa::kShowWindowTitle); !found.empty()) {
        SendCloseRequest(dpy, found.front());
    }
    show.waitExit(3s);
}

} // namespace

int Run(const std::optional<fs::path>& shots) {
    Xvfb xvfb;
    Display* dpy = xvfb.display();
    ProgramFolder folder;

    std::vector<double> startMs;
    std::vector<double> windowMs;
    for (int run = 0; run < 5; ++run) {
        MovePointerTo(dpy, 100, 100);
        const Clock::time_point t0 = Clock::now();
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
        std::optional<double> windowAt;
        const bool drawn = WaitUntil(
            [&] {
                if (!windowAt && RendererWindow(dpy) != 0) {
                    windowAt = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                }
                return EarthInTheMiddle(dpy, xvfb.width(), xvfb.height());
            },
            20s);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (drawn) {
            startMs.push_back(ms);
        }
        if (windowAt) {
            windowMs.push_back(*windowAt);
        }
        if (run == 0 && shots) {
            std::this_thread::sleep_for(2s);
            SavePng(Capture(dpy, 0, 0, xvfb.width(), xvfb.height()), *shots / "show.png");
        }
        EndShow(dpy, show);
    }
    std::sort(startMs.begin(), startMs.end());
    if (!startMs.empty()) {
        std::printf(
            "start to first frame: median %.0f ms, best %.0f ms, worst %.0f ms (%zu runs)\n",
            startMs[startMs.size() / 2], startMs.front(), startMs.back(), startMs.size());
    } else {
        std::printf("start to first frame: no frame seen\n");
    }
    std::sort(windowMs.begin(), windowMs.end());
    if (!windowMs.empty()) {
        std::printf("start to the renderer's window: median %.0f ms\n",
                    windowMs[windowMs.size() / 2]);
    }

    // CPU and memory without music.
    {
        MovePointerTo(dpy, 100, 100);
        Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder);
        WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s);
        std::this_thread::sleep_for(1s);
        const pid_t renderer = ChildOf(show.pid());
        const double cpu = CpuPercent(show.pid(), 10s);
        std::printf("show program CPU without music: %.2f %% of a core (10 s)\n", cpu);
        std::printf("resident memory: Kovessa.scr %ld KiB, Kovessa.xy %ld KiB\n",
                    ResidentKiB(show.pid()), renderer != 0 ? ResidentKiB(renderer) : -1L);
        if (renderer != 0) {
            std::printf("renderer CPU meanwhile: %.1f %% of a core (3 s)\n",
                        CpuPercent(renderer, 3s));
        }
        EndShow(dpy, show);
    }

    // CPU with an MP3 playing (through SDL's disk driver, paced in real time).
    {
        TempDir dir;
        WriteToneWav(dir.path() / "tone.wav", 20.0);
        if (EncodeMp3(dir.path() / "tone.wav", dir.path() / "tone.mp3", xvfb)) {
            WriteMusicSettings(folder, 2, (dir.path() / "tone.mp3").string());
            MovePointerTo(dpy, 100, 100);
            Process show = Process::start(folder.scr(), {"/s"}, xvfb, &folder,
                                          DiskAudio(dir.path() / "out.raw"));
            WaitUntil([&] { return RendererWindow(dpy) != 0; }, 20s);
            std::this_thread::sleep_for(1s);
            const double cpu = CpuPercent(show.pid(), 10s);
            std::printf("show program CPU with an MP3: %.2f %% of a core (10 s)\n", cpu);
            std::printf("resident memory with an MP3: Kovessa.scr %ld KiB\n",
                        ResidentKiB(show.pid()));
            EndShow(dpy, show);
        } else {
            std::printf("show program CPU with an MP3: not measured (no lame)\n");
        }
    }

    if (shots) {
        const unsigned long parent = CreateForeignWindow(dpy, 152, 112);
        Process preview =
            Process::start(folder.scr(), {"/p", std::to_string(parent)}, xvfb, &folder);
        WaitUntil([&] { return !FindWindows(dpy, kovessa::kPreviewWindowTitle).empty(); }, 10s);
        std::this_thread::sleep_for(500ms);
        SavePng(CaptureWindow(dpy, parent), *shots / "preview.png");
        DestroyForeignWindow(dpy, parent);
        preview.waitExit(2s);
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
