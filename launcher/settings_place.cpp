#include "launcher/settings_place.h"

#include "common/window_titles.h"
#include "launcher/program_paths.h"
#include "launcher/settings_file.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

bool Exists(const std::string& path) {
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0;
}

bool MayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

} // namespace

std::string UserConfigHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    std::string base = home != nullptr ? home : "";
    if (base.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir) {
            base = user->pw_dir;
        }
    }
    return base.empty() ? std::string() : JoinPath(base, ".config");
}

SettingsPlace LocateSettings(const std::string& programFolder, const std::string& configHome) {
    return ChooseSettingsPlace(programFolder, configHome, "kovessa",
                               {&Exists, &MayWrite, &MayWrite});
}

bool MakeSettingsFolder(const std::string& settingsPath) {
    const std::string folder = FolderOf(settingsPath);
    if (folder.empty() || Exists(folder)) {
        return true;
    }
    if (!MakeSettingsFolder(folder)) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace kovessa
