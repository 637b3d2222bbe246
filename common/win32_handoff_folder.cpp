#include "common/handoff_folder.h"
#include "common/win32_text.h"

#include <windows.h>

#include <cwchar>

// On Windows the usual folder is %LOCALAPPDATA%\Kovessa: a standard user cannot write the
// Windows folder, and the local application data folder is the user's own, closed to others by
// its permissions and never roamed to another machine. The temporary folder, also per user,
// serves when that is not known.
namespace kovessa {

namespace {

// Nothing, with the reason in `error` when the caller asked for it.
std::optional<std::string> Refuse(std::string* error, std::string why) {
    if (error != nullptr) {
        *error = std::move(why);
    }
    return std::nullopt;
}

std::string Win32Error(DWORD code) {
    return "error " + std::to_string(code);
}

std::wstring WithoutTrailingSeparators(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

std::wstring EnvironmentFolder(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring value(needed, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(got < needed ? got : 0);
    return value;
}

std::wstring TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD got = GetTempPathW(MAX_PATH + 1, buffer);
    if (got == 0 || got > MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, got);
}

// Makes `folder` when it is not there and accepts it only as a real folder: a link or junction
// planted under the name could send the pictures elsewhere.
std::optional<std::string> OwnFolder(const std::wstring& folder, std::string* error) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return Refuse(error,
                      "cannot create " + Utf8FromWide(folder) + ": " + Win32Error(GetLastError()));
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Refuse(error, Utf8FromWide(folder) + " is not a folder");
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return Refuse(error, Utf8FromWide(folder) + " is a link");
    }
    return Utf8FromWide(folder);
}

} // namespace

std::optional<std::string> HandoffFolder(std::string* error) {
    std::wstring base = WithoutTrailingSeparators(EnvironmentFolder(L"LOCALAPPDATA"));
    if (base.empty()) {
        base = WithoutTrailingSeparators(TemporaryFolder());
    }
    if (base.empty()) {
        return Refuse(error, "neither LOCALAPPDATA nor a temporary folder is known");
    }
    return OwnFolder(base + L"\\Kovessa", error);
}

std::optional<std::string> OneShotHandoffFolder(std::string* error) {
    const std::wstring base = WithoutTrailingSeparators(TemporaryFolder());
    if (base.empty()) {
        return Refuse(error, "no temporary folder is known");
    }
    // A name nobody else holds: the process id and the tick count, counted on while taken.
    const unsigned long long start = GetTickCount64() ^ GetCurrentProcessId();
    for (unsigned long long n = 0; n < 100; ++n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\Kovessa-%llx", start + n);
        const std::wstring folder = base + name;
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            return Utf8FromWide(folder);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return Refuse(error, "cannot create a private folder in " + Utf8FromWide(base) + ": " +
                                     Win32Error(GetLastError()));
        }
    }
    return Refuse(error, "no free name for a private folder in " + Utf8FromWide(base));
}

void RemoveOneShotHandoffFolder(const std::string& folder) {
    const std::wstring wide = WideFromUtf8(folder);
    DeleteFileW((wide + L"\\" + WideFromUtf8(kGlowBitmapName)).c_str());
    DeleteFileW((wide + L"\\" + WideFromUtf8(kBackgroundBitmapName)).c_str());
    RemoveDirectoryW(wide.c_str());
}

std::optional<std::string> HandoffPath(const char* name) {
    const std::optional<std::string> folder = HandoffFolder();
    if (!folder) {
        return std::nullopt;
    }
    return *folder + "\\" + name;
}

} // namespace kovessa
