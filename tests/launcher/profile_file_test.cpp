#include "launcher/profile_document.h"
#include "launcher/profile_file.h"
#include "launcher/settings_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kovessa {
namespace {

using test::TempDir;

// Stores one key the way the settings dialog stores its keys: in one replacement of the file.
bool Save(const std::string& section, const std::string& key, const std::string& value,
          const std::string& path) {
    return WriteProfileStrings(section, {{key, value}}, path);
}

std::optional<std::string> Get(std::string_view text, std::string_view section,
                               std::string_view key) {
    return ProfileDocument(text).Get(section, key);
}

TEST(ProfileDocument, ReadsValuesTheWayTheFileFormatDefines) {
    struct Case {
        const char* name;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"crlf", "[Section]\r\na=1\r\nb=2\r\n", "Section", "b", "2"},
        {"lf", "[Section]\na=1\nb=2\n", "Section", "b", "2"},
        {"cr", "[Section]\ra=1\rb=2\r", "Section", "b", "2"},
        {"no final newline", "[Section]\r\na=1", "Section", "a", "1"},
        {"blanks around", "[Section]\n  a  =  1 2  \n", "Section", "a", "1 2"},
        {"blanks in header", "  [ Section ]  \na=1\n", "Section", "a", "1"},
        {"tabs", "[Section]\n\ta\t=\t7\t\n", "Section", "a", "7"},
        {"double quotes", "[Section]\na=\"quoted value\"\n", "Section", "a", "quoted value"},
        {"single quotes", "[Section]\na=' x '\n", "Section", "a", " x "},
        {"unbalanced quote", "[Section]\na=\"open\n", "Section", "a", "\"open"},
        {"mixed quotes", "[Section]\na=\"x'\n", "Section", "a", "\"x'"},
        {"equals in value", "[Section]\na=b=c\n", "Section", "a", "b=c"},
        {"empty value", "[Section]\na=\n", "Section", "a", ""},
        {"first duplicate wins", "[Section]\na=1\na=2\n", "Section", "a", "1"},
        {"section case", "[SECTION]\na=1\n", "section", "a", "1"},
        {"key case", "[Section]\nBgm=1\n", "Section", "BGM", "1"},
        {"repeated section ignored", "[Section]\na=1\n[Other]\n[section]\nb=2\n", "Section", "b",
         std::nullopt},
        {"key in the wrong section", "[Other]\na=1\n[Section]\nb=2\n", "Section", "a",
         std::nullopt},
        {"key before any section", "a=1\n[Section]\n", "Section", "a", std::nullopt},
        {"line without equals", "[Section]\na\n", "Section", "a", std::nullopt},
        {"comment", "[Section]\n;a=1\n", "Section", ";a", std::nullopt},
        {"missing section", "[Other]\na=1\n", "Section", "a", std::nullopt},
        {"empty file", "", "Section", "a", std::nullopt},
        {"header without bracket", "[Section\na=1\n", "Section", "a", std::nullopt},
        {"code page 932 key", std::string("[Section]\r\n") + kKeyBGMKind + "=2\r\n", "Section",
         kKeyBGMKind, "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Get(c.text, c.section, c.key), c.expected) << c.name;
    }
}

TEST(ProfileDocument, DoubleByteCharactersAreNeverCaseFolded) {
    // 0x83 0x41 and 0x83 0x61 are two different characters whose second bytes happen to be 'A'
    // and 'a'; folding them would let one key answer for another.
    EXPECT_FALSE(ProfileDocument::SameName("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(ProfileDocument::SameName("\x83\x41x", "\x83\x41X"));
    EXPECT_TRUE(ProfileDocument::SameName(kKeyBGMRepeat, kKeyBGMRepeat));
    EXPECT_FALSE(ProfileDocument::SameName(kKeyBGMRepeat, kKeyBGMFile));
}

TEST(ProfileDocument, EditingKeepsEverythingElse) {
    struct Case {
        const char* name;
        std::string before;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"new file", "", "a", "1", "[Section]\r\na=1\r\n"},
        {"existing key keeps spelling and ending", "; note\n[section]\n  KEY = old \nz=9\n", "key",
         "new", "; note\n[section]\nKEY=new\nz=9\n"},
        {"new key after the section's last line", "[Section]\na=1\n\n[Other]\nb=2\n", "c", "3",
         "[Section]\na=1\nc=3\r\n\n[Other]\nb=2\n"},
        {"new section at the end", "[Other]\nb=2", "a", "1",
         "[Other]\nb=2\r\n[Section]\r\na=1\r\n"},
        {"blanks around the value are dropped", "", "a", "  x y  ", "[Section]\r\na=x y\r\n"},
        {"quotes are stored as given", "", "a", "\"q\"", "[Section]\r\na=\"q\"\r\n"},
        {"the first of duplicates changes", "[Section]\na=1\na=2\n", "a", "3",
         "[Section]\na=3\na=2\n"},
        {"section header only", "[Section]", "a", "1", "[Section]\r\na=1\r\n"},
    };
    for (const Case& c : cases) {
        ProfileDocument doc(c.before);
        EXPECT_EQ(doc.Set("Section", c.key, c.value), ProfileDocument::SetResult::Changed)
            << c.name;
        EXPECT_EQ(doc.Text(), c.after) << c.name;
    }
}

TEST(ProfileDocument, RefusesWhatWouldReadBackAsOtherLines) {
    const std::string original = "[Section]\na=1\n";
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Section", "a", "x\n[Section]\nb=1"},
        {"Section", "a", "x\ry"},
        {"Sec\ntion", "a", "1"},
        {"Sec]tion", "a", "1"},
        {"Section", "a=b", "1"},
        {"Section", "[a", "1"},
        {"Section", ";a", "1"},
        {"Section", "", "1"},
    };
    for (const Case& c : cases) {
        ProfileDocument doc(original);
        EXPECT_EQ(doc.Set(c.section, c.key, c.value), ProfileDocument::SetResult::Refused)
            << c.section << '/' << c.key << '/' << c.value;
        EXPECT_EQ(doc.Text(), original);
    }
    ProfileDocument doc(original);
    EXPECT_EQ(doc.Set("section", "A", " 1 "), ProfileDocument::SetResult::Unchanged);
}

TEST(ProfileFile, UnchangedValueLeavesTheFileUntouched) {
    TempDir dir;
    const std::string ini = dir.Write("k.ini", "[Section]\na = 1\n");
    const std::string tmpLink = dir.File("hard");
    // A hard link still names the same inode only while the file has not been replaced.
    ASSERT_EQ(::link(ini.c_str(), tmpLink.c_str()), 0);
    EXPECT_TRUE(Save("Section", "a", "1", ini));
    struct stat a = {};
    struct stat b = {};
    ASSERT_EQ(::stat(ini.c_str(), &a), 0);
    ASSERT_EQ(::stat(tmpLink.c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(TempDir::Read(ini), "[Section]\na = 1\n");
}

TEST(ProfileFile, ReadOnlyOrUnreadableFilesAreNotReplaced) {
    TempDir dir;
    const std::string ini = dir.Write("Kovessa.ini", "[Section]\na=1\n");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir.Path()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(ini));
    const int result = test::RunUnprivileged([&] {
        // A read-only file in a read-only folder. (A file the user may write there is written
        // in place; see the save tests.)
        ::chmod(dir.Path().c_str(), 0555);
        ::chmod(ini.c_str(), 0444);
        if (Save("Section", "a", "2", ini)) {
            return 1;
        }
        if (TempDir::Read(ini) != "[Section]\na=1\n") {
            return 2;
        }
        ::chmod(dir.Path().c_str(), 0755);

        // A file that cannot be read would lose its other contents if it were replaced.
        ::chmod(ini.c_str(), 0200);
        if (Save("Section", "b", "2", ini)) {
            return 3;
        }
        ::chmod(ini.c_str(), 0600);
        if (TempDir::Read(ini) != "[Section]\na=1\n") {
            return 4;
        }
        return 0;
    });
    EXPECT_EQ(result, 0) << test::DescribeChildResult(
        result,
        {"a read-only folder: the write reports success", "a read-only folder: the file changed",
         "an unreadable file: the write reports success", "an unreadable file: the file changed"});
}

TEST(ProfileFile, KilledInTheMiddleOfSavingLeavesOldOrNewFile) {
    TempDir dir;
    const std::string oldText = "[Section]\r\nkeep=" + std::string(100000, 'o') + "\r\n";
    const std::string ini = dir.Write("Kovessa.ini", oldText);
    // Large values make each save long enough to be interrupted at many different points.
    for (int round = 0; round < 8; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                Save("Section", "keep", std::string(100000 + i % 7, 'n'), ini);
            }
        }
        ::usleep(20000 + round * 7000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = TempDir::Read(ini);
        const bool isOld = now == oldText;
        bool isNew = false;
        for (int i = 0; i < 7 && !isNew; ++i) {
            isNew = now == "[Section]\r\nkeep=" + std::string(100000 + i, 'n') + "\r\n";
        }
        EXPECT_TRUE(isOld || isNew) << "round " << round << ": " << now.size() << " bytes";
    }
}

} // namespace
} // namespace kovessa
