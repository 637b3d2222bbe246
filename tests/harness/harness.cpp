#include "tests/harness/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kovessa::test {

namespace {

// Windows come and go while a test walks the tree; an error about one of them must not end
// the test program, which is what Xlib's default handler does.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

[[noreturn]] void Fatal(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::vector<std::string> CurrentEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    return env;
}

void SetVariable(std::vector<std::string>& env, const std::string& name, const std::string& value) {
    const std::string prefix = name + "=";
    for (std::string& entry : env) {
        if (entry.compare(0, prefix.size(), prefix) == 0) {
            entry = prefix + value;
            return;
        }
    }
    env.push_back(prefix + value);
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

fs::path MakeTempDir(const char* pattern) {
    std::string tmpl = (fs::temp_directory_path() / pattern).string();
    if (mkdtemp(tmpl.data()) == nullptr) {
        Fatal("mkdtemp " + tmpl);
    }
    return tmpl;
}

// Ends every process whose program file lies inside `folder`: the show starts the renderer as
// a process of its own, which would otherwise outlive the test.
void KillProgramsIn(const fs::path& folder) {
    std::error_code ec;
    const std::string prefix = fs::weakly_canonical(folder, ec).string() + "/";
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code linkError;
        const fs::path exe = fs::read_symlink(entry.path() / "exe", linkError);
        if (linkError) {
            continue;
        }
        if (exe.string().compare(0, prefix.size(), prefix) == 0) {
            const pid_t pid = std::stoi(name);
            ::kill(pid, SIGKILL);
            waitpid(pid, nullptr, WNOHANG);
        }
    }
}

Window Root(Display* dpy) {
    return DefaultRootWindow(dpy);
}

std::optional<std::string> TextProperty(Display* dpy, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, 4096, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success ||
        data == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (format == 8) {
        text = std::string(reinterpret_cast<char*>(data), count);
    }
    XFree(data);
    return text;
}

void CollectWindows(Display* dpy, Window w, std::vector<Window>& out) {
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, w, &rootReturn, &parent, &children, &count)) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        out.push_back(children[i]);
        CollectWindows(dpy, children[i], out);
    }
    if (children != nullptr) {
        XFree(children);
    }
}

} // namespace

// ---- Xvfb -------------------------------------------------------------------------------

Xvfb::Xvfb(XvfbOptions options) : options_(options) {
    XSetErrorHandler(IgnoreXErrors);
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        Fatal("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int monitors = std::max(1, options.monitors);
    const std::string screen =
        std::to_string(options.width * monitors) + "x" + std::to_string(options.height) + "x24";
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3",         "-screen", "0",
                                     screen, "-noreset",   "-nolisten", "tcp",     "-dpi",
                                     "96",   "+extension", "GLX"};
    if (options.openToAllUsers) {
        args.push_back("-ac");
    }
    std::vector<char*> argv = CStrings(args);
    const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        errno = rc;
        Fatal("cannot start Xvfb");
    }
    // Xvfb writes the display number once it accepts connections.
    std::string number;
    pollfd pfd{pipeFds[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        if (poll(&pfd, 1, 200) > 0) {
            char buf[32];
            const ssize_t n = read(pipeFds[0], buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            number.append(buf, static_cast<size_t>(n));
        }
    }
    close(pipeFds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) {
        number.pop_back();
    }
    if (number.empty()) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("Xvfb did not report a display");
    }
    name_ = ":" + number;
    dpy_ = XOpenDisplay(name_.c_str());
    if (dpy_ == nullptr) {
        throw std::runtime_error("cannot connect to Xvfb on " + name_);
    }
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(dpy_, &eventBase, &errorBase, &major, &minor)) {
        throw std::runtime_error("Xvfb has no XTest");
    }
    // Xvfb lays extra screens over one another, so monitors are RandR monitors on one screen;
    // the first takes the screen's output.
    for (int i = 1; monitors > 1 && i <= monitors; ++i) {
        const std::string geometry = std::to_string(options.width) + "/300x" +
                                     std::to_string(options.height) + "/200+" +
                                     std::to_string((i - 1) * options.width) + "+0";
        const std::string line = "xrandr --display " + name_ + " --setmonitor kovessa-" +
                                 std::to_string(i) + " " + geometry +
                                 (i == 1 ? " screen" : " none");
        if (std::system((line + " >/dev/null 2>&1").c_str()) != 0) {
            throw std::runtime_error("cannot add monitor: " + line);
        }
    }
}

