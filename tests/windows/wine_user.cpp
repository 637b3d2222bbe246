#include "tests/windows/wine_user.h"

#include "tests/windows/wine_support.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace kovessa::test {

namespace {

std::string CurrentUserName() {
    const passwd* entry = getpwuid(geteuid());
    return entry != nullptr ? entry->pw_name : "";
}

} // namespace

WineUser::WineUser(const Xvfb& xvfb) {
    if (geteuid() != 0) {
        ownHome_.emplace();
        prefix_ = WinePrefix();
        name_ = CurrentUserName();
        available_ = !name_.empty();
        return;
    }
    ordinary_.emplace();
    if (!ordinary_->available()) {
        return;
    }
    name_ = ordinary_->name();
    prefix_ = ordinary_->home() / "prefix";
    // The prefix is finished before it is used: the server ends once its first start's work
    // is done.
    available_ =
        ordinary_->run("/usr/bin/wineboot", {"-i"}, xvfb, wineEnvironment({}), 300s) == 0 &&
        ordinary_->run("/usr/bin/wineserver", {"-w"}, xvfb, wineEnvironment({}), 120s) == 0;
}

WineUser::~WineUser() {
    if (ordinary_ && available_) {
        endWineProcesses();
    }
}

const fs::path& WineUser::home() const {
    return ordinary_ ? ordinary_->home() : ownHome_->path();
}

const fs::path& WineUser::prefix() const {
    return prefix_;
}

fs::path WineUser::profile() const {
    return prefix_ / "drive_c" / "users" / name_;
}

void WineUser::hand(const fs::path& path) const {
    if (ordinary_ && chown(path.c_str(), ordinary_->uid(), static_cast<gid_t>(-1)) != 0) {
        throw std::runtime_error("cannot hand " + path.string() + " to " + name_);
    }
}

void WineUser::makeFolder(const fs::path& path) const {
    if (fs::exists(path)) {
        return;
    }
    makeFolder(path.parent_path());
    fs::create_directory(path);
    hand(path);
}

void WineUser::writeFile(const fs::path& path, const std::string& bytes) const {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    hand(path);
}

void WineUser::copyFile(const fs::path& from, const fs::path& to) const {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    hand(to);
}

Process::Env WineUser::wineEnvironment(const fs::path& home) const {
    return {{"WINEPREFIX", prefix_.string()},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"HOME", (home.empty() ? this->home() : home).string()}};
}

Process WineUser::startWine(const fs::path& exe, const std::vector<std::string>& args,
                            const Xvfb& xvfb, const fs::path& home) const {
    std::vector<std::string> all = {exe.string()};
    all.insert(all.end(), args.begin(), args.end());
    if (ordinary_) {
        return ordinary_->start("/usr/bin/wine", all, xvfb, wineEnvironment(home));
    }
    return Process::start("/usr/bin/wine", all, xvfb, nullptr, wineEnvironment(home));
}

void WineUser::endWineProcesses() const {
    if (ordinary_) {
        // The server of the prefix is the user's; it ends the user's Windows programs.
        const std::string command = "runuser -u '" + name_ + "' -- env WINEPREFIX='" +
                                    prefix_.string() + "' wineserver -k >/dev/null 2>&1";
        [[maybe_unused]] const int ignored = std::system(command.c_str());
        return;
    }
    EndWineProcesses();
}

} // namespace kovessa::test
