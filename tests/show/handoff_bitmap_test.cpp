#include "common/handoff_folder.h"
#include "show/handoff_bitmap.h"
#include "show/music_file_kind.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {
namespace {

namespace fs = std::filesystem;

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

uint16_t Le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

// Every pixel different: red from x, green from y, blue from both.
RgbPixels Gradient(int w, int h) {
    RgbPixels img{w, h, {}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.rgb.push_back(static_cast<uint8_t>(x * 7));
            img.rgb.push_back(static_cast<uint8_t>(y * 5));
            img.rgb.push_back(static_cast<uint8_t>(x + y * 3));
        }
    }
    return img;
}

TEST(HandoffBitmap, HeadersDescribeA24BitBottomUpBitmapWithoutColourTable) {
    for (auto [w, h] : {std::pair{64, 64}, std::pair{320, 320}, std::pair{5, 3}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const std::string b = EncodeHandoffBitmap(Gradient(w, h));
        const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) / 4 * 4;
        ASSERT_EQ(b.size(), 54 + row * h);
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(Le32(b, 2), b.size());
        EXPECT_EQ(Le32(b, 6), 0u);
        EXPECT_EQ(Le32(b, 10), 54u);
        EXPECT_EQ(Le32(b, 14), 40u);
        EXPECT_EQ(static_cast<int32_t>(Le32(b, 18)), w);
        EXPECT_EQ(static_cast<int32_t>(Le32(b, 22)), h);
        EXPECT_EQ(Le16(b, 26), 1);
        EXPECT_EQ(Le16(b, 28), 24);
        EXPECT_EQ(Le32(b, 30), 0u);
        EXPECT_EQ(Le32(b, 34), row * h);
        EXPECT_EQ(Le32(b, 46), 0u);
        EXPECT_EQ(Le32(b, 50), 0u);
    }
}

TEST(HandoffBitmap, PixelsRunBlueGreenRedFromTheBottomRowWithRowsPaddedToFourBytes) {
    // Width 5 needs one padding byte a row; 64 needs none.
    for (int w : {5, 64}) {
        SCOPED_TRACE("width " + std::to_string(w));
        const int h = 3;
        const RgbPixels img = Gradient(w, h);
        const std::string b = EncodeHandoffBitmap(img);
        const size_t row = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
        for (int fileRow = 0; fileRow < h; ++fileRow) {
            const int y = h - 1 - fileRow;
            for (int x = 0; x < w; ++x) {
                const size_t at = 54 + fileRow * row + x * 3;
                const size_t src = (static_cast<size_t>(y) * w + x) * 3;
                ASSERT_EQ(static_cast<uint8_t>(b[at]), img.rgb[src + 2]) << x << "," << y;
                ASSERT_EQ(static_cast<uint8_t>(b[at + 1]), img.rgb[src + 1]) << x << "," << y;
                ASSERT_EQ(static_cast<uint8_t>(b[at + 2]), img.rgb[src]) << x << "," << y;
            }
            for (size_t pad = static_cast<size_t>(w) * 3; pad < row; ++pad) {
                EXPECT_EQ(b[54 + fileRow * row + pad], '\0');
            }
        }
    }
}

TEST(HandoffBitmap, RefusesImagesWhosePixelsDoNotMatchTheirSize) {
    RgbPixels shortImage = Gradient(4, 4);
    shortImage.rgb.pop_back();
    for (const RgbPixels& img :
         {RgbPixels{}, RgbPixels{0, 4, {}}, RgbPixels{-4, -4, {}}, shortImage}) {
        EXPECT_TRUE(EncodeHandoffBitmap(img).empty());
    }
}

// Points the hand-off folder at a fresh temporary folder for one test.
class HandoffFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kovessa-show-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        if (old != nullptr) {
            saved_ = old;
        }
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        chmod(dir_.c_str(), 0700);
        fs::remove_all(dir_);
        if (saved_) {
            setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
    }
    fs::path dir_;
    std::optional<std::string> saved_;
};

// The pictures as the show hands them over, one or both.
HandoffResult HandOver(const char* name, const RgbPixels& image) {
    return HandOverPictures({{name, image}});
}

// A failed write in the usual folder sends the pictures to a one-shot folder, which the test
// then removes as the renderer would.
bool WentToAOneShotFolder(const HandoffResult& result) {
    if (!result.oneShotFolder) {
        return false;
    }
    RemoveOneShotHandoffFolder(*result.oneShotFolder);
    return true;
}

