#pragma once

#include <functional>
#include <string>

namespace kovessa {

// Where the settings file is read from and saved to.
//
// A copy of the program in a folder the user may write (a portable copy, a build) keeps its
// Kovessa.ini beside the program, as does a copy whose Kovessa.ini there the user may write.
// An installed copy, whose folder belongs to the system, keeps each user's file in
// $XDG_CONFIG_HOME/kovessa/Kovessa.ini (~/.config/kovessa/ when the variable is unset or not
// an absolute path). Until a user has saved once, an installed copy reads a Kovessa.ini that
// an administrator put beside the program, so that file is the default for every user.
struct SettingsPlace {
    std::string readPath;
    std::string writePath;
    // True when writePath is the per-user file, whose folder may first have to be made.
    bool perUser = false;
};

// The per-user configuration folder's base as the environment names it: $XDG_CONFIG_HOME when
// it is an absolute path, otherwise $HOME/.config (the home folder from the user database when
// HOME is unset). Empty when no home folder is known.
std::string UserConfigHome();

// What the place rule asks of the system's files; each system answers in its own way.
struct SettingsFileProbe {
    std::function<bool(const std::string&)> exists;
    std::function<bool(const std::string&)> mayWriteFolder;
    std::function<bool(const std::string&)> mayWriteFile;
};

// The place rule itself, the same on every system: beside the program when the user may
// write there, otherwise `ownFolderName` under `configHome`, read from beside the program
// until the user's own file exists.
SettingsPlace ChooseSettingsPlace(const std::string& programFolder, const std::string& configHome,
                                  const std::string& ownFolderName, const SettingsFileProbe& probe);

// The place for the program in `programFolder`, with `configHome` as the per-user base.
SettingsPlace LocateSettings(const std::string& programFolder, const std::string& configHome);

// Makes the folder of a per-user settings file, with its missing parents (new folders get
// 0700, as the configuration base should). False, with errno set, when it cannot be made.
bool MakeSettingsFolder(const std::string& settingsPath);

} // namespace kovessa
