#include "tests/windows/wine_scr_support.h"

#include "launcher/settings_file.h"

#include <cstdlib>
#include <fstream>

namespace kovessa::test {

namespace {

fs::path WindowsBinDir() {
    const char* dir = std::getenv("KOVESSA_WINDOWS_BIN_DIR");
    return dir != nullptr ? fs::path(dir) : fs::path();
}

} // namespace

WineShowFolder::WineShowFolder(const WineUser* user) : user_(user) {
    if (user_ != nullptr) {
        // A fresh folder each time, in the user's home.
        static int made = 0;
        home_ = user_->Home() / ("show-" + std::to_string(++made));
        user_->MakeFolder(home_);
        dir_ = home_ / "Kovessa";
        user_->MakeFolder(dir_);
    } else {
        root_.emplace();
        ownHome_.emplace();
        home_ = ownHome_->Path();
        dir_ = root_->Path() / "Kovessa";
        fs::create_directories(dir_);
    }
    for (const char* program : {"Kovessa.scr", "Kovessa.xy"}) {
        if (user_ != nullptr) {
            user_->CopyFile(WindowsBinDir() / program, dir_ / program);
        } else {
            fs::copy_file(WindowsBinDir() / program, dir_ / program);
        }
    }
    const std::string asoundrc = "pcm.!default { type file; slave.pcm \"null\"; file \"" +
                                 Recording().string() + "\"; format \"raw\" }\n";
    if (user_ != nullptr) {
        user_->WriteFile(home_ / ".asoundrc", asoundrc);
    } else {
        std::ofstream(home_ / ".asoundrc") << asoundrc;
    }
}

WineShowFolder::~WineShowFolder() {
    if (user_ != nullptr) {
        user_->EndWineProcesses();
        std::error_code ignored;
        fs::remove_all(home_, ignored);
    } else {
        EndWineProcesses();
    }
}

Process WineShowFolder::StartWine(const fs::path& exe, const std::vector<std::string>& args,
                                  const Xvfb& xvfb) const {
    if (user_ != nullptr) {
        // The user's home holds this folder's sound settings.
        return user_->StartWine(exe, args, xvfb, home_);
    }
    std::vector<std::string> all = {exe.string()};
    all.insert(all.end(), args.begin(), args.end());
    return Process::Start("/usr/bin/wine", all, xvfb, nullptr,
                          {{"WINEPREFIX", WinePrefix().string()},
                           {"WINEDEBUG", "-all"},
                           {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                           {"HOME", home_.string()}});
}

std::string MusicSettingsText(int kind, const std::string& file) {
    return std::string("[") + kSettingsSection + "]\r\n" + kKeyBGMKind + "=" +
           std::to_string(kind) + "\r\n" + kKeyBGMRepeat + "=0\r\n" + kKeyBGMFile + "=" + file +
           "\r\n";
}

fs::path WindowProbe() {
    return WindowsBinDir().parent_path() / "tests" / "wine_window_probe.exe";
}

} // namespace kovessa::test
