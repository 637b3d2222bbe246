#pragma once

#include "launcher/shared_state.h"
#include "music/music_settings.h"

#include <string>

namespace kovessa {

// What the windows of the screensaver program share for the life of the process. `Main` owns
// the one instance and hands it to the window of the mode it loads.
struct AppContext {
    MusicSettings music;       // filled from the settings file before the dialog or the show
    SharedState shared;        // APIResult and the remembered pointer position
    std::string programFolder; // folder of Kovessa.scr, no trailing slash
    std::string commandLine;   // the arguments joined by one blank
    std::string modeLetter;    // second character of the upper-cased command line, or empty
    // Started by a screensaver daemon: the show draws into hackWindow and never ends on the
    // pointer; only a signal ends it.
    bool hackMode = false;
    unsigned long hackWindow = 0;
};

} // namespace kovessa
