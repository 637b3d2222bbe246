#pragma once

#include <string>
#include <string_view>

namespace kovessa {

// Saves a file that belongs to the user (the settings file) so that a reader, a kill or a full
// disk at any moment leaves either the old file or the complete new one:
//
// - A symbolic link at `path` is followed, link by link, and the file it ends at is replaced;
//   the link stays a link (a settings file kept in version control is often linked in).
// - The new bytes go to an unnamed file in the target's folder (O_TMPFILE), are flushed, get a
//   name only at the last moment and are renamed over the target, so a kill leaves no
//   temporary file behind. Where the file system has no unnamed files, a named one is used and
//   removed on every failure.
// - A leftover temporary file of an earlier save that was killed between naming and renaming
//   (or of an older version of the program, which named them "<name>.XXXXXX") is removed by the
//   next save. Saves into one folder take turns under a lock on the folder, so a save never
//   removes the temporary file of another one that is still running.
// - A file the user may write in a folder the user may not (where no temporary file can be
//   made) is written in place: its new length is reserved first, so a full disk fails before
//   any byte changes.
// - An existing file keeps its permissions; a new one gets 0644 less the umask.
//
// Returns false, with a reason in `error` when given, when the file could not be saved; the old
// file is then unchanged.
bool SaveUserFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The prefix of the temporary names a save gives its new file for the moment before the
// rename: "." + the file's name + ".saving-".
std::string SaveTemporaryPrefix(const std::string& fileName);

} // namespace kovessa
