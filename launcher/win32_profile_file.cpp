#include "common/win32_ansi_text.h"
#include "launcher/profile_file.h"

#include <windows.h>

// Windows names its calls for win.ini like ours, by macros.
#undef GetProfileString
#undef WriteProfileString

#include <algorithm>
#include <optional>
#include <vector>

// On Windows the settings file is read and written by the system's own profile calls. Section
// and key names pass as the bytes they are (the key names in code page 932), values in the ANSI
// code page, as the file has always held them; the program keeps its values as UTF-8, so they
// are converted at this border. The file keeps the same bytes whichever program wrote it.
namespace kovessa {

namespace {

// What a C caller passes is what stands before the first NUL.
std::string cString(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& path) {
    if (bufferSize == 0) {
        return {};
    }
    const std::string fallback = cString(defaultValue);
    // A settings file whose path has no narrow form cannot be read by the narrow call.
    const std::optional<std::string> file = AnsiPathFromUtf8(cString(path));
    if (!file) {
        return fallback.substr(0, bufferSize - 1);
    }
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(
        cString(section).c_str(), cString(key).c_str(), LossyAnsiFromUtf8(fallback).c_str(),
        buffer.data(), static_cast<DWORD>(bufferSize), file->c_str());
    return Utf8FromAnsi(
        std::string_view(buffer.data(), std::min<std::size_t>(length, bufferSize - 1)));
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    // A value of more than one line would read back as another value.
    if (value.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    // A value or a path the code page cannot hold is not written rather than written wrong.
    const std::optional<std::string> ansiValue = AnsiFromUtf8(cString(value));
    const std::optional<std::string> file = AnsiPathFromUtf8(cString(path));
    if (!ansiValue || !file) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    return WritePrivateProfileStringA(cString(section).c_str(), cString(key).c_str(),
                                      ansiValue->c_str(), file->c_str()) != 0;
}

bool WriteProfileStrings(const std::string& section, const std::vector<ProfileEntry>& entries,
                         const std::string& path, std::string* error) {
    for (const ProfileEntry& entry : entries) {
        if (!WriteProfileString(section, entry.key, entry.value, path)) {
            if (error != nullptr) {
                *error = "cannot write " + path + ": error " + std::to_string(GetLastError());
            }
            return false;
        }
    }
    return true;
}

} // namespace kovessa
