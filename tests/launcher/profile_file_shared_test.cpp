#include "launcher/profile_file.h"
#include "launcher/settings_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

// The settings file's reading and saving as every system does it: Windows reads and replaces
// files through its own calls, and must give the same results as Linux.
namespace kovessa {
namespace {

using test::TempDir;

// Stores one key the way the settings dialog stores its keys: in one replacement of the file.
bool Save(const std::string& section, const std::string& key, const std::string& value,
          const std::string& path) {
    return WriteProfileStrings(section, {{key, value}}, path);
}

TEST(ProfileFile, ReadingCutsAndDefaults) {
    TempDir dir;
    const std::string ini = dir.Write("k.ini", "[Section]\r\nlong=" + std::string(300, 'v') +
                                                   "\r\nnul=ab" + std::string(1, '\0') + "cd\r\n");
    EXPECT_EQ(ReadIniString("Section", "long", ini), std::string(255, 'v'));
    EXPECT_EQ(GetProfileString("Section", "long", "", 10, ini), std::string(9, 'v'));
    EXPECT_EQ(ReadIniString("Section", "nul", ini), "ab");
    EXPECT_EQ(GetProfileString("Section", "none", "dflt", 256, ini), "dflt");
    EXPECT_EQ(ReadIniString("Section", "long", dir.File("missing.ini")), "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.ini")));       // reading creates nothing
    EXPECT_EQ(ReadIniString("Section", "long", dir.Path().string()), ""); // a folder
    // The file keeps the long value whole.
    EXPECT_NE(TempDir::Read(ini).find(std::string(300, 'v')), std::string::npos);
}

TEST(ProfileFile, AnOversizedFileIsReadWithinTheCapAndNeverWritten) {
    TempDir dir;
    // The keys an administrator wrote first, then filler past the cap; the line the cap cuts
    // through is not read, so no value arrives cut short.
    std::string bytes = "[Section]\nkind=2\nfile=/music/a.mp3\n" + std::string(200, ';') + "\n";
    while (bytes.size() < kProfileFileCap - 4) {
        bytes += std::string(1000, ';') + "\n";
    }
    bytes.resize(kProfileFileCap - 4);
    bytes += "\ncut=0123456789\n";
    const std::string ini = dir.Write("big.ini", bytes);
    EXPECT_TRUE(IsProfileFileOverCap(ini));
    EXPECT_EQ(ReadIniString("Section", "kind", ini), "2");
    EXPECT_EQ(ReadIniString("Section", "file", ini), "/music/a.mp3");
    EXPECT_EQ(GetProfileString("Section", "cut", "none", 256, ini), "none");
    EXPECT_FALSE(WriteProfileStrings("Section", {{"kind", "1"}}, ini));
    EXPECT_EQ(TempDir::Read(ini), bytes);

    const std::string small = dir.Write("small.ini", "[Section]\nkind=2\n");
    EXPECT_FALSE(IsProfileFileOverCap(small));
    EXPECT_FALSE(IsProfileFileOverCap(dir.File("missing.ini")));

    // Loading the music settings from such a file says so, once, naming the file.
    MusicSettings music;
    testing::internal::CaptureStderr();
    LoadSettingsFrom(music, ini);
    LoadSettingsFrom(music, small);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(ini + ": too large for a settings file"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(ProfileFile, BinaryGarbageReadsAndWritesWithoutHarm) {
    TempDir dir;
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    const std::string ini = dir.Write("g.ini", garbage);
    EXPECT_EQ(ReadIniString("Section", kKeyBGMKind, ini), "");
    EXPECT_TRUE(Save("Section", kKeyBGMKind, "1", ini));
    EXPECT_EQ(ReadIniString("Section", kKeyBGMKind, ini), "1");
    // Everything that was there before is still there, in front of the new lines.
    EXPECT_EQ(TempDir::Read(ini).substr(0, garbage.size()), garbage);
}

TEST(ProfileFile, FirstWriteCreatesTheFileByteForByte) {
    TempDir dir;
    const std::string ini = dir.File("Kovessa.ini");
    EXPECT_TRUE(Save("Section", kKeyBGMKind, "1", ini));
    Save("Section", kKeyBGMRepeat, "0", ini);
    Save("Section", kKeyBGMFile, "/music/a.mp3", ini);
    const std::string expected = "\x5b\x53\x65\x63\x74\x69\x6f\x6e\x5d\x0d\x0a"
                                 "\x42\x47\x4d\x8b\xe6\x95\xaa\x3d\x31\x0d\x0a"
                                 "\x42\x47\x4d\xd8\xcb\xdf\xb0\xc4\x3d\x30\x0d\x0a"
                                 "\x42\x47\x4d\xcc\xa7\xb2\xd9\x3d/music/a.mp3\x0d\x0a";
    EXPECT_EQ(TempDir::Read(ini), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "no temporary file may stay behind";
}

TEST(ProfileFile, FailedSavesLeaveTheOldFileAndReportFailure) {
    TempDir dir;

    // The folder does not exist: nothing is created.
    EXPECT_FALSE(Save("Section", "a", "1", dir.File("no/such/Kovessa.ini")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));

    // The name is taken by a folder: it is neither read nor replaced.
    std::filesystem::create_directory(dir.File("Kovessa.ini"));
    EXPECT_FALSE(Save("Section", "a", "1", dir.File("Kovessa.ini")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Kovessa.ini")));

    // A value that would add lines of its own is refused.
    const std::string ini = dir.Write("v.ini", "[Section]\na=1\n");
    EXPECT_FALSE(Save("Section", "a", "x\r\n[Section]\r\nb=2", ini));
    EXPECT_EQ(TempDir::Read(ini), "[Section]\na=1\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "no temporary file may stay behind";
}

} // namespace
} // namespace kovessa
