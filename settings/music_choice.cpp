#include "settings/music_choice.h"

#include "launcher/settings_file.h"
#include "settings/repeat_text.h"

namespace kovessa {

void MusicChoice::ShowCurrentKind() {
    repeatEnabled_ = false;
    browseEnabled_ = false;
    ShowKind(settings_.BGMKind);
}

void MusicChoice::ChooseOption(int index) {
    if (index < 0 || index >= kOptionCount) {
        return;
    }
    settings_.BGMKind = static_cast<int16_t>(index);
    repeatEnabled_ = false;
    browseEnabled_ = false;
    ShowKind(index);
}

void MusicChoice::ShowKind(int kind) {
    marks_.fill(false);
    if (kind < 0 || kind >= kOptionCount) {
        return;
    }
    marks_[static_cast<size_t>(kind)] = true;
    repeatEnabled_ = kind == kBgmKindCD;
    browseEnabled_ = kind == kBgmKindFile;
}

MusicChoice::FileAnswer MusicChoice::FileChosen(const std::string& path) {
    if (path.empty()) {
        return FileAnswer::Kept;
    }
    // The show reads at most this many bytes of the path back; a longer one would be stored
    // whole but read back cut, and the show would play nothing.
    if (path.size() > kMaxFilePathBytes) {
        return FileAnswer::TooLong;
    }
    settings_.BGMFile = path;
    return FileAnswer::Taken;
}

bool MusicChoice::Confirm(std::string_view repeatText, IniWriter& writer,
                          const std::string& iniPath, std::string* error) {
    writer.WriteIniString(kSettingsSection, kKeyBGMKind, std::to_string(settings_.BGMKind),
                          iniPath);
    settings_.BGMRepeat = RepeatFromText(repeatText, settings_.BGMRepeat);
    writer.WriteIniString(kSettingsSection, kKeyBGMRepeat, std::to_string(settings_.BGMRepeat),
                          iniPath);
    writer.WriteIniString(kSettingsSection, kKeyBGMFile, settings_.BGMFile, iniPath);
    return writer.Commit(error);
}

} // namespace kovessa
