#pragma once

#include <string>

namespace kovessa {

// The folder that holds the running program (from /proc/self/exe), without a trailing slash
// except for the root folder itself; "" when it cannot be read.
std::string ProgramFolder();

// folder + "/" + name, without doubling the slash of the root folder.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part of a path as ProgramFolder gives it.
std::string FolderOf(const std::string& path);

} // namespace kovessa