Xvfb::~Xvfb() {
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

// ---- ProgramFolder ----------------------------------------------------------------------

ProgramFolder::ProgramFolder() {
    root_ = MakeTempDir("kovessa-e2e-XXXXXX");
    dir_ = root_ / "program";
    handoff_ = root_ / "runtime";
    fs::create_directory(dir_);
    fs::create_directory(handoff_);
    fs::permissions(handoff_, fs::perms::owner_all, fs::perm_options::replace);
    const char* bin = std::getenv("KOVESSA_BIN_DIR");
    if (bin == nullptr) {
        throw std::runtime_error("KOVESSA_BIN_DIR is not set");
    }
    for (const char* name : {"Kovessa.scr", "Kovessa.xy"}) {
        const fs::path from = fs::path(bin) / name;
        if (!fs::exists(from)) {
            continue;
        }
        fs::copy_file(from, dir_ / name, fs::copy_options::overwrite_existing);
        fs::permissions(dir_ / name, fs::status(from).permissions(), fs::perm_options::replace);
    }
}

ProgramFolder::~ProgramFolder() {
    KillProgramsIn(dir_);
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void ProgramFolder::RemoveRenderer() const {
    fs::remove(Renderer());
}

// ---- Process ----------------------------------------------------------------------------

Process Process::Start(const fs::path& exe, const std::vector<std::string>& args, const Xvfb& xvfb,
                       const ProgramFolder* folder, const Env& env) {
    Process p;
    p.outDir_ = MakeTempDir("kovessa-proc-XXXXXX");
    std::vector<std::string> environment = CurrentEnvironment();
    SetVariable(environment, "DISPLAY", xvfb.DisplayName());
    if (folder != nullptr) {
        SetVariable(environment, "XDG_RUNTIME_DIR", folder->HandoffDir().string());
    }
    for (const auto& [name, value] : env) {
        SetVariable(environment, name, value);
    }
    std::vector<std::string> argStrings = {exe.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv = CStrings(argStrings);
    std::vector<char*> envp = CStrings(environment);

    const std::string out = (p.outDir_ / "stdout").string();
    const std::string err = (p.outDir_ / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int rc = posix_spawn(&p.pid_, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        errno = rc;
        Fatal("cannot start " + exe.string());
    }
    return p;
}

Process::Process(Process&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(other.status_),
      outDir_(std::move(other.outDir_)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        this->~Process();
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
        outDir_ = std::move(other.outDir_);
    }
    return *this;
}

Process::~Process() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (!outDir_.empty()) {
        std::error_code ec;
        fs::remove_all(outDir_, ec);
    }
}

bool Process::Running() {
    return !WaitExit(0ms).has_value();
}

std::optional<int> Process::WaitExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (r < 0 && errno != EINTR) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    return status_;
}

void Process::Kill(int signal) {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, signal);
    }
}

std::string Process::StdOut() const {
    return ReadWholeFile(outDir_ / "stdout");
}
std::string Process::StdErr() const {
    return ReadWholeFile(outDir_ / "stderr");
}

// ---- waiting ----------------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
}

pid_t ChildOf(pid_t parent) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The command name may hold blanks; the fields after its closing bracket do not.
        const size_t close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent) {
            return static_cast<pid_t>(std::stol(name));
        }
    }
    return 0;
}

// ---- windows ----------------------------------------------------------------------------

std::string WindowTitle(Display* dpy, unsigned long window) {
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    if (auto name = TextProperty(dpy, window, netName)) {
        return *name;
    }
    if (auto name = TextProperty(dpy, window, XA_WM_NAME)) {
        return *name;
    }
    return {};
}

std::vector<unsigned long> FindWindows(Display* dpy, const std::string& title) {
    XSync(dpy, False);
    std::vector<Window> all;
    CollectWindows(dpy, Root(dpy), all);
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    std::vector<unsigned long> found;
    for (Window w : all) {
        const auto net = TextProperty(dpy, w, netName);
        const auto plain = TextProperty(dpy, w, XA_WM_NAME);
        if ((net && *net == title) || (plain && *plain == title)) {
            found.push_back(w);
        }
    }
    return found;
}

bool IsWindowViewable(Display* dpy, unsigned long window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, window, &attributes)) {
        return false;
    }
    return attributes.map_state == IsViewable;
}

std::optional<Geometry> WindowGeometry(Display* dpy, unsigned long window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, window, &attributes)) {
        return std::nullopt;
    }
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(dpy, window, Root(dpy), 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    return Geometry{x, y, attributes.width, attributes.height};
}

std::optional<unsigned long> ParentOf(Display* dpy, unsigned long window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, window, &root, &parent, &children, &count)) {
        return std::nullopt;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return parent;
}

unsigned long TopLevelOf(Display* dpy, unsigned long window) {
    for (std::optional<unsigned long> parent = ParentOf(dpy, window);
         parent && *parent != 0 && *parent != Root(dpy); parent = ParentOf(dpy, window)) {
        window = *parent;
    }
    return window;
}

