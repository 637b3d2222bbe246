#include "launcher/profile_document.h"
#include "launcher/profile_file.h"
#include "launcher/settings_file.h"
#include "launcher/user_file_save.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace kovessa {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Every name in the folder, sorted.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

mode_t ModeOf(const std::string& path) {
    struct stat st = {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(SaveUserFile, ReplacesTheFileKeepingItsModeAndLeavesNothingElse) {
    TempDir dir;
    const std::string file = dir.Write("Kovessa.ini", "old");
    ::chmod(file.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(SaveUserFile(file, "new bytes", &error)) << error;
    EXPECT_EQ(TempDir::Read(file), "new bytes");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"Kovessa.ini"});

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SaveUserFile(dir.File("fresh.ini"), "x", &error)) << error;
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.File("fresh.ini")), 0644u);

    EXPECT_FALSE(SaveUserFile(dir.File("missing/Kovessa.ini"), "x", &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir.File("missing")));
    fs::create_directory(dir.File("folder.ini"));
    EXPECT_FALSE(SaveUserFile(dir.File("folder.ini"), "x", &error));
}

TEST(SaveUserFile, ALinkedFileIsSavedThroughItsLinksAndTheLinksStay) {
    TempDir dir;
    fs::create_directories(dir.Path() / "repo" / "config");
    const std::string real = dir.Write("repo/config/Kovessa.ini", "old");
    // A relative link to a relative link, as a dotfiles checkout makes them.
    fs::create_symlink("repo/config/Kovessa.ini", dir.Path() / "middle.ini");
    fs::create_symlink("middle.ini", dir.Path() / "Kovessa.ini");
    std::string error;
    ASSERT_TRUE(SaveUserFile(dir.File("Kovessa.ini"), "new", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "Kovessa.ini"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "middle.ini"));
    EXPECT_EQ(fs::read_symlink(dir.Path() / "Kovessa.ini"), "middle.ini");
    EXPECT_EQ(TempDir::Read(real), "new");
    EXPECT_EQ(Names(dir.Path() / "repo" / "config"), std::vector<std::string>{"Kovessa.ini"});

    // A link to a file not there yet makes the file; a loop of links is refused.
    fs::create_symlink(dir.File("later.ini"), dir.Path() / "pending.ini");
    ASSERT_TRUE(SaveUserFile(dir.File("pending.ini"), "made", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "pending.ini"));
    EXPECT_EQ(TempDir::Read(dir.File("later.ini")), "made");
    fs::create_symlink("loop2", dir.Path() / "loop1");
    fs::create_symlink("loop1", dir.Path() / "loop2");
    EXPECT_FALSE(SaveUserFile(dir.File("loop1"), "x", &error));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "loop1"));
}

TEST(SaveUserFile, InAFolderClosedToUsOnlyAWritableFileIsWrittenInPlace) {
    TempDir dir;
    const std::string writable = dir.Write("Kovessa.ini", "old settings");
    const std::string locked = dir.Write("locked.ini", "locked");
    for (const std::string& path : {dir.Path().string(), writable, locked}) {
        ASSERT_TRUE(test::GiveToUnprivilegedUser(path));
    }
    ::chmod(writable.c_str(), 0666);
    ::chmod(locked.c_str(), 0444);
    ::chmod(dir.Path().c_str(), 0555);
    const int result = test::RunUnprivileged([&] {
        if (!SaveUserFile(writable, "new")) {
            return 1;
        }
        if (TempDir::Read(writable) != "new") {
            return 2;
        }
        if (SaveUserFile(locked, "changed") || TempDir::Read(locked) != "locked") {
            return 3;
        }
        std::string error;
        if (SaveUserFile(dir.File("absent.ini"), "x", &error) || error.empty()) {
            return 4;
        }
        return 0;
    });
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(result, 0) << test::DescribeChildResult(
        result, {"the writable file is saved", "it holds the new bytes (and only them)",
                 "a read-only file stays as it was", "no new file can be made, with a reason"});
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"Kovessa.ini", "locked.ini"}));
}

