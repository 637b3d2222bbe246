#pragma once

#include <optional>
#include <string>

// The two texture bitmaps pass from the show to the renderer through files in a per-user
// private folder that both programs compute the same way: $XDG_RUNTIME_DIR when it is set,
// otherwise /tmp/kovessa-<uid>, created with mode 0700. A folder that is not ours, is open to
// others, or is a symbolic link is refused, so nobody else can plant or read the files. On
// Windows (win32_handoff_folder.cpp) it is %LOCALAPPDATA%\Kovessa, or Kovessa in the user's
// temporary folder, and paths are joined with a backslash.
namespace kovessa {

inline constexpr const char* kGlowBitmapName = "Zeruma1.bmp";
inline constexpr const char* kBackgroundBitmapName = "Zeruma2.bmp";

struct HandoffFolderResult {
    std::optional<std::string> folder; // set on success, without a trailing slash
    std::string error;                 // why it was refused, for standard error
};

// Computes (and for the /tmp fallback creates) the folder. Never follows a symbolic link for
// the fallback folder.
HandoffFolderResult HandoffFolder();

// Folder + "/" + name, or nullopt when the folder is refused.
std::optional<std::string> HandoffPath(const char* name);

// A fresh private folder for one show (mkdtemp under /tmp, mode 0700), for when the usual
// folder cannot be used safely: another user may have taken /tmp/kovessa-<uid> first, or the
// runtime folder is not writable. The renderer is told its path and removes it once it has read
// the pictures.
HandoffFolderResult OneShotHandoffFolder();

// Removes the two pictures and the one-shot folder itself; anything else in it is left alone.
void RemoveOneShotHandoffFolder(const std::string& folder);

} // namespace kovessa
