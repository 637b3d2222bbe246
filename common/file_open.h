#pragma once

#include <string>

namespace kovessa {

// Opens a file for reading as raw bytes and returns its descriptor, or -1 with errno set. A
// named pipe or a terminal under the name does not hold the caller up (a reader then refuses
// it as not a plain file), and the descriptor is not inherited by programs started later. On
// Windows the UTF-8 path goes through the wide-character call, so any name opens.
int OpenForReading(const std::string& path);

} // namespace kovessa
