#include "launcher/profile_file.h"
#include "launcher/settings_file.h"
#include "launcher/settings_place.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace kovessa {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A program folder that belongs to the system (closed to the user the checks run as) and a
// home of that user, as an installed copy sees them.
class InstalledCopy : public ::testing::Test {
protected:
    InstalledCopy() {
        program_ = (dir_.Path() / "lib" / "kovessa").string();
        config_ = (dir_.Path() / "home" / ".config").string();
        fs::create_directories(program_);
        fs::create_directories(dir_.Path() / "home");
        // The ordinary user may pass through the test's folder and owns the home in it.
        test::GiveToUnprivilegedUser(dir_.Path().string());
        test::GiveToUnprivilegedUser((dir_.Path() / "home").string());
        ::chmod(program_.c_str(), 0755);
    }
    // Runs the checks as the ordinary user with the program folder closed to writing.
    int AsUser(const std::function<int()>& body) {
        ::chmod(program_.c_str(), 0555);
        const int result = test::RunUnprivileged(body);
        ::chmod(program_.c_str(), 0755);
        return result;
    }
    std::string Own() const { return config_ + "/kovessa/Kovessa.ini"; }
    std::string Beside() const { return program_ + "/Kovessa.ini"; }

    TempDir dir_;
    std::string program_;
    std::string config_;
};

TEST_F(InstalledCopy, APortableCopyKeepsItsFileBesideTheProgram) {
    // The test owns the folder: as root it stays open (root may write anywhere), as anybody
    // else the folder is theirs.
    const SettingsPlace place = LocateSettings(program_, config_);
    EXPECT_EQ(place.readPath, Beside());
    EXPECT_EQ(place.writePath, Beside());
    EXPECT_FALSE(place.perUser);
}

TEST_F(InstalledCopy, AnInstalledCopyReadsTheDefaultUntilTheUserHasSaved) {
    const int result = AsUser([&] {
        SettingsPlace place = LocateSettings(program_, config_);
        if (place.writePath != Own() || place.readPath != Own() || !place.perUser) {
            return 1;
        }
        return 0;
    });
    EXPECT_EQ(result, 0) << test::DescribeChildResult(result, {"no file anywhere: the own one"});

    // An administrator's default beside the program, read-only for users.
    dir_.Write("lib/kovessa/Kovessa.ini",
               "[Section]\r\n" + std::string(kKeyBGMKind) + "=1\r\n" + kKeyBGMRepeat + "=7\r\n");
    ::chmod(Beside().c_str(), 0644);
    const int withDefault = AsUser([&] {
        const SettingsPlace place = LocateSettings(program_, config_);
        if (place.readPath != Beside() || place.writePath != Own()) {
            return 1;
        }
        MusicSettings settings;
        LoadSettingsFrom(settings, place.readPath);
        if (settings.BGMKind != 1 || settings.BGMRepeat != 7) {
            return 2;
        }
        // The user's first save makes the folder and the file; from then on both are theirs.
        if (!MakeSettingsFolder(place.writePath) || !fs::is_directory(config_ + "/kovessa")) {
            return 3;
        }
        if ((fs::status(config_).permissions() & fs::perms::others_all) != fs::perms::none) {
            return 4;
        }
        if (!WriteProfileStrings(kSettingsSection, {{kKeyBGMKind, "0"}}, place.writePath)) {
            return 5;
        }
        const SettingsPlace after = LocateSettings(program_, config_);
        if (after.readPath != Own() || after.writePath != Own()) {
            return 6;
        }
        return ReadIniString(kSettingsSection, kKeyBGMKind, Beside()) == "1" ? 0 : 7;
    });
    EXPECT_EQ(withDefault, 0) << test::DescribeChildResult(
        withDefault,
        {"the default beside the program is read, the own file written",
         "the default's settings arrive", "the own folder is made", "new folders are private",
         "the own file is saved", "then the own file is read", "the default is untouched"});
}

TEST_F(InstalledCopy, AFileBesideTheProgramThatTheUserMayWriteStaysInUse) {
    dir_.Write("lib/kovessa/Kovessa.ini", "[Section]\r\n");
    test::GiveToUnprivilegedUser(Beside());
    ::chmod(Beside().c_str(), 0644);
    const int result = AsUser([&] {
        const SettingsPlace place = LocateSettings(program_, config_);
        if (place.readPath != Beside() || place.writePath != Beside() || place.perUser) {
            return 1;
        }
        return WriteProfileStrings(kSettingsSection, {{kKeyBGMKind, "2"}}, Beside()) ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << test::DescribeChildResult(
        result, {"the writable file is the place", "it is written in place"});
    EXPECT_EQ(ReadIniString(kSettingsSection, kKeyBGMKind, Beside()), "2");
}

TEST(UserConfigHome, FollowsTheBaseDirectoryRules) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";

    ::setenv("HOME", "/home/ann", 1);
    ::setenv("XDG_CONFIG_HOME", "/srv/cfg", 1);
    EXPECT_EQ(UserConfigHome(), "/srv/cfg");
    // A relative value is not a base directory and is ignored.
    ::setenv("XDG_CONFIG_HOME", "cfg", 1);
    EXPECT_EQ(UserConfigHome(), "/home/ann/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserConfigHome(), "/home/ann/.config");
    ::unsetenv("HOME");
    EXPECT_NE(UserConfigHome(), ""); // from the user database

    savedConfig ? ::setenv("XDG_CONFIG_HOME", config.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

} // namespace
} // namespace kovessa
