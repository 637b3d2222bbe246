#include "common/win32_ansi_text.h"
#include "common/win32_text.h"
#include "launcher/profile_edit.h"
#include "launcher/profile_file.h"
#include "launcher/win32_file_replace.h"

#include <windows.h>

// Windows names its calls for win.ini like ours, by macros.
#undef GetProfileString

#include <algorithm>
#include <optional>
#include <vector>

// On Windows the settings file is read and edited by the same logic as on Linux, and saved the
// same way: the whole edited text replaces the file in one step. Section and key names pass as
// the bytes they are (the key names in code page 932), values in the ANSI code page, as the
// file has always held them; the program keeps its values as UTF-8, so they are converted at
// this border. The file keeps the same bytes whichever program wrote it.
namespace kovessa {

namespace {

// What a C caller passes is what stands before the first NUL.
std::string CString(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

std::string Failure(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": error " + std::to_string(GetLastError());
}

// Reads what the cap allows of the file at `path`: never more than kProfileReadLimit bytes.
ProfileFileText ReadFile(const std::string& path, ProfileSizeRule rule) {
    const HANDLE file = CreateFileW(WideFromUtf8(CString(path)).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD reason = GetLastError();
        const bool missing = reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND;
        return {missing ? ProfileReadStatus::Missing : ProfileReadStatus::Failed, {}};
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return {ProfileReadStatus::Failed, {}};
    }
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    bool failed = false;
    while (bytes.size() < kProfileReadLimit) {
        const DWORD want =
            static_cast<DWORD>(std::min(buffer.size(), kProfileReadLimit - bytes.size()));
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), want, &got, nullptr)) {
            failed = true;
            break;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer.data(), got);
    }
    CloseHandle(file);
    if (failed || !FitProfileBytesToCap(bytes, rule)) {
        return {ProfileReadStatus::Failed, {}};
    }
    return {ProfileReadStatus::Ok, std::move(bytes)};
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

// A file the user may write in a folder the user may not, where no temporary file can be made,
// is written in place, as on Linux: its new length is reserved first, so that a full disk fails
// before any byte changes.
bool WriteInPlace(const std::wstring& target, const std::string& bytes, const std::string& path,
                  std::string* error) {
    const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error != nullptr) {
            *error = Failure("write", path);
        }
        return false;
    }
    LARGE_INTEGER size = {};
    size.QuadPart = static_cast<LONGLONG>(bytes.size());
    LARGE_INTEGER old = {};
    const LARGE_INTEGER start = {};
    const bool ok = GetFileSizeEx(file, &old) &&
                    (size.QuadPart <= old.QuadPart ||
                     (SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file))) &&
                    SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAll(file, bytes) &&
                    SetEndOfFile(file) && FlushFileBuffers(file);
    if (!ok && error != nullptr) {
        *error = Failure("write", path);
    }
    CloseHandle(file);
    return ok;
}

// Replaces the file at `path` with `bytes` in one step that reaches the disk, or writes it in
// place where its folder allows no temporary file.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    const std::wstring target = WideFromUtf8(CString(path));
    bool denied = false;
    if (ReplaceThroughTemporary(target, bytes, true, L".saving", path, error, &denied)) {
        return true;
    }
    if (!denied || GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if (error != nullptr) {
        error->clear();
    }
    return WriteInPlace(target, bytes, path, error);
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& path) {
    // The value arrives in the ANSI code page and is cut there, as the narrow call would cut it.
    return Utf8FromAnsi(ProfileValueOf(ReadFile(path, ProfileSizeRule::HeadWithinCap), section, key,
                                       LossyAnsiFromUtf8(CString(defaultValue)), bufferSize));
}

bool IsProfileFileOverCap(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(WideFromUtf8(CString(path)).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    const unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size > kProfileFileCap;
}

bool WriteProfileStrings(const std::string& section, const std::vector<ProfileEntry>& entries,
                         const std::string& path, std::string* error) {
    // A value the code page cannot hold is not written rather than written wrong.
    std::vector<ProfileEntry> ansiEntries;
    for (const ProfileEntry& entry : entries) {
        const std::optional<std::string> value = AnsiFromUtf8(CString(entry.value));
        if (!value) {
            if (error != nullptr) {
                *error = "a value has a character the system's code page cannot hold";
            }
            return false;
        }
        ansiEntries.push_back({entry.key, *value});
    }
    const ProfileEdit edit = EditProfileText(ReadFile(path, ProfileSizeRule::WholeOrNothing),
                                             section, ansiEntries, path);
    if (!edit.ok) {
        if (error != nullptr) {
            *error = edit.error;
        }
        return false;
    }
    return !edit.changed || ReplaceWholeFile(path, edit.text, error);
}

} // namespace kovessa
