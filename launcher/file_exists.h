#pragma once

#include <string>

namespace kovessa {

// True when `path` names a regular file that this process can open for reading. One trailing
// path separator ('/' or the '\' that settings written on another system may carry) is removed
// first. Folders, devices, pipes, missing files, unreadable files and the empty path are all
// false; the test opens and closes the file without reading it and never blocks.
bool FileExists(const std::string& path);

} // namespace kovessa
