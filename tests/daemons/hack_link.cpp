#include "tests/daemons/hack_link.h"

#include "tests/support/temp_dir.h"

#include <unistd.h>

namespace kovessa::test {

const fs::path HackLink::kHackFolder_ = "/usr/libexec/xscreensaver";

HackLink::HackLink(const fs::path& target) {
    std::error_code ec;
    madeFolder_ = fs::create_directories(kHackFolder_, ec);
    path_ = kHackFolder_ / ("kovessa-test-" + std::to_string(getpid()));
    fs::remove(path_, ec);
    fs::create_symlink(target, path_, ec);
    if (ec) {
        path_.clear();
    }
}

HackLink::~HackLink() {
    std::error_code ec;
    if (!path_.empty()) {
        fs::remove(path_, ec);
    }
    if (madeFolder_) {
        fs::remove(kHackFolder_, ec);
    }
}

std::string ThemeEntry(const fs::path& program) {
    std::string entry = ReadWholeFile(KOVESSA_DESKTOP_ENTRY_TEMPLATE);
    const std::string key = "@KOVESSA_HACK_PATH@";
    for (size_t at = entry.find(key); at != std::string::npos; at = entry.find(key, at)) {
        entry.replace(at, key.size(), program.string());
    }
    return entry;
}

} // namespace kovessa::test
