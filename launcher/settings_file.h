#pragma once

#include "music/music_settings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kovessa {

// The settings file "Kovessa.ini" (see settings_place.h for where it is kept): section "Section"
// with the three music keys. The key names are stored as their code page 932 bytes, so files
// written by the program on any system share one spelling.
inline constexpr const char* kSettingsSection = "Section";
inline constexpr const char* kKeyBGMKind = "BGM\x8B\xE6\x95\xAA";       // BGM区分
inline constexpr const char* kKeyBGMRepeat = "BGM\xD8\xCB\xDF\xB0\xC4"; // BGMﾘﾋﾟｰﾄ
inline constexpr const char* kKeyBGMFile = "BGM\xCC\xA7\xB2\xD9";       // BGMﾌｧｲﾙ

// The path of the settings file beside the program in `programFolder`.
std::string SettingsFilePath(const std::string& programFolder);

// The value (at most 255 bytes), or "" when the file, section or key is missing.
std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& file);

// Section and key names are stored cut to this many bytes.
inline constexpr std::size_t kIniNameLimit = 128;

// Fills the music settings from the settings file of the program in `programFolder`, found as
// LocateSettings finds it. As LoadSettingsFrom.
void LoadSettings(MusicSettings& settings, const std::string& programFolder);

// Fills the music settings from the settings file at `path`. A value that is not a
// whole number in -32768..32767 after rounding down leaves its setting as it was; a file mode
// whose music file cannot be read falls back to no music for this run (the file on disk keeps
// what it holds). A file over the size cap is read up to the cap, and a line on standard error
// says so.
void LoadSettingsFrom(MusicSettings& settings, const std::string& path);

} // namespace kovessa
