#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kovessa {

// Replaces the file `target` with `bytes` in one rename: the bytes go to a new temporary file in
// the same folder ("<target>.<process id>-<count><suffix>"), which MoveFileExW then puts in the
// target's place, so a reader sees the old file or the whole new one. With `durable`, the bytes
// and the rename reach the disk before it returns, so a kill or a power cut at any moment
// leaves one or the other too. The temporary file goes on any failure. On failure `error`, when
// given, says what failed about `path` (the name the caller knows the file by), and
// `temporaryDenied`, when given, tells whether the temporary file was refused for want of
// access, where the folder is closed to the user.
bool ReplaceThroughTemporary(const std::wstring& target, std::string_view bytes, bool durable,
                             const wchar_t* suffix, const std::string& path, std::string* error,
                             bool* temporaryDenied = nullptr);

} // namespace kovessa
