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
    if (!ordinary_->Available()) {
        return;
    }
    name_ = ordinary_->Name();
    prefix_ = ordinary_->Home() / "prefix";
    // The prefix is finished before it is used: the server ends once its first start's work
    // is done.
    available_ =
        ordinary_->Run("/usr/bin/wineboot", {"-i"}, xvfb, WineEnvironment({}), 300s) == 0 &&
        ordinary_->Run("/usr/bin/wineserver", {"-w"}, xvfb, WineEnvironment({}), 120s) == 0;
}

WineUser::~WineUser() {
    if (ordinary_ && available_) {
        EndWineProcesses();
    }
}

const fs::path& WineUser::Home() const {
    return ordinary_ ? ordinary_->Home() : ownHome_->Path();
}

const fs::path& WineUser::Prefix() const {
    return prefix_;
}

fs::path WineUser::Profile() const {
    return prefix_ / "drive_c" / "users" / name_;
}

void WineUser::Hand(const fs::path& path) const {
    if (ordinary_ && chown(path.c_str(), ordinary_->Uid(), static_cast<gid_t>(-1)) != 0) {
        throw std::runtime_error("cannot hand " + path.string() + " to " + name_);
    }
}

void WineUser::MakeFolder(const fs::path& path) const {
    if (fs::exists(path)) {
        return;
    }
    MakeFolder(path.parent_path());
    fs::create_directory(path);
    Hand(path);
}

void WineUser::WriteFile(const fs::path& path, const std::string& bytes) const {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    Hand(path);
}

void WineUser::CopyFile(const fs::path& from, const fs::path& to) const {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    Hand(to);
}

Process::Env WineUser::WineEnvironment(const fs::path& home) const {
    return {{"WINEPREFIX", prefix_.string()},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "mscoree,mshtml="},
            {"HOME", (home.empty() ? this->Home() : home).string()}};
}

Process WineUser::StartWine(const fs::path& exe, const std::vector<std::string>& args,
                            const Xvfb& xvfb, const fs::path& home) const {
    std::vector<std::string> all = {exe.string()};
    all.insert(all.end(), args.begin(), args.end());
    if (ordinary_) {
        return ordinary_->Start("/usr/bin/wine", all, xvfb, WineEnvironment(home));
    }
    return Process::Start("/usr/bin/wine", all, xvfb, nullptr, WineEnvironment(home));
}

void WineUser::EndWineProcesses() const {
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
