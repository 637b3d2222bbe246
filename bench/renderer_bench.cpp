// kovessa-renderer-bench: figures for the renderer with 1000 fireflies.
//
//  1. the scene logic per frame: stepping every firefly and computing every trail vertex,
//     colour and glow, without any GL call;
//  2. whole frames per second at 1280x720 and 1920x1080, uncapped (swap interval 0), drawn by
//     the renderer's own painter.
//
// Runs on $DISPLAY, or on a private Xvfb (Mesa's software OpenGL, started by the tests'
// harness) when DISPLAY is not set.
// The machine load beside the figures is the share of all cores that other processes used
// during the run, because shared machines make the figures noisy.
//
// Usage: kovessa-renderer-bench [--runs N] [--frames N]

#include "bench/bench_support.h"
#include "renderer/firefly_scene.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/gl_texture.h"
#include "renderer/sdl_message_box.h"
#include "show/handoff_bitmap.h"
#include "tests/harness/harness.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace kovessa {
namespace {

using bench::Median;
using Clock = std::chrono::steady_clock;

// CPU time of the whole machine in clock ticks: busy and all.
struct MachineTicks {
    unsigned long long busy = 0;
    unsigned long long all = 0;
};
MachineTicks ReadMachineTicks() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    stat >> cpu;
    MachineTicks t;
    unsigned long long v[10] = {};
    for (auto& x : v) {
        stat >> x;
    }
    for (int i = 0; i < 8; ++i) {
        t.all += v[i];
    }
    t.busy = t.all - v[3] - v[4]; // less idle and iowait
    return t;
}
class LoadMeter {
public:
    explicit LoadMeter(pid_t xvfb) : xvfb_(xvfb) { start_ = TakeSample(); }
    // Other processes' share of all cores since the start, in percent.
    double OthersPercent() const {
        const Sample now = TakeSample();
        const double all = static_cast<double>(now.machine.all - start_.machine.all);
        const double busy = static_cast<double>(now.machine.busy - start_.machine.busy);
        const double ours = static_cast<double>(now.ours - start_.ours);
        return all > 0 ? std::max(0.0, busy - ours) * 100.0 / all : 0.0;
    }

private:
    struct Sample {
        MachineTicks machine;
        unsigned long long ours = 0;
    };
    Sample TakeSample() const {
        Sample s;
        s.machine = ReadMachineTicks();
        s.ours =
            static_cast<unsigned long long>(std::max(0L, bench::CpuTicks(getpid())) +
                                            (xvfb_ > 0 ? std::max(0L, bench::CpuTicks(xvfb_)) : 0));
        return s;
    }
    pid_t xvfb_;
    Sample start_;
};

// A stand-in picture of `side` x `side` pixels, written as the show hands its pictures over:
// a soft white glow, or a coloured disc for the background.
void WriteBitmap(const std::filesystem::path& path, int side, bool glow) {
    RgbPixels image{side, side, {}};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double dx = (x + 0.5) / side - 0.5;
            const double dy = (y + 0.5) / side - 0.5;
            const double d = std::min(1.0, 2.0 * std::sqrt(dx * dx + dy * dy));
            uint8_t rgb[3] = {0, 0, 0};
            if (glow) {
                rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(255 * (1 - d) * (1 - d));
            } else if (d < 0.9) {
                rgb[0] = static_cast<uint8_t>(50 + 100 * dy);
                rgb[1] = static_cast<uint8_t>(100 + 100 * dx);
                rgb[2] = 200;
            }
            image.rgb.insert(image.rgb.end(), rgb, rgb + 3);
        }
    }
    std::ofstream(path, std::ios::binary) << EncodeHandoffBitmap(image);
}

double ThreadCpuMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Wall-clock and on-processor time per frame: on a shared machine the wall-clock figure also
// counts the time other processes held the core.
struct LogicCost {
    double wallMicros = 0;
    double cpuMicros = 0;
};

