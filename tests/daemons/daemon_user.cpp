#include "tests/daemons/daemon_user.h"

#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa::test {

namespace {

bool RunQuietly(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& a : argv) {
        line += "'" + a + "' ";
    }
    return std::system((line + ">/dev/null 2>&1").c_str()) == 0;
}

} // namespace

DaemonUser::DaemonUser() {
    if (geteuid() != 0) {
        return;
    }
    name_ = "kovessa-d" + std::to_string(getpid());
    if (!RunQuietly({"useradd", "-m", "-s", "/bin/sh", name_})) {
        return;
    }
    const passwd* entry = getpwnam(name_.c_str());
    if (entry == nullptr) {
        return;
    }
    uid_ = entry->pw_uid;
    home_ = entry->pw_dir;
    runtime_ = MakeFolder(".runtime");
}

DaemonUser::~DaemonUser() {
    if (uid_ < 0) {
        return;
    }
    // Whatever the test left running as the user goes with it.
    RunQuietly({"pkill", "-KILL", "-u", name_});
    WaitUntil([&] { return Processes("").empty(); }, 5s);
    RunQuietly({"userdel", "-r", "-f", name_});
    std::error_code ec;
    if (!loginRuntime_.empty()) {
        fs::remove_all(loginRuntime_, ec);
    }
    if (madeRunUser_) {
        fs::remove("/run/user", ec);
    }
}

void DaemonUser::WriteHomeFile(const std::string& name, const std::string& bytes) const {
    const fs::path path = home_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    chown(path.c_str(), Uid(), static_cast<gid_t>(-1));
}

fs::path DaemonUser::MakeFolder(const std::string& name) const {
    const fs::path path = home_ / name;
    fs::create_directories(path);
    chown(path.c_str(), Uid(), static_cast<gid_t>(-1));
    chmod(path.c_str(), 0700);
    return path;
}

fs::path DaemonUser::MakeLoginRuntimeFolder() {
    const fs::path path = "/run/user/" + std::to_string(Uid());
    std::error_code ec;
    madeRunUser_ = fs::create_directory("/run/user", ec) || madeRunUser_;
    // The user is new, so a folder of its number is left from an earlier user of that number.
    fs::remove_all(path, ec);
    if (!fs::create_directory(path, ec) ||
        chown(path.c_str(), Uid(), static_cast<gid_t>(-1)) != 0 || chmod(path.c_str(), 0700) != 0) {
        return {};
    }
    loginRuntime_ = path;
    return path;
}

Process DaemonUser::Start(const std::string& program, const std::vector<std::string>& args,
                          const Xvfb& xvfb, const Process::Env& env) const {
    std::vector<std::string> line = {"-u",
                                     name_,
                                     "--",
                                     "env",
                                     "-i",
                                     "HOME=" + home_.string(),
                                     "USER=" + name_,
                                     "DISPLAY=" + xvfb.DisplayName(),
                                     "PATH=/usr/local/bin:/usr/bin:/bin",
                                     "XDG_RUNTIME_DIR=" + runtime_.string()};
    for (const auto& [key, value] : env) {
        line.push_back(key + "=" + value);
    }
    line.push_back(program);
    line.insert(line.end(), args.begin(), args.end());
    return Process::Start("/usr/sbin/runuser", line, xvfb);
}

std::optional<int> DaemonUser::Run(const std::string& program, const std::vector<std::string>& args,
                                   const Xvfb& xvfb, const Process::Env& env,
                                   std::chrono::milliseconds timeout) const {
    Process p = Start(program, args, xvfb, env);
    return p.WaitExit(timeout);
}

std::vector<std::pair<pid_t, char>> DaemonUser::Processes(const std::string& exeName) const {
    std::vector<std::pair<pid_t, char>> found;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        struct stat st = {};
        if (stat(entry.path().c_str(), &st) != 0 || st.st_uid != Uid()) {
            continue;
        }
        std::ifstream statFile(entry.path() / "stat");
        std::string line;
        std::getline(statFile, line);
        const size_t open = line.find('(');
        const size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || line.size() < close + 3) {
            continue;
        }
        // The kernel keeps the first 15 bytes of the program's name.
        const std::string comm = line.substr(open + 1, close - open - 1);
        if (!exeName.empty() && comm != exeName.substr(0, 15)) {
            continue;
        }
        const char state = line[close + 2];
        if (state == 'Z') {
            // An ended process whose own parent has gone waits for the machine's first
            // process to collect it, which may take a while on a busy machine: it is gone
            // for the user. One that a process of the user has yet to collect is not.
            long parent = 0;
            std::istringstream(line.substr(close + 3)) >> parent;
            struct stat parentStat = {};
            const std::string parentDir = "/proc/" + std::to_string(parent);
            if (stat(parentDir.c_str(), &parentStat) != 0 || parentStat.st_uid != Uid()) {
                continue;
            }
        }
        found.emplace_back(static_cast<pid_t>(std::stol(pid)), state);
    }
    return found;
}

} // namespace kovessa::test
