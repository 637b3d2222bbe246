#pragma once

#include <filesystem>
#include <string>

namespace kovessa::test {

// A fresh, empty folder under the system's temporary folder, removed with everything in it at
// the end of the test, even when the test made parts of it read-only.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const;
    // Writes `bytes` to `name` inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    static std::string Read(const std::string& path);

private:
    std::filesystem::path path_;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

} // namespace kovessa::test
