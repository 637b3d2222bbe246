#pragma once

#include <string>
#include <string_view>

namespace kovessa {

// The list of screensavers in XScreenSaver's settings file (~/.xscreensaver), edited on the
// file's bytes: every byte that is not Kovessa's entry stays as it was, the file's own line ends
// included (LF or CR LF).
//
// The list is the value of the "programs:" key (also spelt "  programs :", "*programs:" or
// "xscreensaver.programs:"), which runs from its header over every line that follows a line
// ending in a backslash. Kovessa's entry is an entry of that list whose program is "kovessa" or
// "Kovessa.scr", under any folder, enabled or (with a leading "-") switched off.

// The entry that AddKovessaEntry writes, without its line end.
inline constexpr std::string_view kKovessaEntry = "  GL: \"Kovessa\" kovessa --root \\n\\";

enum class ListOutcome {
    Changed,      // `text` holds the edited file
    AlreadyThere, // add: an enabled entry is in the list
    SwitchedOff,  // add: an entry is in the list, switched off
    NotThere,     // remove: the list holds no entry
    NoList,       // remove: the file has no list
};

struct ListEdit {
    ListOutcome outcome = ListOutcome::NotThere;
    // The whole new file; empty unless the outcome is Changed.
    std::string text;
};

// Adds Kovessa's entry at the END of the list, so that the numbers of the entries already there
// (which "selected:" refers to) stay as they are. A file without a list gets one at its end.
ListEdit AddKovessaEntry(std::string_view file);

// Takes Kovessa's entry out of the list. After AddKovessaEntry it gives back the file that the
// add started from, byte for byte (a file without a list that ended without a line end, or on
// a line going on, keeps the line end or the empty line the add put before the new list; a
// file that ends on an empty list of exactly the add's shape loses that list).
ListEdit RemoveKovessaEntry(std::string_view file);

} // namespace kovessa
