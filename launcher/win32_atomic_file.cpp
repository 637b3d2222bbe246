#include "common/win32_text.h"
#include "launcher/atomic_file.h"
#include "launcher/win32_file_replace.h"

#include <windows.h>

#include <algorithm>
#include <string>

// Windows: the new bytes go to a temporary file beside the target, which then replaces the
// target in one rename (MoveFileExW), so a reader sees the old file or the whole new one.
namespace kovessa {

namespace {

std::string Failure(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": error " + std::to_string(GetLastError());
}

} // namespace

bool ReplaceThroughTemporary(const std::wstring& target, std::string_view bytes, bool durable,
                             const wchar_t* suffix, const std::string& path, std::string* error,
                             bool* temporaryDenied) {
    // A name nobody else holds in the same folder: this process's id and a counter.
    static unsigned counter = 0;
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++counter) + suffix;
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (temporaryDenied != nullptr) {
            *temporaryDenied = GetLastError() == ERROR_ACCESS_DENIED;
        }
        if (error != nullptr) {
            *error = Failure("create a temporary file for", path);
        }
        return false;
    }
    bool written = true;
    std::size_t done = 0;
    while (written && done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD wrote = 0;
        written = WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    written = written && (!durable || FlushFileBuffers(file));
    if (!written && error != nullptr) {
        *error = Failure("write", path);
    }
    CloseHandle(file);
    const DWORD how = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
    if (written && !MoveFileExW(temporary.c_str(), target.c_str(), how)) {
        if (error != nullptr) {
            *error = Failure("replace", path);
        }
        written = false;
    }
    if (!written) {
        DeleteFileW(temporary.c_str());
    }
    return written;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    return ReplaceThroughTemporary(WideFromUtf8(path), bytes, false, L".tmp", path, error);
}

} // namespace kovessa
