#include "common/win32_text.h"
#include "common/window_titles.h"
#include "launcher/program_paths.h"
#include "launcher/settings_file.h"
#include "launcher/settings_place.h"

#include <windows.h>

#include <random>
#include <shlobj.h>

// The same rule as on the desktops of Linux, over the Windows folders: a copy in a folder the
// user may write keeps Kovessa.ini beside it; a copy in a folder of the system (Program Files)
// keeps each user's file in %APPDATA%\Kovessa and reads an administrator's file beside the
// program until the user has saved once.
namespace kovessa {

namespace {

bool exists(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Access lists decide who may write, and only Windows can read them right: the test is to try.
// A probe file made in the folder goes again when its handle closes.
bool mayWriteFolder(const std::string& folder) {
    std::random_device random;
    const std::wstring probe =
        WideFromUtf8(JoinPath(folder, "Kovessa-probe-" + std::to_string(random()) + ".tmp"));
    const HANDLE file = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// Opening for writing changes nothing in the file.
bool mayWriteFile(const std::string& path) {
    const HANDLE file =
        CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::wstring roamingAppData() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path) == S_OK) {
        folder = path;
    }
    CoTaskMemFree(path);
    if (!folder.empty()) {
        return folder;
    }
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        return std::wstring(buffer, length);
    }
    return {};
}

} // namespace

std::string UserConfigHome() {
    const std::wstring folder = roamingAppData();
    if (folder.empty()) {
        return {};
    }
    return Utf8FromWide(folder);
}

SettingsPlace LocateSettings(const std::string& programFolder, const std::string& configHome) {
    return ChooseSettingsPlace(programFolder, configHome, "Kovessa",
                               {&exists, &mayWriteFolder, &mayWriteFile});
}

bool MakeSettingsFolder(const std::string& settingsPath) {
    const std::string folder = FolderOf(settingsPath);
    if (folder.empty() || exists(folder)) {
        return true;
    }
    if (!MakeSettingsFolder(folder)) {
        return false;
    }
    return CreateDirectoryW(WideFromUtf8(folder).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace kovessa
