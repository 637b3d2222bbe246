#pragma once

#include "music/music_settings.h"
#include "settings/ini_writer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kovessa {

// What the settings dialog does with the music settings, apart from drawing: which option mark
// shows the chosen picture, which of the track combo and the browse button may be used, and
// what a confirm stores. The dialog mirrors these states onto its controls after each call.
//
// The options stand on screen in the order CD, none, file, but their indices are the kinds
// 1, 0, 2.
class MusicChoice {
public:
    static constexpr int kOptionCount = 3;
    // The longest music file path, in bytes, that the settings file gives back whole.
    static constexpr std::size_t kMaxFilePathBytes = 255;

    enum class FileAnswer { Taken, Kept, TooLong };

    explicit MusicChoice(MusicSettings& settings) : settings_(settings) {}

    // Shows the marks and enabled states for the kind already in the settings (dialog load).
    // A kind outside 0..2 has no mark: none shows the chosen picture and nothing is enabled.
    void ShowCurrentKind();
    // A press of any mouse button on option `index`'s mark or caption.
    void ChooseOption(int index);
    // The file dialog's answer; an empty path (cancelled or failed dialog) changes nothing
    // (Kept), nor does a path longer than kMaxFilePathBytes (TooLong), which the caller tells
    // the user about.
    FileAnswer FileChosen(const std::string& path);
    // Stores the three settings in order: kind, the track read from `repeatText`, the file,
    // and commits them together. False, with the reason in `error` when given, when the writer
    // could not store them; the settings in memory are those confirmed either way.
    bool Confirm(std::string_view repeatText, IniWriter& writer, const std::string& iniPath,
                 std::string* error);

    bool MarkChosen(int index) const { return marks_[static_cast<size_t>(index)]; }
    bool RepeatEnabled() const { return repeatEnabled_; }
    bool BrowseEnabled() const { return browseEnabled_; }
    const MusicSettings& Settings() const { return settings_; }

private:
    void ShowKind(int kind);

    MusicSettings& settings_;
    std::array<bool, kOptionCount> marks_{};
    bool repeatEnabled_ = false;
    bool browseEnabled_ = false;
};

} // namespace kovessa