TEST(SaveUserFile, TheNextSaveRemovesWhatKilledSavesLeft) {
    TempDir dir;
    const std::string file = dir.Write("Kovessa.ini", "old");
    const std::string ours = dir.Write(SaveTemporaryPrefix("Kovessa.ini") + "Ab3dE9", "half");
    const std::string oldStyle = dir.Write("Kovessa.ini.x8Kq2Z", std::string(4096, 'h'));
    const std::string youngOldStyle = dir.Write("Kovessa.ini.Qw3rTy", "may still be saving");
    const std::string other = dir.Write("Kovessa.ini.bak", "keep");
    const std::string notAFile = dir.File(SaveTemporaryPrefix("Kovessa.ini") + "folder");
    fs::create_directory(notAFile);
    const utimbuf longAgo{::time(nullptr) - 3600, ::time(nullptr) - 3600};
    ::utime(oldStyle.c_str(), &longAgo);

    ASSERT_TRUE(SaveUserFile(file, "new"));
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_FALSE(fs::exists(oldStyle));
    EXPECT_TRUE(fs::exists(youngOldStyle));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::is_directory(notAFile));
}

TEST(SaveUserFile, AnotherUsersLeftoverIsNotOursToRemove) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand a file to another user";
    }
    TempDir dir;
    const std::string file = dir.Write("Kovessa.ini", "old");
    const std::string theirs = dir.Write(SaveTemporaryPrefix("Kovessa.ini") + "Zz9Zz9", "x");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(theirs));
    ASSERT_TRUE(SaveUserFile(file, "new"));
    EXPECT_TRUE(fs::exists(theirs));
}

// A folder on a small memory file system, so that it can be filled. Needs the right to mount
// (root on the CI machines); the tests that use it are skipped elsewhere.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        mountPoint_ = dir_.Path() / "small";
        fs::create_directory(mountPoint_);
        if (::mount("kovessa-test", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            ::umount2(mountPoint_.c_str(), MNT_DETACH);
        }
    }
    // Fills the file system with a ballast file until a write fails.
    void Fill() {
        const std::string ballast = (mountPoint_ / "ballast").string();
        FILE* f = std::fopen(ballast.c_str(), "w");
        ASSERT_NE(f, nullptr);
        const std::string block(1024, 'b');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size() &&
               std::fflush(f) == 0) {
        }
        std::fclose(f);
    }

    TempDir dir_;
    fs::path mountPoint_;
    bool mounted_ = false;
};

TEST_F(FullDisk, AFullDiskFailsTheSaveAndKeepsTheOldFileWhole) {
    const std::string file = (mountPoint_ / "Kovessa.ini").string();
    const std::string old = "[Section]\r\n" + std::string(kKeyBGMKind) + "=1\r\n";
    ASSERT_TRUE(SaveUserFile(file, old));
    Fill();
    std::string error;
    EXPECT_FALSE(SaveUserFile(file, old + std::string(8192, ';') + "\r\n", &error));
    EXPECT_NE(error.find("No space left"), std::string::npos) << error;
    EXPECT_EQ(TempDir::Read(file), old);
    EXPECT_EQ(Names(mountPoint_), (std::vector<std::string>{"Kovessa.ini", "ballast"}));

    // Written in place (a writable file in a folder closed to us), the disk is full before any
    // byte changes.
    for (const std::string& path : {dir_.Path().string(), mountPoint_.string(), file}) {
        ASSERT_TRUE(test::GiveToUnprivilegedUser(path));
    }
    ::chmod(file.c_str(), 0666);
    ::chmod(mountPoint_.c_str(), 0555);
    const int result = test::RunUnprivileged([&] {
        if (SaveUserFile(file, old + std::string(16384, ';'))) {
            return 1;
        }
        return TempDir::Read(file) == old ? 0 : 2;
    });
    ::chmod(mountPoint_.c_str(), 0755);
    EXPECT_EQ(result, 0) << test::DescribeChildResult(
        result, {"the in-place save fails on the full disk", "the old file is whole"});
}

