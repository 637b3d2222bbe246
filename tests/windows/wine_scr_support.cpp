#include "tests/windows/wine_scr_support.h"

#include "launcher/settings_file.h"

#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kovessa::test {

namespace {

fs::path WindowsBinDir() {
    const char* dir = std::getenv("KOVESSA_WINDOWS_BIN_DIR");
    return dir != nullptr ? fs::path(dir) : fs::path();
}

// Runs a Wine tool to its end (wineboot, wineserver) with the prefix and no display.
int RunWineTool(const std::vector<std::string>& args, const fs::path& prefix) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("WINEPREFIX", prefix.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        unsetenv("DISPLAY");
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

struct OwnPrefix {
    TempDir dir;
    OwnPrefix() {
        RunWineTool({"wineboot", "-i"}, dir.Path());
        RunWineTool({"wineserver", "-w"}, dir.Path());
    }
    ~OwnPrefix() { RunWineTool({"wineserver", "-k"}, dir.Path()); }
};

} // namespace

const fs::path& WinePrefix() {
    static const fs::path prefix = [] {
        const char* given = std::getenv("WINEPREFIX");
        if (given != nullptr && given[0] != '\0') {
            return fs::path(given);
        }
        static OwnPrefix own;
        return own.dir.Path();
    }();
    return prefix;
}

std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).string();
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

WineShowFolder::WineShowFolder() : dir_(root_.Path() / "Kovessa") {
    fs::create_directories(dir_);
    for (const char* program : {"Kovessa.scr", "Kovessa.xy"}) {
        fs::copy_file(WindowsBinDir() / program, dir_ / program);
    }
    std::ofstream(home_.Path() / ".asoundrc")
        << "pcm.!default { type file; slave.pcm \"null\"; file \"" << Recording().string()
        << "\"; format \"raw\" }\n";
}

WineShowFolder::~WineShowFolder() {
    EndWineProcesses();
}

Process WineShowFolder::StartWine(const fs::path& exe, const std::vector<std::string>& args,
                                  const Xvfb& xvfb) const {
    std::vector<std::string> all = {exe.string()};
    all.insert(all.end(), args.begin(), args.end());
    return Process::Start("/usr/bin/wine", all, xvfb, nullptr,
                          {{"WINEPREFIX", WinePrefix().string()},
                           {"WINEDEBUG", "-all"},
                           {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                           {"HOME", home_.Path().string()}});
}

std::string MusicSettingsText(int kind, const std::string& file) {
    return std::string("[") + kSettingsSection + "]\r\n" + kKeyBGMKind + "=" +
           std::to_string(kind) + "\r\n" + kKeyBGMRepeat + "=0\r\n" + kKeyBGMFile + "=" + file +
           "\r\n";
}

fs::path WindowProbe() {
    return WindowsBinDir().parent_path() / "tests" / "wine_window_probe.exe";
}

void EndWineProcesses() {
    RunWineTool({"wineserver", "-k"}, WinePrefix());
}

} // namespace kovessa::test
