#include "tests/support/temp_dir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace kovessa::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    // A random name that nobody holds yet, made by this call (create_directory says whether it
    // made the folder), and closed to other users as mkdtemp would leave it. The same on Linux
    // and on Windows.
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "kovessa-test-%08x", static_cast<unsigned>(random()));
        std::error_code ec;
        if (fs::create_directory(base / name, ec)) {
            path_ = base / name;
            fs::permissions(path_, fs::perms::owner_all, fs::perm_options::replace, ec);
            return;
        }
        if (ec) {
            throw std::runtime_error("cannot create " + (base / name).string() + ": " +
                                     ec.message());
        }
    }
    throw std::runtime_error("no free test folder name in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have taken the write bit away to see a save fail; give it back so the
    // folder can go.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const {
    return (path_ / name).string();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return File(name);
}

std::string TempDir::Read(const std::string& path) {
    return ReadWholeFile(path);
}

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kovessa::test