// The three settings saved over and over by a child that is killed at a random moment: the file
// always holds one whole set, and whatever a kill left is gone after the next save.
TEST(SaveUserFile, ASaveKilledAtAnyMomentLeavesOldOrNewSettingsWhole) {
    TempDir dir;
    const std::string ini = dir.File("Kovessa.ini");
    // A large file (comments kept by every save) makes each save long enough for kills to land
    // in its middle.
    const std::string ballast = "; " + std::string(200, 'c') + "\r\n";
    std::string start;
    for (int i = 0; i < 1000; ++i) {
        start += ballast;
    }
    dir.Write("Kovessa.ini", start);
    auto settingsOf = [](int n) {
        return std::vector<ProfileEntry>{{kKeyBGMKind, std::to_string(n % 3)},
                                         {kKeyBGMRepeat, std::to_string(n)},
                                         {kKeyBGMFile, "/music/song" + std::to_string(n) + ".mp3"}};
    };
    ASSERT_TRUE(WriteProfileStrings(kSettingsSection, settingsOf(0), ini));

    std::mt19937 random(12345);
    int leftovers = 0;
    for (int round = 0; round < 50; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            ::close(ready[1]); // the parent sees the pipe end: the child is running
            for (int n = 1;; ++n) {
                WriteProfileStrings(kSettingsSection, settingsOf(n), ini);
            }
        }
        ::close(ready[1]);
        char byte;
        while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(ready[0]);
        // The random moment of the kill: anywhere within a few saves.
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string text = TempDir::Read(ini);
        const ProfileDocument document(text);
        const auto kind = document.Get(kSettingsSection, kKeyBGMKind);
        const auto repeat = document.Get(kSettingsSection, kKeyBGMRepeat);
        const auto file = document.Get(kSettingsSection, kKeyBGMFile);
        ASSERT_TRUE(kind && repeat && file) << "round " << round;
        const int n = std::stoi(*repeat);
        EXPECT_EQ(*kind, std::to_string(n % 3)) << "round " << round;
        EXPECT_EQ(*file, "/music/song" + std::to_string(n) + ".mp3") << "round " << round;
        EXPECT_EQ(text.substr(0, start.size()), start) << "round " << round;
        leftovers += Names(dir.Path()).size() > 1 ? 1 : 0;

        // The next save cleans up whatever the kill left.
        ASSERT_TRUE(WriteProfileStrings(kSettingsSection, settingsOf(n + 1000), ini));
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"Kovessa.ini"}) << "round " << round;
    }
    std::printf("kills that left a named temporary file for the next save to remove: %d of 50\n",
                leftovers);
}

TEST(WriteProfileStrings, AllKeysInOneReplacementOrNone) {
    TempDir dir;
    const std::string ini = dir.Write("Kovessa.ini", "; mine\r\n[Section]\r\nBGMx=1\r\n");
    ASSERT_TRUE(WriteProfileStrings(kSettingsSection, {{"a", "1"}, {"b", "2"}}, ini));
    EXPECT_EQ(TempDir::Read(ini), "; mine\r\n[Section]\r\nBGMx=1\r\na=1\r\nb=2\r\n");

    // One key that cannot be stored refuses them all.
    std::string error;
    EXPECT_FALSE(WriteProfileStrings(kSettingsSection, {{"a", "9"}, {"b", "x\ny"}}, ini, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempDir::Read(ini), "; mine\r\n[Section]\r\nBGMx=1\r\na=1\r\nb=2\r\n");

    // Nothing to change: the file is not replaced at all.
    struct stat before = {};
    ::stat(ini.c_str(), &before);
    ASSERT_TRUE(WriteProfileStrings(kSettingsSection, {{"a", "1"}, {"b", "2"}}, ini));
    struct stat after = {};
    ::stat(ini.c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

} // namespace
} // namespace kovessa