LogicCost SceneLogicMicros(int runs) {
    std::vector<double> wall;
    std::vector<double> cpu;
    static FrameGeometry frame;
    FireflyScene scene;
    scene.SetUp(0);
    scene.FireflyCount = kMaxFireflies;
    int64_t t = 0;
    constexpr int kFrames = 2000;
    for (int run = 0; run < runs + 1; ++run) {
        const auto start = Clock::now();
        const double cpuStart = ThreadCpuMicros();
        for (int i = 0; i < kFrames; ++i) {
            scene.BuildFrame(t, frame);
            t += 16;
        }
        const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
        if (run > 0) { // the first run warms the caches
            wall.push_back(spent.count() / kFrames);
            cpu.push_back((ThreadCpuMicros() - cpuStart) / kFrames);
        }
    }
    return LogicCost{Median(wall), Median(cpu)};
}

// Frames per second drawn by the renderer's painter: the median of `runs` runs.
double MeasureFrameRate(int width, int height, int runs, int frames,
                        const std::filesystem::path& bitmaps) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_Window* window = SDL_CreateWindow("kovessa-renderer-bench", 0, 0, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    if (window == nullptr) {
        std::fprintf(stderr, "no window: %s\n", SDL_GetError());
        std::exit(2);
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);
    SetupRenderState();
    SdlMessageBox messages;
    SceneTextures textures;
    uint32_t name = 0;
    LoadTextureFile((bitmaps / "glow.bmp").string(), name, messages);
    textures.GlowTexture = name;
    LoadTextureFile((bitmaps / "background.bmp").string(), name, messages);
    textures.BackgroundTexture = name;
    ResizeScene(width, height);

    static FrameGeometry frame;
    FireflyScene scene;
    scene.SetUp(0);
    scene.FireflyCount = kMaxFireflies;
    int64_t t = 0;
    std::vector<double> rates;
    auto run = [&] {
        const auto start = Clock::now();
        for (int i = 0; i < frames; ++i) {
            SDL_PumpEvents();
            scene.BuildFrame(t, frame);
            t += 16;
            DrawScene(frame, textures);
            SDL_GL_SwapWindow(window);
        }
        glFinish();
        const std::chrono::duration<double> spent = Clock::now() - start;
        return frames / spent.count();
    };
    run(); // warm-up: shaders compiled, caches filled
    for (int r = 0; r < runs; ++r) {
        rates.push_back(run());
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    return Median(rates);
}

} // namespace
} // namespace kovessa

int main(int argc, char** argv) {
    using namespace kovessa;
    int runs = 9;
    int frames = 40;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::max(10, std::atoi(argv[i + 1]));
        }
    }
    std::unique_ptr<test::Xvfb> xvfb;
    if (std::getenv("DISPLAY") == nullptr) {
        xvfb = std::make_unique<test::Xvfb>();
        setenv("DISPLAY", xvfb->DisplayName().c_str(), 1);
    }
    const pid_t xvfbPid = xvfb ? xvfb->Pid() : -1;
    LoadMeter load(xvfbPid);
    std::printf("kovessa-renderer-bench: 1000 fireflies, medians of %d runs, %ld cores\n", runs,
                sysconf(_SC_NPROCESSORS_ONLN));
    const LogicCost logic = SceneLogicMicros(runs);
    std::printf("scene logic per frame (step + all vertices and colours, no GL): %.1f us "
                "wall-clock, %.1f us on the processor\n",
                logic.wallMicros, logic.cpuMicros);
    std::printf("  others' CPU so far: %.0f %% of all cores\n", load.OthersPercent());
    std::fflush(stdout);

    const std::filesystem::path bitmaps =
        std::filesystem::temp_directory_path() / ("kovessa-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(bitmaps);
    WriteBitmap(bitmaps / "glow.bmp", 64, true);
    WriteBitmap(bitmaps / "background.bmp", 320, false);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 2;
    }
    for (auto [w, h] : {std::pair{1280, 720}, std::pair{1920, 1080}}) {
        const LoadMeter during(xvfbPid);
        const double rate = MeasureFrameRate(w, h, runs, frames, bitmaps);
        std::printf("%dx%d: %.1f fps (others' CPU %.0f %%)\n", w, h, rate, during.OthersPercent());
        std::fflush(stdout);
    }
    SDL_Quit();
    std::filesystem::remove_all(bitmaps);
    return 0;
}
