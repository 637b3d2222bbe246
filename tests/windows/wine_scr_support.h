#pragma once

// What the end-to-end tests of the Windows Kovessa.scr share: a program folder with the
// Windows programs, a home folder whose ALSA default device records what Wine plays, and the
// small Windows probe that sees windows from inside Wine.
#include "tests/harness/harness.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/wine_support.h"
#include "tests/windows/wine_user.h"

#include <optional>
#include <string>
#include <vector>

namespace kovessa::test {

// The folder of a copy of Kovessa.scr and Kovessa.xy from $KOVESSA_WINDOWS_BIN_DIR, and a home
// folder whose .asoundrc makes ALSA's default device write into recording(). Given a user, both
// are that user's and the programs run as it, in its prefix.
class WineShowFolder {
public:
    explicit WineShowFolder(const WineUser* user = nullptr);
    ~WineShowFolder();
    WineShowFolder(const WineShowFolder&) = delete;
    WineShowFolder& operator=(const WineShowFolder&) = delete;

    const fs::path& Dir() const { return dir_; }
    fs::path Scr() const { return dir_ / "Kovessa.scr"; }
    fs::path Renderer() const { return dir_ / "Kovessa.xy"; }
    fs::path Ini() const { return dir_ / "Kovessa.ini"; }
    // 16-bit little-endian samples, as Wine played them.
    fs::path Recording() const { return home_ / "played.raw"; }
    const fs::path& Home() const { return home_; }

    // Starts a Windows program of this machine under Wine, with this folder's home.
    Process StartWine(const fs::path& exe, const std::vector<std::string>& args,
                      const Xvfb& xvfb) const;
    Process StartScr(const std::vector<std::string>& args, const Xvfb& xvfb) const {
        return StartWine(Scr(), args, xvfb);
    }

private:
    const WineUser* user_;
    std::optional<TempDir> root_;
    std::optional<TempDir> ownHome_;
    fs::path dir_;
    fs::path home_;
};

// The settings file's bytes for a music choice (keys in code page 932).
std::string MusicSettingsText(int kind, const std::string& file);

// The path of the Windows probe (tests/windows/wine_window_probe.cpp) in the Windows build.
fs::path WindowProbe();

} // namespace kovessa::test
