#include "launcher/file_exists.h"
#include "launcher/program_paths.h"
#include "launcher/settings_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {
namespace {

using test::TempDir;

std::string IniWith(const std::string& kind, const std::string& repeat, const std::string& file) {
    std::string text = "[Section]\r\n";
    if (!kind.empty()) {
        text += std::string(kKeyBGMKind) + "=" + kind + "\r\n";
    }
    if (!repeat.empty()) {
        text += std::string(kKeyBGMRepeat) + "=" + repeat + "\r\n";
    }
    if (!file.empty()) {
        text += std::string(kKeyBGMFile) + "=" + file + "\r\n";
    }
    return text;
}

TEST(LoadSettings, MissingFileMeansNoMusic) {
    TempDir dir;
    MusicSettings s;
    s.BGMFile = "stale";
    LoadSettings(s, dir.Path());
    EXPECT_EQ(s.BGMKind, 0);
    EXPECT_EQ(s.BGMRepeat, 0);
    EXPECT_EQ(s.BGMFile, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Kovessa.ini")));
}

TEST(LoadSettings, NumbersRoundDownAndBadTextKeepsTheOldValue) {
    struct Case {
        const char* text;
        int16_t old;
        int16_t expected;
    };
    const Case cases[] = {
        {"1", 0, 1},        {"1.9", 0, 1},   {"-0.5", 0, -1},       {" 3 ", 0, 3},
        {"3e0", 0, 3},      {"&H1", 0, 1},   {"abc", 0, 0},         {"abc", 5, 5},
        {"70000", 0, 0},    {"70000", 4, 4}, {"32767.9", 0, 32767}, {"-32768", 0, -32768},
        {"-32768.1", 7, 7}, {"1 2", 9, 9},   {"1.9x", 9, 9},
    };
    TempDir dir;
    for (const Case& c : cases) {
        dir.Write("Kovessa.ini", IniWith(c.text, c.text, ""));
        MusicSettings s;
        s.BGMKind = c.old;
        s.BGMRepeat = c.old;
        LoadSettings(s, dir.Path());
        EXPECT_EQ(s.BGMKind, c.expected) << c.text;
        EXPECT_EQ(s.BGMRepeat, c.expected) << c.text;
    }
}

TEST(LoadSettings, TheMusicFileCorrectsTheKind) {
    TempDir dir;
    const std::string song = dir.Write("song.mp3", "ID3");
    struct Case {
        const char* name;
        std::string kind;
        std::string file;
        int16_t expectedKind;
        std::string expectedFile;
    };
    const Case cases[] = {
        {"file mode with its file", "2", song, 2, song},
        {"file mode, file deleted", "2", dir.File("gone.mp3"), 0, ""},
        {"file mode, empty path", "2", "", 0, ""},
        {"file mode, path is a folder", "2", dir.Path(), 0, ""},
        {"file mode, trailing backslash", "2", song + "\\", 2, song + "\\"},
        {"CD mode keeps an empty path", "1", "", 1, ""},
        {"CD mode keeps its kind with a wrong path", "1", dir.File("gone.mp3"), 1, ""},
        {"no music with a good path", "0", song, 0, song},
    };
    for (const Case& c : cases) {
        const std::string ini = dir.Write("Kovessa.ini", IniWith(c.kind, "3", c.file));
        MusicSettings s;
        LoadSettings(s, dir.Path());
        EXPECT_EQ(s.BGMKind, c.expectedKind) << c.name;
        EXPECT_EQ(s.BGMRepeat, 3) << c.name;
        EXPECT_EQ(s.BGMFile, c.expectedFile) << c.name;
        // The corrections stay in memory.
        EXPECT_EQ(TempDir::Read(ini), IniWith(c.kind, "3", c.file)) << c.name;
    }
}

TEST(FileExists, OnlyReadableRegularFiles) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "x");
    const std::string empty = dir.Write("empty", "");
    std::filesystem::create_directory(dir.File("sub"));
    ::mkfifo(dir.File("fifo").c_str(), 0600);
    std::filesystem::create_symlink(file, dir.File("link"));
    std::filesystem::create_symlink(dir.File("nothing"), dir.File("dangling"));

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(empty));
    EXPECT_TRUE(FileExists(file + "\\"));
    EXPECT_TRUE(FileExists(dir.File("link")));
    EXPECT_FALSE(FileExists(file + "\\\\")); // only one separator is removed
    EXPECT_FALSE(FileExists(dir.File("sub")));
    EXPECT_FALSE(FileExists(dir.File("sub") + "/"));
    EXPECT_FALSE(FileExists(dir.File("sub") + "\\"));
    EXPECT_FALSE(FileExists(dir.File("fifo"))); // and it does not wait for a writer
    EXPECT_FALSE(FileExists(dir.File("dangling")));
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("\\"));
    EXPECT_FALSE(FileExists("/"));
    EXPECT_FALSE(FileExists(std::string("a\0b", 3)));
}

TEST(FileExists, UnreadableFileIsMissing) {
    TempDir dir;
    const std::string file = dir.Write("locked", "x");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir.Path()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(file));
    ::chmod(file.c_str(), 0);
    const int result = test::RunUnprivileged([&] { return FileExists(file) ? 1 : 0; });
    EXPECT_EQ(result, 0) << test::DescribeChildResult(result,
                                                      {"a file closed to us counts as present"});
}

TEST(ProgramPaths, FoldersAndJoins) {
    EXPECT_EQ(FolderOf("/opt/kovessa/Kovessa.scr"), "/opt/kovessa");
    EXPECT_EQ(FolderOf("/Kovessa.scr"), "/");
    EXPECT_EQ(FolderOf("Kovessa.scr"), "");
    EXPECT_EQ(JoinPath("/opt/kovessa", "Kovessa.xy"), "/opt/kovessa/Kovessa.xy");
    EXPECT_EQ(JoinPath("/", "Kovessa.xy"), "/Kovessa.xy");
    // The test program's own folder holds the test program.
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_NE(folder.back(), '/');
}

} // namespace
} // namespace kovessa
