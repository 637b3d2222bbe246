#include "common/win32_text.h"
#include "launcher/program_paths.h"

#include <windows.h>

#include <vector>

// Windows paths: either slash separates, the backslash is the one written, and a drive's root
// ("C:\") keeps its separator.
namespace kovessa {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        return {};
    }
    const bool driveRoot = slash == 2 && path[1] == ':';
    if (slash == 0 || driveRoot) {
        return path.substr(0, slash + 1);
    }
    return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && IsSeparator(folder.back())) {
        return folder + name;
    }
    return folder + "\\" + name;
}

std::string ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return FolderOf(Utf8FromWide(std::wstring_view(buffer.data(), n)));
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace kovessa