// ---- input ------------------------------------------------------------------------------

void MovePointerTo(Display* dpy, int x, int y) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
    XSync(dpy, False);
}

void MovePointerBy(Display* dpy, int dx, int dy) {
    XTestFakeRelativeMotionEvent(dpy, dx, dy, CurrentTime);
    XSync(dpy, False);
}

std::pair<int, int> PointerPosition(Display* dpy) {
    Window rootReturn = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(dpy, Root(dpy), &rootReturn, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

void KeyDown(Display* dpy, unsigned long keysym) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, keysym), True, CurrentTime);
    XSync(dpy, False);
}

void KeyUp(Display* dpy, unsigned long keysym) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, keysym), False, CurrentTime);
    XSync(dpy, False);
}

void TapKey(Display* dpy, unsigned long keysym) {
    // Both events in one flush, so that they reach the client together: as fast a tap as any.
    const KeyCode code = XKeysymToKeycode(dpy, keysym);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    XSync(dpy, False);
}

void ButtonDown(Display* dpy, int button) {
    XTestFakeButtonEvent(dpy, static_cast<unsigned int>(button), True, CurrentTime);
    XSync(dpy, False);
}

void ButtonUp(Display* dpy, int button) {
    XTestFakeButtonEvent(dpy, static_cast<unsigned int>(button), False, CurrentTime);
    XSync(dpy, False);
}

void ClickButton(Display* dpy, int button) {
    ButtonDown(dpy, button);
    ButtonUp(dpy, button);
}

void SendCloseRequest(Display* dpy, unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &event);
    XSync(dpy, False);
}

// ---- pixels -----------------------------------------------------------------------------

Image Capture(Display* dpy, int x, int y, int width, int height) {
    XSync(dpy, False);
    Image image;
    XImage* xi = XGetImage(dpy, Root(dpy), x, y, static_cast<unsigned int>(width),
                           static_cast<unsigned int>(height), AllPlanes, ZPixmap);
    if (xi == nullptr) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels.reserve(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const unsigned long p = XGetPixel(xi, col, row);
            image.pixels.push_back(Rgb{static_cast<uint8_t>((p & xi->red_mask) >> 16),
                                       static_cast<uint8_t>((p & xi->green_mask) >> 8),
                                       static_cast<uint8_t>(p & xi->blue_mask)});
        }
    }
    XDestroyImage(xi);
    return image;
}

Rgb PixelAt(Display* dpy, int x, int y) {
    const Image one = Capture(dpy, x, y, 1, 1);
    return one.pixels.empty() ? Rgb{} : one.pixels.front();
}

Image CaptureWindow(Display* dpy, unsigned long window) {
    const auto g = WindowGeometry(dpy, window);
    if (!g) {
        return {};
    }
    return Capture(dpy, g->x, g->y, g->width, g->height);
}

bool SavePng(const Image& image, const fs::path& path) {
    if (image.width <= 0 || image.height <= 0) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const fs::path ppm = path.string() + ".ppm";
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << image.width << " " << image.height << "\n255\n";
        for (const Rgb& p : image.pixels) {
            out.put(static_cast<char>(p.r)).put(static_cast<char>(p.g)).put(static_cast<char>(p.b));
        }
    }
    std::vector<std::string> args = {"convert", ppm.string(), path.string()};
    std::vector<char*> argv = CStrings(args);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "convert", nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    fs::remove(ppm, ec);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

unsigned long CreateForeignWindow(Display* dpy, int width, int height, Rgb background,
                                  const std::string& title) {
    const unsigned long pixel = (static_cast<unsigned long>(background.r) << 16) |
                                (static_cast<unsigned long>(background.g) << 8) | background.b;
    const Window w = XCreateSimpleWindow(dpy, Root(dpy), 0, 0, static_cast<unsigned int>(width),
                                         static_cast<unsigned int>(height), 0, 0, pixel);
    if (!title.empty()) {
        XStoreName(dpy, w, title.c_str());
        const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
        XChangeProperty(dpy, w, netName, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }
    XMapWindow(dpy, w);
    XSync(dpy, False);
    return w;
}

void DestroyForeignWindow(Display* dpy, unsigned long window) {
    XDestroyWindow(dpy, window);
    XSync(dpy, False);
}

// ---- folders ----------------------------------------------------------------------------

fs::path ArtifactDir() {
    if (const char* dir = std::getenv("KOVESSA_ARTIFACT_DIR"); dir != nullptr && dir[0] != '\0') {
        return dir;
    }
    return fs::current_path() / "artifacts";
}

} // namespace kovessa::test
