// A long show with an MP3 that starts over every three seconds, printed for people: the
// resident memory, open descriptors and threads of Kovessa.scr and Kovessa.xy at the start, every
// few minutes, and at the end. A leak per pass of the music or per frame shows as growth.
//
//   build/bench/kovessa-soak-bench [--bin FOLDER] [--minutes M] [--seconds S] [--music FILE]
//
// --music plays that MP3 or WAV instead (a WAV loops by itself, so it counts as one pass).
// Thirty minutes unless told otherwise. The sound goes through SDL's disk driver, paced in real
// time as on a sound card, into a pipe that the benchmark listens to, so it also counts the
// passes of the music.
#include "bench/bench_support.h"
#include "common/window_titles.h"
#include "tests/show/show_e2e_support.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace kovessa::test;
using namespace kovessa::bench;
using Clock = std::chrono::steady_clock;

namespace {

struct Figures {
    long rss = -1;
    long fds = -1;
    long threads = -1;
};

Figures Read(pid_t pid) {
    return {ResidentKiB(pid), OpenDescriptors(pid), ThreadCount(pid)};
}

void Print(const char* when, double minutes, const Figures& scr, const Figures& xy) {
    std::printf("%-5s %6.1f min  Kovessa.scr: %7ld KiB, %3ld fds, %2ld threads   Kovessa.xy: "
                "%7ld KiB, %3ld fds, %2ld threads\n",
                when, minutes, scr.rss, scr.fds, scr.threads, xy.rss, xy.fds, xy.threads);
    std::fflush(stdout);
}

void PrintGrowth(const char* name, const Figures& first, const Figures& last) {
    std::printf("%s: resident %+ld KiB, descriptors %+ld, threads %+ld\n", name,
                last.rss - first.rss, last.fds - first.fds, last.threads - first.threads);
}

// Listens to the show's sound device through a named pipe that SDL's disk driver writes in
// real time (44.1 kHz, 16-bit stereo) and counts the passes of the music: a tenth of a second
// of sound after at least a tenth of silence starts one.
class PassCounter {
public:
    explicit PassCounter(const fs::path& pipe) : pipe_(pipe) {
        mkfifo(pipe.c_str(), 0600);
        thread_ = std::thread([this] { Listen(); });
    }
    ~PassCounter() {
        stop_ = true;
        // Opening the write end once lets a reader still waiting in its open() go on.
        const int fd = open(pipe_.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            close(fd);
        }
        thread_.join();
    }
    long Passes() const { return passes_; }

private:
    void Listen() {
        const int fd = open(pipe_.c_str(), O_RDONLY);
        if (fd < 0) {
            return;
        }
        constexpr size_t kWindow = 4410 * 2; // samples in a tenth of a second
        std::vector<int16_t> window(kWindow);
        size_t filled = 0;
        bool sound = false;
        while (!stop_) {
            const ssize_t got = read(fd, window.data() + filled, (kWindow - filled) * 2);
            if (got <= 0) {
                break;
            }
            filled += static_cast<size_t>(got) / 2;
            if (filled < kWindow) {
                continue;
            }
            filled = 0;
            double sum = 0;
            for (int16_t v : window) {
                sum += double(v) * v;
            }
            const bool loud = std::sqrt(sum / kWindow) > 1000;
            if (loud && !sound) {
                ++passes_;
            }
            sound = loud;
        }
        close(fd);
    }

