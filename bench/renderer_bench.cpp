// kovessa-renderer-bench: figures for the renderer with 1000 fireflies.
//
//  1. the scene logic per frame: stepping every firefly and computing every trail vertex,
//     colour and glow, without any GL call;
//  2. whole frames per second at 1280x720 and 1920x1080, uncapped (swap interval 0), as the
//     renderer draws them (immediate mode), next to a lower bound measured in the same run: the
//     same frames' geometry drawn with one vertex array per pass.
//
// Runs on $DISPLAY, or on a private Xvfb (Mesa's software OpenGL) when DISPLAY is not set.
// The machine load beside the figures is the share of all cores that other processes used
// during the run, because shared machines make the figures noisy.
//
// Usage: kovessa-renderer-bench [--runs N] [--frames N]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "renderer/firefly_scene.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/gl_texture.h"
#include "renderer/sdl_message_box.h"

extern char** environ;

namespace kovessa {
namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// CPU time in clock ticks: the whole machine (busy, all) and single processes.
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
unsigned long long ProcessTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    // Fields after the command name: state is field 3; utime and stime are fields 14 and 15.
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < text.size()) {
        const size_t end = text.find(' ', pos);
        fields.push_back(text.substr(pos, end - pos));
        if (end == std::string::npos) {
            break;
        }
        pos = end + 1;
    }
    if (fields.size() < 13) {
        return 0;
    }
    return std::stoull(fields[11]) + std::stoull(fields[12]);
}

