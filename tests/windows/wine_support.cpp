#include "tests/windows/wine_support.h"

#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace kovessa::test {

namespace {

const Process::Env& WineEnvironment() {
    // No offer to fetch the .NET and browser runtimes, which nothing here uses.
    static const Process::Env env = {{"WINEPREFIX", WinePrefix().string()},
                                     {"WINEDEBUG", "-all"},
                                     {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
    return env;
}

// A prefix of this test program's own, made once and taken down at its end.
class OwnPrefix {
public:
    OwnPrefix() {
        if (RunWineTool({"wineboot", "-i"}, folder_.Path()) != 0 ||
            RunWineTool({"wineserver", "-w"}, folder_.Path()) != 0) {
            throw std::runtime_error("wineboot could not make a prefix");
        }
    }
    ~OwnPrefix() { RunWineTool({"wineserver", "-k"}, folder_.Path()); }
    const fs::path& Path() const { return folder_.Path(); }

private:
    TempDir folder_;
};

} // namespace

std::optional<fs::path> WindowsProgram(const std::string& name) {
    const char* given = std::getenv("KOVESSA_WINDOWS_BIN_DIR");
    const fs::path folder =
        given != nullptr && *given != '\0' ? fs::path(given) : fs::path(KOVESSA_WINDOWS_BIN_DIR);
    const fs::path program = folder / name;
    if (!fs::is_regular_file(program)) {
        return std::nullopt;
    }
    return program;
}

fs::path WindowsTestProgram(const std::string& name) {
    return fs::path(KOVESSA_WINDOWS_TESTS_DIR) / name;
}

const fs::path& WinePrefix() {
    const char* given = std::getenv("WINEPREFIX");
    if (given != nullptr && *given != '\0') {
        static const fs::path prefix = given;
        return prefix;
    }
    static const OwnPrefix own;
    return own.Path();
}

fs::path WineLocalAppData() {
    const char* user = std::getenv("USER");
    const std::string name = user != nullptr && *user != '\0' ? user : "root";
    return WinePrefix() / "drive_c" / "users" / name / "AppData" / "Local";
}

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
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return 128;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void EndWineProcesses() {
    RunWineTool({"wineserver", "-k"}, WinePrefix());
}

Process StartUnderWine(const fs::path& exe, const std::vector<std::string>& args,
                       const Xvfb& xvfb) {
    std::vector<std::string> all = {exe.string()};
    all.insert(all.end(), args.begin(), args.end());
    return Process::Start("/usr/bin/wine", all, xvfb, nullptr, WineEnvironment());
}

std::string WindowsPath(const fs::path& unixPath) {
    std::string path = "Z:" + fs::absolute(unixPath).lexically_normal().string();
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::optional<std::string> ReadAndCloseBox(const std::string& caption, const Xvfb& xvfb) {
    Process reader = StartUnderWine(WindowsTestProgram("box_reader.exe"), {caption}, xvfb);
    if (reader.WaitExit(60s) != std::optional<int>(0)) {
        return std::nullopt;
    }
    std::string text = reader.StdOut();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

} // namespace kovessa::test