TEST_F(HandoffFolderTest, WritesTheEncodedFilesAndReplacesAnEarlierOne) {
    std::ofstream(dir_ / kGlowBitmapName) << "an earlier, longer copy of the bitmap file";
    const RgbPixels glow = Gradient(64, 64);
    const RgbPixels earth = Gradient(5, 3);
    const HandoffResult result =
        HandOverPictures({{kGlowBitmapName, glow}, {kBackgroundBitmapName, earth}});
    EXPECT_EQ(result.written, 2);
    EXPECT_TRUE(result.errors.empty()) << result.errors.front();
    EXPECT_FALSE(result.oneShotFolder);
    EXPECT_EQ(test::ReadWholeFile(dir_ / kGlowBitmapName), EncodeHandoffBitmap(glow));
    EXPECT_EQ(test::ReadWholeFile(dir_ / kBackgroundBitmapName), EncodeHandoffBitmap(earth));
    // Only the files themselves are left in the folder: no temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(HandoffFolderTest, PlantedSymbolicLinkIsReplacedNotFollowed) {
    const fs::path victim = dir_ / "victim.txt";
    std::ofstream(victim) << "precious";
    fs::create_symlink(victim, dir_ / kBackgroundBitmapName);
    EXPECT_EQ(HandOver(kBackgroundBitmapName, Gradient(8, 8)).written, 1);
    EXPECT_EQ(test::ReadWholeFile(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(dir_ / kBackgroundBitmapName));
    EXPECT_EQ(test::ReadWholeFile(dir_ / kBackgroundBitmapName),
              EncodeHandoffBitmap(Gradient(8, 8)));
}

TEST_F(HandoffFolderTest, UnwritableFolderKeepsTheEarlierFileAndSaysWhy) {
    std::ofstream(dir_ / kGlowBitmapName) << "earlier";
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir_));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir_ / kGlowBitmapName));
    const int result = test::RunUnprivileged([&] {
        chmod(dir_.c_str(), 0500);
        const HandoffResult handed = HandOver(kGlowBitmapName, Gradient(4, 4));
        if (!WentToAOneShotFolder(handed)) {
            return 1;
        }
        if (handed.errors.empty()) {
            return 2;
        }
        if (test::ReadWholeFile(dir_ / kGlowBitmapName) != "earlier") {
            return 3;
        }
        return 0;
    });
    EXPECT_EQ(result, 0) << test::DescribeChildResult(
        result,
        {"the usual folder took the picture", "no reason is given", "the earlier file changed"});
}

TEST_F(HandoffFolderTest, NameTakenByAFolderLeavesItAndNoTemporaryFile) {
    fs::create_directory(dir_ / kGlowBitmapName);
    std::ofstream(dir_ / kGlowBitmapName / "inside") << "kept";
    const HandoffResult handed = HandOver(kGlowBitmapName, Gradient(4, 4));
    EXPECT_TRUE(WentToAOneShotFolder(handed));
    EXPECT_FALSE(handed.errors.empty());
    EXPECT_EQ(test::ReadWholeFile(dir_ / kGlowBitmapName / "inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(HandoffFolderTest, MissingFolderIsReportedAndTheOneShotFolderServes) {
    setenv("XDG_RUNTIME_DIR", (dir_ / "gone").c_str(), 1);
    const HandoffResult handed = HandOver(kGlowBitmapName, Gradient(4, 4));
    EXPECT_EQ(handed.written, 1);
    ASSERT_FALSE(handed.errors.empty());
    EXPECT_EQ(handed.errors.front().rfind("hand-off folder refused: ", 0), 0u)
        << handed.errors.front();
    EXPECT_TRUE(WentToAOneShotFolder(handed));
}

// A picture that reached only the usual folder is handed over from there when the one-shot
// folder takes none. The first name reaches only the usual folder, which alone has its "sub"
// folder; the second picture is empty and written nowhere.
TEST_F(HandoffFolderTest, APictureWrittenOnlyToTheUsualFolderIsStillHandedOver) {
    fs::create_directory(dir_ / "sub");
    const HandoffResult result =
        HandOverPictures({{"sub/Zeruma1.bmp", Gradient(4, 4)}, {kBackgroundBitmapName, {}}});
    EXPECT_EQ(result.written, 1);
    EXPECT_FALSE(result.oneShotFolder.has_value());
    EXPECT_EQ(test::ReadWholeFile(dir_ / "sub/Zeruma1.bmp"), EncodeHandoffBitmap(Gradient(4, 4)));
}

TEST(MusicFileKind, TestsTheLastThreeCharactersInAnyCase) {
    const std::pair<const char*, MusicFileKind> cases[] = {
        {"/m/song.mp3", MusicFileKind::Mp3},
        {"/m/SONG.MP3", MusicFileKind::Mp3},
        {"/m/a.Mp3", MusicFileKind::Mp3},
        {"xmp3", MusicFileKind::Mp3},
        {"mp3", MusicFileKind::Mp3},
        {"/m/a.wav", MusicFileKind::Wave},
        {"/m/a.wAV", MusicFileKind::Wave},
        {"/m/a.mid", MusicFileKind::None},
        {"/m/a.mp3 ", MusicFileKind::None},
        {"/m/a.mp", MusicFileKind::None},
        {"p3", MusicFileKind::None},
        {"", MusicFileKind::None},
        {"/m/\xe6\x9b\xb2.wav", MusicFileKind::Wave},
    };
    for (const auto& [path, kind] : cases) {
        EXPECT_EQ(MusicFileKindOf(path), kind) << path;
    }
}

} // namespace
} // namespace kovessa