class LoadMeter {
public:
    explicit LoadMeter(pid_t xvfb) : xvfb_(xvfb) { start_ = sample(); }
    // Other processes' share of all cores since the start, in percent.
    double othersPercent() const {
        const Sample now = sample();
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
    Sample sample() const {
        Sample s;
        s.machine = ReadMachineTicks();
        s.ours = ProcessTicks(getpid()) + (xvfb_ > 0 ? ProcessTicks(xvfb_) : 0);
        return s;
    }
    pid_t xvfb_;
    Sample start_;
};

// A private Xvfb with GLX, started when there is no display to use.
pid_t StartXvfb() {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args{"Xvfb",         "-displayfd", fd,          "-screen", "0",
                                  "1920x1080x24", "-noreset",   "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    close(fds[1]);
    char number[16] = {};
    const ssize_t got = read(fds[0], number, sizeof number - 1);
    close(fds[0]);
    if (got <= 0) {
        return -1;
    }
    const std::string display = ":" + std::to_string(std::atoi(number));
    setenv("DISPLAY", display.c_str(), 1);
    return pid;
}

void WriteBitmap(const std::filesystem::path& path, int side, bool glow) {
    const size_t row = static_cast<size_t>(side) * 3;
    std::vector<uint8_t> bytes(54 + row * side, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(side));
    put32(22, static_cast<uint32_t>(side));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double dx = (x + 0.5) / side - 0.5;
            const double dy = (y + 0.5) / side - 0.5;
            const double d = std::min(1.0, 2.0 * std::sqrt(dx * dx + dy * dy));
            uint8_t* p = &bytes[54 + y * row + 3 * x];
            if (glow) {
                p[0] = p[1] = p[2] = static_cast<uint8_t>(255 * (1 - d) * (1 - d));
            } else if (d < 0.9) {
                p[0] = 200;
                p[1] = static_cast<uint8_t>(100 + 100 * dx);
                p[2] = static_cast<uint8_t>(50 + 100 * dy);
            }
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The lower bound: the same geometry, one vertex array per pass.
struct ArrayPass {
    std::vector<float> lineVertices, lineColours;
    std::vector<float> quadVertices, quadTexCoords, quadColours;

    void draw(const FrameGeometry& frame, const SceneTextures& textures) {
        lineVertices.clear();
        lineColours.clear();
        quadVertices.clear();
        quadTexCoords.clear();
        quadColours.clear();
        for (int32_t i = 0; i < frame.count; ++i) {
            const TrailStrip& s = frame.trails[i];
            float v[7][3] = {{s.head.x, s.head.y, s.head.z}};
            float c[7][3] = {{1, 1, 1}};
            for (int j = 0; j < 5; ++j) {
                v[j + 1][0] = static_cast<float>(s.inner[j].X);
                v[j + 1][1] = static_cast<float>(s.inner[j].Y);
                v[j + 1][2] = static_cast<float>(s.inner[j].Z);
                c[j + 1][0] = s.innerColours[j].r;
                c[j + 1][1] = s.innerColours[j].g;
                c[j + 1][2] = s.innerColours[j].b;
            }
            v[6][0] = s.tail.x;
            v[6][1] = s.tail.y;
            v[6][2] = s.tail.z;
            c[6][0] = 0;
            c[6][1] = 0;
            c[6][2] = 0.1f;
            for (int k = 0; k < 6; ++k) {
                lineVertices.insert(lineVertices.end(), v[k], v[k] + 3);
                lineVertices.insert(lineVertices.end(), v[k + 1], v[k + 1] + 3);
                lineColours.insert(lineColours.end(), c[k], c[k] + 3);
                lineColours.insert(lineColours.end(), c[k + 1], c[k + 1] + 3);
            }
            const GlowQuad& g = frame.glows[i];
            const float corners[4][2] = {
                {-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
            const float tex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int k = 0; k < 4; ++k) {
                quadVertices.insert(quadVertices.end(), {g.centre.x + corners[k][0],
                                                         g.centre.y + corners[k][1], g.centre.z});
                quadTexCoords.insert(quadTexCoords.end(), tex[k], tex[k] + 2);
                quadColours.insert(quadColours.end(), {g.colour.r, g.colour.g, g.colour.b});
            }
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        if (frame.showBackground) {
            DrawBackground(frame, textures);
        }
        ApplyCamera(frame);
        glDisable(GL_TEXTURE_2D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, lineVertices.data());
        glColorPointer(3, GL_FLOAT, 0, lineColours.data());
        glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lineVertices.size() / 3));
        glBindTexture(GL_TEXTURE_2D, textures.GlowTexture);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, quadVertices.data());
        glColorPointer(3, GL_FLOAT, 0, quadColours.data());
        glTexCoordPointer(2, GL_FLOAT, 0, quadTexCoords.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quadVertices.size() / 3));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
};

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

struct FrameRates {
    double immediate = 0;
    double arrays = 0;
    // Median of the ratios of back-to-back run pairs: each pair shares the machine's load of
    // the moment, so this is steadier than the ratio of the two medians.
    double pairRatio = 0;
};

FrameRates MeasureFrameRates(int width, int height, int runs, int frames,
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
    ArrayPass arrays;
    int64_t t = 0;
    std::vector<double> immediate, lower, ratios;
    auto run = [&](bool useArrays) {
        const auto start = Clock::now();
        for (int i = 0; i < frames; ++i) {
            SDL_PumpEvents();
            scene.BuildFrame(t, frame);
            t += 16;
            if (useArrays) {
                arrays.draw(frame, textures);
            } else {
                DrawScene(frame, textures);
            }
            SDL_GL_SwapWindow(window);
        }
        glFinish();
        const std::chrono::duration<double> spent = Clock::now() - start;
        return frames / spent.count();
    };
    run(false); // warm-up: shaders compiled, caches filled
    for (int r = 0; r < runs; ++r) {
        // Alternating which goes first cancels a drift of the load within a pair.
        const bool arraysFirst = r % 2 == 1;
        const double first = run(arraysFirst);
        const double second = run(!arraysFirst);
        immediate.push_back(arraysFirst ? second : first);
        lower.push_back(arraysFirst ? first : second);
        ratios.push_back(lower.back() / immediate.back());
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    return FrameRates{Median(immediate), Median(lower), Median(ratios)};
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
    pid_t xvfb = -1;
    if (std::getenv("DISPLAY") == nullptr) {
        xvfb = StartXvfb();
        if (xvfb < 0) {
            std::fprintf(stderr, "no DISPLAY and Xvfb could not be started\n");
            return 2;
        }
    }
    LoadMeter load(xvfb);
    std::printf("kovessa-renderer-bench: 1000 fireflies, medians of %d runs, %ld cores\n", runs,
                sysconf(_SC_NPROCESSORS_ONLN));
    const LogicCost logic = SceneLogicMicros(runs);
    std::printf("scene logic per frame (step + all vertices and colours, no GL): %.1f us "
                "wall-clock, %.1f us on the processor\n",
                logic.wallMicros, logic.cpuMicros);
    std::printf("  others' CPU so far: %.0f %% of all cores\n", load.othersPercent());
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
        const LoadMeter during(xvfb);
        const FrameRates rates = MeasureFrameRates(w, h, runs, frames, bitmaps);
        std::printf("%dx%d: immediate mode %.1f fps, vertex-array lower bound %.1f fps, "
                    "frame time ratio %.3f (others' CPU %.0f %%)\n",
                    w, h, rates.immediate, rates.arrays, rates.pairRatio, during.othersPercent());
        std::fflush(stdout);
    }
    SDL_Quit();
    std::filesystem::remove_all(bitmaps);
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
