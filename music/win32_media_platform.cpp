#include "music/win32_media_platform.h"

#include "common/problem_report.h"
#include "common/win32_ansi_text.h"

#include <windows.h>
#include <mmsystem.h>

// The multimedia header names the wide or narrow call by a macro of the same name as ours.
#undef PlaySound

#include <cstdio>
#include <optional>
#include <string>

namespace kovessa {

namespace {

// The command strings are UTF-8 in the program and go to the narrow call in the ANSI code page.
// A file name the code page cannot hold is named by its short form; one that has none either
// cannot reach the narrow call, and the command then fails as for a missing file.
std::string ansiCommand(const char* command) {
    const std::string text = command;
    if (std::optional<std::string> ansi = AnsiFromUtf8(text)) {
        return *ansi;
    }
    const size_t open = text.find('"');
    const size_t close = open == std::string::npos ? open : text.find('"', open + 1);
    if (close != std::string::npos) {
        const std::string path = text.substr(open + 1, close - open - 1);
        const std::optional<std::string> ansiPath = AnsiPathFromUtf8(path);
        const std::optional<std::string> before = AnsiFromUtf8(text.substr(0, open + 1));
        const std::optional<std::string> after = AnsiFromUtf8(text.substr(close));
        if (ansiPath && before && after) {
            return *before + *ansiPath + *after;
        }
    }
    ReportProblem(std::string("the media command \"") + command +
                  "\" has no form in this system's code page");
    return LossyAnsiFromUtf8(text);
}

class Win32MediaPlatform final : public MediaPlatform {
public:
    int32_t SendString(const char* command, char* answer, uint32_t answerSize) override {
        // No callback window: the module polls instead of waiting for notifications.
        return static_cast<int32_t>(mciSendStringA(
            ansiCommand(command).c_str(), answerSize > 0 ? answer : nullptr, answerSize, nullptr));
    }

    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        return mciGetErrorStringA(static_cast<MCIERROR>(code), text, size) != FALSE;
    }

    int32_t WaveOutGetNumDevs() override { return static_cast<int32_t>(waveOutGetNumDevs()); }

    // The flags are Windows' own values (SND_ASYNC 1, SND_LOOP 8): a name is looked up as a
    // sound alias first and then taken as a file name, as the module expects.
    int32_t PlaySound(const char* name, uint32_t flags) override {
        if (name == nullptr) {
            return PlaySoundA(nullptr, nullptr, flags) ? 1 : 0;
        }
        const std::string ansi = AnsiPathFromUtf8(name).value_or(LossyAnsiFromUtf8(name));
        return PlaySoundA(ansi.c_str(), nullptr, flags) ? 1 : 0;
    }
};

} // namespace

std::unique_ptr<MediaPlatform> CreateWin32MediaPlatform() {
    return std::make_unique<Win32MediaPlatform>();
}

} // namespace kovessa
