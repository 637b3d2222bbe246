#include "common/window_id.h"
#include "launcher/hack_command.h"
#include "launcher/runtime_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace kovessa {
namespace {

TEST(WindowId, HexOrDecimalWholeTextAndNeverZero) {
    EXPECT_EQ(ReadWindowId("0x1200007"), 0x1200007ul);
    EXPECT_EQ(ReadWindowId("0X1A"), 26ul);
    EXPECT_EQ(ReadWindowId("4711"), 4711ul);
    EXPECT_EQ(ReadWindowId("0xffffffff"), 0xfffffffful);
    for (const char* bad : {"", "0", "0x", "0x0", "0x1g", "12ab", " 12", "-5", "0x100000000",
                            "99999999999", "&H10"}) {
        EXPECT_FALSE(ReadWindowId(bad)) << '"' << bad << '"';
    }
    EXPECT_EQ(WindowIdText(0x1200007), "0x1200007");
    EXPECT_EQ(ReadWindowId(WindowIdText(0xfffffffful)), 0xfffffffful);
}

TEST(HackCommand, DaemonLinesAreHackStartsAndTheLineWinsOverTheEnvironment) {
    using Args = std::vector<std::string>;
    struct Case {
        Args args;
        const char* env;
        std::optional<unsigned long> window;
    };
    const Case cases[] = {
        {{"--root"}, "0x600001", 0x600001},
        {{"-root"}, "6291457", 6291457},
        {{"--root"}, nullptr, std::nullopt},
        {{"--root"}, "", std::nullopt},
        {{"--root", "--window-id", "0x2a00003"}, "0x600001", 0x2a00003},
        {{"--window-id", "0x2a00003", "--root"}, nullptr, 0x2a00003},
        {{"-window-id", "123"}, nullptr, 123},
        {{"--window-id=0x10"}, "0x600001", 16},
        {{"-window-id=77"}, nullptr, 77},
    };
    for (const Case& c : cases) {
        const std::optional<HackCommand> command = ReadHackCommand(c.args, c.env);
        ASSERT_TRUE(command) << c.args.front();
        EXPECT_EQ(command->window, c.window) << c.args.front();
        EXPECT_TRUE(command->error.empty()) << command->error;
    }
}

TEST(HackCommand, WindowsSwitchesStayWindowsSwitches) {
    // Even with a daemon's window in the environment, the classic switches keep their rules.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"/s"},
                                               {"-s"},
                                               {"/p", "1234"},
                                               {"/c"},
                                               {},
                                               {"-r"},
                                               {"--rooted"},
                                               {"root"},
                                               {"/root"}}) {
        EXPECT_FALSE(ReadHackCommand(args, "0x600001")) << (args.empty() ? "" : args[0]);
    }
}

TEST(HackCommand, AnUnreadableWindowIsAnErrorNotTheRootWindow) {
    const auto missing = ReadHackCommand({"--root", "--window-id"}, "0x600001");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->window);
    EXPECT_EQ(missing->error, "--window-id \"\" is not a window id");

    const auto garbage = ReadHackCommand({"--root"}, "window-7");
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->error, "XSCREENSAVER_WINDOW \"window-7\" is not a window id");
}

// The folder is only taken when it is a real private folder of this user; anything else would
// hand the sound server's address to whoever planted it.
TEST(RuntimeFolder, FilledOnlyWhenMissingAndPrivate) {
    test::TempDir dir;
    const std::string good = dir.File("good");
    const std::string open = dir.File("open");
    const std::string link = dir.File("link");
    std::filesystem::create_directory(good);
    std::filesystem::create_directory(open);
    chmod(good.c_str(), 0700);
    chmod(open.c_str(), 0755);
    std::filesystem::create_directory_symlink(good, link);

    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved != nullptr ? saved : "";

    setenv("XDG_RUNTIME_DIR", "/somewhere", 1);
    EXPECT_FALSE(FillMissingRuntimeFolder(good)); // already set: left alone
    EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), "/somewhere");

    for (const std::string& refused : {open, link, dir.File("missing")}) {
        unsetenv("XDG_RUNTIME_DIR");
        EXPECT_FALSE(FillMissingRuntimeFolder(refused)) << refused;
        EXPECT_EQ(std::getenv("XDG_RUNTIME_DIR"), nullptr) << refused;
    }
    setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_TRUE(FillMissingRuntimeFolder(good));
    EXPECT_EQ(std::string(std::getenv("XDG_RUNTIME_DIR")), good);

    // Another user's folder is refused even when its mode is right.
    ASSERT_TRUE(test::GiveToUnprivilegedUser(good) || getuid() != 0);
    if (getuid() == 0) {
        unsetenv("XDG_RUNTIME_DIR");
        EXPECT_FALSE(FillMissingRuntimeFolder(good));
    }
    EXPECT_EQ(UserRuntimeFolder(), "/run/user/" + std::to_string(getuid()));

    if (saved != nullptr) {
        setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
}

// Without any runtime folder, one of the process's own, removed with all it holds and nothing
// beyond it.
TEST(RuntimeFolder, APrivateFolderWhenNoneIsUsableGoesAtTheEnd) {
    test::TempDir dir;
    const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keepRuntime = savedRuntime != nullptr ? savedRuntime : "";
    const char* savedTmp = std::getenv("TMPDIR");
    const std::string keepTmp = savedTmp != nullptr ? savedTmp : "";
    const std::string outside = dir.Write("outside", "kept");
    const std::string tmp = dir.File("tmp");
    std::filesystem::create_directory(tmp);
    setenv("TMPDIR", tmp.c_str(), 1);

    setenv("XDG_RUNTIME_DIR", "/somewhere", 1);
    EXPECT_FALSE(UsePrivateRuntimeFolder()); // one is named: left alone
    RemovePrivateRuntimeFolder();            // and nothing to remove

    unsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(UsePrivateRuntimeFolder());
    const std::string made = std::getenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(std::filesystem::path(made).parent_path(), tmp);
    struct stat st = {};
    ASSERT_EQ(stat(made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_FALSE(UsePrivateRuntimeFolder()); // one per process
    // What the process and its children put there.
    std::filesystem::create_directories(made + "/pulse/deeper");
    std::ofstream(made + "/pulse/deeper/file") << "x";
    std::filesystem::create_symlink(outside, made + "/link");
    std::filesystem::create_directory_symlink(dir.Path(), made + "/folder-link");

    RemovePrivateRuntimeFolder();
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
    EXPECT_EQ(test::TempDir::Read(outside), "kept");

    if (savedTmp != nullptr) {
        setenv("TMPDIR", keepTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    if (savedRuntime != nullptr) {
        setenv("XDG_RUNTIME_DIR", keepRuntime.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
}

} // namespace
} // namespace kovessa