    fs::path pipe_;
    std::atomic<bool> stop_{false};
    std::atomic<long> passes_{0};
    std::thread thread_;
};

int Run(double seconds, const std::string& music) {
    Xvfb xvfb;
    Display* dpy = xvfb.Connection();
    ProgramFolder folder;
    TempDir dir;
    // Two seconds of sound and the show's one-second repeat watch: a new pass every ~3 s.
    WriteToneWav(dir.Path() / "tone.wav", 2.0);
    if (music.empty() && !EncodeMp3(dir.Path() / "tone.wav", dir.Path() / "tone.mp3", xvfb)) {
        std::fprintf(stderr, "lame is needed to make the MP3\n");
        return 1;
    }
    WriteMusicSettings(folder, 2, music.empty() ? (dir.Path() / "tone.mp3").string() : music);
    MovePointerTo(dpy, 100, 100);
    PassCounter heard(dir.Path() / "sound.pipe");
    Process show = Process::Start(
        folder.Scr(), {"/s"}, xvfb, &folder,
        {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", (dir.Path() / "sound.pipe").string()}});
    pid_t renderer = 0;
    if (!WaitUntil(
            [&] {
                renderer = RendererWindow(dpy) != 0 ? ChildOf(show.Pid()) : 0;
                return renderer != 0;
            },
            20s)) {
        std::fprintf(stderr, "the renderer did not come up\n");
        return 1;
    }
    // The start figures are taken once the music has made its first pass and started over.
    const auto ended = [&](Clock::duration wait) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait);
        return show.WaitExit(std::max(ms, std::chrono::milliseconds(0))).has_value() ||
               ResidentKiB(renderer) < 0;
    };
    if (ended(4s)) {
        std::printf("a program ended before the soak began\n");
        return 1;
    }
    const Clock::time_point start = Clock::now();
    const Figures scr0 = Read(show.Pid());
    const Figures xy0 = Read(renderer);
    const long passes0 = heard.Passes();
    Print("start", 0, scr0, xy0);
    const auto length =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const auto every = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(seconds >= 1200 ? 300 : seconds / 4));
    const Clock::time_point finish = start + length;
    for (Clock::time_point next = start + every; next < finish; next += every) {
        // Either program ending early ends the soak: that is a finding of its own.
        if (ended(next - Clock::now())) {
            std::printf("a program ended during the soak\n");
            return 1;
        }
        Print("", std::chrono::duration<double>(Clock::now() - start).count() / 60,
              Read(show.Pid()), Read(renderer));
    }
    if (ended(finish - Clock::now())) {
        std::printf("a program ended during the soak\n");
        return 1;
    }
    const Figures scr1 = Read(show.Pid());
    const Figures xy1 = Read(renderer);
    Print("end", std::chrono::duration<double>(Clock::now() - start).count() / 60, scr1, xy1);
    PrintGrowth("Kovessa.scr", scr0, scr1);
    PrintGrowth("Kovessa.xy", xy0, xy1);
    const long passes = heard.Passes() - passes0;
    if (passes > 0) {
        std::printf("music passes heard during the soak: %ld (one every %.1f s)\n", passes,
                    seconds / static_cast<double>(passes));
    } else {
        std::printf("music passes heard during the soak: none began (a looping WAV is one)\n");
    }
    CloseRenderer(dpy);
    if (const auto found = FindWindows(dpy, kovessa::kShowWindowTitle); !found.empty()) {
        SendCloseRequest(dpy, found.front());
    }
    show.WaitExit(3s);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string bin;
    std::string music;
    double seconds = 30 * 60;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bin" && i + 1 < argc) {
            bin = argv[++i];
        } else if (arg == "--minutes" && i + 1 < argc) {
            seconds = std::atof(argv[++i]) * 60;
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (arg == "--music" && i + 1 < argc) {
            music = fs::absolute(argv[++i]).string();
        } else {
            std::fprintf(stderr,
                         "usage: %s [--bin FOLDER] [--minutes M] [--seconds S] [--music FILE]\n",
                         argv[0]);
            return 2;
        }
    }
    if (!(seconds > 0)) {
        std::fprintf(stderr, "the soak needs a length above zero\n");
        return 2;
    }
    if (!UseProgramFolder(bin)) {
        return 2;
    }
    try {
        return Run(seconds, music);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kovessa-soak-bench: %s\n", e.what());
        return 1;
    }
}
