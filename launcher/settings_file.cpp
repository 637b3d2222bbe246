#include "launcher/settings_file.h"

#include "common/problem_report.h"
#include "common/window_titles.h"
#include "launcher/file_exists.h"
#include "launcher/number_reader.h"
#include "launcher/profile_file.h"
#include "launcher/program_paths.h"
#include "launcher/settings_place.h"

#include <cmath>

namespace kovessa {

namespace {

constexpr std::size_t kValueBufferSize = 256;

// A whole number for a 16-bit setting, or the old value when the text is not one.
int16_t ReadSetting(const std::string& value, int16_t old) {
    if (value.empty()) {
        return 0;
    }
    const std::optional<double> number = StrictNumber(value);
    if (!number) {
        return old;
    }
    const double whole = std::floor(*number);
    if (whole < -32768.0 || whole > 32767.0) {
        return old;
    }
    return static_cast<int16_t>(whole);
}

} // namespace

std::string SettingsFilePath(const std::string& programFolder) {
    return JoinPath(programFolder, kSettingsFileName);
}

std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& file) {
    return GetProfileString(section, key, "", kValueBufferSize, file);
}

void LoadSettings(MusicSettings& settings, const std::string& programFolder) {
    LoadSettingsFrom(settings, LocateSettings(programFolder, UserConfigHome()).readPath);
}

void LoadSettingsFrom(MusicSettings& settings, const std::string& path) {
    // No dialog writes a file this large; whoever made it learns why the keys past the cap
    // are not seen.
    if (IsProfileFileOverCap(path)) {
        ReportProblem(path + ": too large for a settings file; only its first " +
                      std::to_string(kProfileFileCap / (1024 * 1024)) + " MiB are read");
    }
    // The keys are read in this order because the file path corrects the kind read first.
    settings.BGMKind =
        ReadSetting(ReadIniString(kSettingsSection, kKeyBGMKind, path), settings.BGMKind);
    settings.BGMRepeat =
        ReadSetting(ReadIniString(kSettingsSection, kKeyBGMRepeat, path), settings.BGMRepeat);
    const std::string file = ReadIniString(kSettingsSection, kKeyBGMFile, path);
    settings.BGMFile = file;
    if (file.empty() || !FileExists(file)) {
        settings.BGMFile.clear();
        if (settings.BGMKind == kBgmKindFile) {
            settings.BGMKind = kBgmKindNone;
        }
    }
}

} // namespace kovessa
